#pragma once
// The application object. An exception that escapes an event handler is shown
// in a message box with its message (an empty one for exceptions that are not
// std::exception) and the event loop goes on, as the desktop's standard
// exception report does.
#include <QApplication>
#include <QString>

namespace telvar5 {

class MonitorApplication : public QApplication {
    Q_OBJECT
public:
    MonitorApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The standard exception report: a message box with the message.
    static void showException(const QString& message);
};

} // namespace telvar5
