#include "gui/QtUserPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "gui/FileDialogFilter.h"

namespace telvar5 {

namespace {

// Over the window that asked (a modal dialog when one is open), so the box stays in front of it.
QWidget* askingWindow()
{
    QWidget* parent = QApplication::activeModalWidget();
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

QString QtUserPrompts::firstFolder(const FileDialogOptions& options) const
{
    // The folder last used for this kind of file (its filter names the kind) in
    // this session; else the one asked for, made absolute against the working
    // folder, so that the dialog shows a real folder and a typed bare name
    // resolves against it ("." alone leaves some platforms' dialogs empty).
    if (const auto last = lastFolders_.find(options.filter); last != lastFolders_.end())
        return last->second;
    return QDir(QString::fromStdString(options.initialDir.empty() ? "." : options.initialDir)).absolutePath();
}

std::optional<std::string> QtUserPrompts::askFileName(const FileDialogOptions& options, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(askingWindow());
    dialog.setObjectName(mode == QFileDialog::AcceptSave ? QStringLiteral("SaveDialog1")
                                                         : QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(qtNameFilters(options.filter));
    dialog.setDirectory(firstFolder(options));
    if (!options.title.empty())
        dialog.setWindowTitle(QString::fromStdString(options.title));
    dialog.setDefaultSuffix(QString::fromStdString(options.defaultExt));
    // Like the platform's dialog the program was made with, a chosen file is
    // replaced without a question, unless the caller wants one asked.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmReplace);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().front();
    lastFolders_[options.filter] = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}

bool QtUserPrompts::askYesNo(const std::string& title, const std::string& text)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, askingWindow());
    box.setObjectName(QStringLiteral("YesNoBox"));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Нет"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtUserPrompts::beep() { QApplication::beep(); }

void QtUserPrompts::showRefusal(const std::string& reason) { refusalSign_.show(QString::fromStdString(reason)); }

void QtUserPrompts::showError(const std::string& title, const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, askingWindow());
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

std::optional<std::string> QtUserPrompts::askOpenFileName(const FileDialogOptions& options)
{
    return askFileName(options, QFileDialog::AcceptOpen);
}

std::optional<std::string> QtUserPrompts::askSaveFileName(const FileDialogOptions& options)
{
    return askFileName(options, QFileDialog::AcceptSave);
}

} // namespace telvar5
