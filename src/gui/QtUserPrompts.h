#pragma once
// The user's answers and the beep, through Qt: a Yes/No message box and an
// error box over the active window, the desktop's default beep and the
// visible sign of a refusal, and Qt's file-open and file-save dialogs.
#include <QFileDialog>
#include <QString>
#include <map>

#include "core/UserPrompts.h"
#include "gui/RefusalSign.h"

namespace telvar5 {

class QtUserPrompts : public UserPrompts {
public:
    bool askYesNo(const std::string& title, const std::string& text) override;
    void beep() override;
    void showRefusal(const std::string& reason) override;
    void showError(const std::string& title, const std::string& text) override;
    std::optional<std::string> askOpenFileName(const FileDialogOptions& options) override;
    std::optional<std::string> askSaveFileName(const FileDialogOptions& options) override;

private:
    QString firstFolder(const FileDialogOptions& options) const;
    std::optional<std::string> askFileName(const FileDialogOptions& options, QFileDialog::AcceptMode mode);

    RefusalSign refusalSign_;
    std::map<std::string, QString> lastFolders_; // by the dialog's filter: one per kind of file
};

} // namespace telvar5
