#include "gui/QtUserPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace telvar5 {

bool QtUserPrompts::askYesNo(const std::string& title, const std::string& text)
{
    // Over the window that asked (a modal dialog when one is open), so the box stays in front of it.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("YesNoBox"));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Нет"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtUserPrompts::beep() { QApplication::beep(); }

} // namespace telvar5
