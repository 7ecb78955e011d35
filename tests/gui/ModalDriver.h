#pragma once
// Acts on a modal dialog from inside its own event loop: polls for the active
// modal widget and runs the action on it as soon as it is shown. A dialog the
// action leaves open is rejected after a while, so a failing test never blocks.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace telvar5::widgets_test {

inline void whenModal(std::function<void(QWidget*)> action, int timeoutMs = 5000)
{
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, action, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            action(modal);
            if (modal->isVisible()) {
                QTimer::singleShot(3000, modal, [modal] {
                    if (!modal->isVisible())
                        return;
                    ADD_FAILURE() << "modal dialog left open: " << modal->objectName().toStdString();
                    if (auto* dialog = qobject_cast<QDialog*>(modal))
                        dialog->reject();
                    else
                        modal->close();
                });
            }
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared";
        }
    });
    poll->start(10);
}

template <class T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no child " << name;
    return found;
}

} // namespace telvar5::widgets_test
