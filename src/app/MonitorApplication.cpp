#include "app/MonitorApplication.h"

#include <QMessageBox>
#include <exception>

namespace telvar5 {

MonitorApplication::MonitorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QString::fromUtf8(kOrganisationName));
    setApplicationName(QString::fromUtf8(kApplicationName));
}

bool MonitorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(QString::fromUtf8(e.what()));
    } catch (...) {
        showException(QString());
    }
    return false;
}

void MonitorApplication::showException(const QString& message)
{
    // One report at a time: an event that fails again while the box is open
    // (a timer tick, a repaint) must not pile up boxes.
    static bool showing = false;
    if (showing)
        return;
    showing = true;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Монитор модуля TELVAR-5"), message, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("ExceptionReport"));
    box.exec();
    showing = false;
}

} // namespace telvar5
