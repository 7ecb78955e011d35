#pragma once
// The application object. An exception that escapes an event handler is shown
// in a message box with its message (an empty one for exceptions that are not
// std::exception) and the event loop goes on, as the desktop's standard
// exception report does. It carries the program's names, under which Qt files
// what it keeps for the program (on Windows the registry key
// HKCU\Software\<organisation>\<application>): the installer's publisher,
// whose key the uninstaller removes, and the program's file name.
#include <QApplication>
#include <QString>

namespace telvar5 {

class MonitorApplication : public QApplication {
    Q_OBJECT
public:
    // UTF-8; the publisher is the Windows installer's (cmake/WindowsPackage.cmake).
    static constexpr const char* kOrganisationName = "Разработчики монитора TELVAR-5";
    static constexpr const char* kApplicationName = "telvar5-monitor";

    MonitorApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The standard exception report: a message box with the message.
    static void showException(const QString& message);
};

} // namespace telvar5
