// main() of the test programs that need a QApplication (run offscreen).
#include <QApplication>
#include <gtest/gtest.h>

#include "support/OffscreenFonts.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    telvar5::test::nameOffscreenFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
