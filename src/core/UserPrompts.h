#pragma once
// Everything the program asks of the user or the desktop outside its own
// windows. The Qt layer implements it with message boxes, the standard file
// dialogs and the system beep; tests answer and record through a fake.
#include <optional>
#include <string>

namespace telvar5 {

// The caption of the program's own message boxes.
inline constexpr const char* kProgramTitle = "Монитор модуля TELVAR-5";

// What a file dialog is opened with. The filter is written as pairs of
// description and pattern separated by bars: "Файлы выходных параметров (*.so)|*.so|*.*|*.*".
struct FileDialogOptions {
    std::string filter;
    std::string initialDir;
    std::string defaultExt; // added to a name typed without extension (save dialogs); empty: none
    // Save dialogs: ask before a chosen file that exists is replaced. Only the
    // output arrays ask: an array is typed by hand and nowhere else kept.
    bool confirmReplace = false;
    std::string title; // the dialog's caption, UTF-8; empty: the toolkit's own
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A Yes/No question box; true only for Yes. Texts are UTF-8.
    virtual bool askYesNo(const std::string& title, const std::string& text) = 0;
    // The platform's default message beep.
    virtual void beep() = 0;
    // A visible sign that typed input was refused, with a short reason. The
    // beep is often inaudible on a bench; the sign never changes what is
    // stored or what an editor shows. Nothing by default.
    virtual void showRefusal(const std::string& reason) { (void)reason; }
    // A refused key or text: the beep and its visible sign.
    void refuse(const std::string& reason)
    {
        beep();
        showRefusal(reason);
    }
    // A box that tells the user something went wrong; only an OK button.
    virtual void showError(const std::string& title, const std::string& text) = 0;
    // The standard file-open and file-save dialogs: the chosen file's path
    // (UTF-8), or nothing when the user cancelled.
    virtual std::optional<std::string> askOpenFileName(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> askSaveFileName(const FileDialogOptions& options) = 0;
};

} // namespace telvar5
