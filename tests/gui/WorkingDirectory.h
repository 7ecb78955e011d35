#pragma once
// A test's own current directory, for as long as the object lives: the
// monitor reads and writes its formats settings file in the current directory,
// and tests run side by side.
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace telvar5::widgets_test {

class WorkingDirectory {
public:
    WorkingDirectory() : previous_(QDir::currentPath())
    {
        EXPECT_TRUE(dir_.isValid());
        EXPECT_TRUE(QDir::setCurrent(dir_.path()));
    }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

} // namespace telvar5::widgets_test
