// The widget tests run offscreen inside the program's own application object.
#include <gtest/gtest.h>

#include "app/MonitorApplication.h"
#include "support/OffscreenFonts.h"

namespace {
// The offscreen platform reports every window feature it lacks; those lines say nothing about the program.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    telvar5::MonitorApplication app(argc, argv);
    telvar5::test::nameOffscreenFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
