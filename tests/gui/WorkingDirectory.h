#pragma once
// A test's own current directory, for as long as the object lives: the
// monitor reads and writes its formats settings file in the current directory,
// and tests run side by side.
#include <QDir>
#include <QFile>
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
    // Every file of `from` copied here; false, naming the file, when one was not.
    ::testing::AssertionResult copyFilesOf(const QDir& from) const
    {
        for (const QString& name : from.entryList(QDir::Files))
            if (!QFile::copy(from.filePath(name), filePath(name)))
                return ::testing::AssertionFailure() << "not copied: " << name.toStdString();
        return ::testing::AssertionSuccess();
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

} // namespace telvar5::widgets_test
