#pragma once
// The output parameter array of the displayed output channel: clear, test
// fill, its size, the switch of output tabs, and its files. Nothing here
// sends a request: the words go out at the next start.
#include <string>

#include "core/RunState.h"
#include "core/ScreenState.h"
#include "core/UserPrompts.h"

namespace telvar5 {

// The file dialogs of the two file commands.
inline constexpr const char* kArrayOpenFilter = "Файлы выходных параметров (*.so) |*.so|*.*|*.*";
inline constexpr const char* kArraySaveFilter = "Файлы выходных параметров (*.so)|*.so|*.*|*.*";

class OutputArrays {
public:
    OutputArrays(RunState& run, ScreenState& screen, UserPrompts& prompts);

    // All 256 words of the displayed channel to 0 / to the test pattern; the size stays.
    void SOdataClearExecute();
    void SOdataTestExecute();
    // A size chosen in cbSOArrayDim: item i is the size i + 1.
    void cbSOArrayDimChange(int itemIndex);
    // Another output tab (0..7): title, bit-rate text and transmission time
    // follow it; typing and the array commands follow the channel's mode.
    void SOChange(int tabIndex);

    // "восстановить из файла": the open dialog, then FileOpen1Accept. True when the array changed.
    bool FileOpen1Execute();
    // "сохранить в файле": the save dialog, then FileSaveAs1Accept.
    void FileSaveAs1Execute();
    // Restores the displayed channel's array from a file (path in UTF-8). A
    // file that cannot be opened, or holds no count or a count of 0, changes
    // nothing; true when the array and its size were taken from the file.
    bool FileOpen1Accept(const std::string& path);
    // Saves the displayed channel's array. A failed save leaves an old file as
    // it was and tells the user; returns whether the file was written.
    bool FileSaveAs1Accept(const std::string& path);

private:
    std::size_t channel() const { return run_.curOutputIndex % kChannels; }
    // Marks the displayed channel's array changed since its last save or restore.
    void noteChange(bool changed);

    RunState& run_;
    ScreenState& screen_;
    UserPrompts& prompts_;
};

} // namespace telvar5
