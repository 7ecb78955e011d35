#include "core/output/OutputArrays.h"

#include <cstdio>

#include "core/device/BitRates.h"
#include "core/output/OutputArrayFile.h"
#include "core/output/OutputModes.h"
#include "core/output/TransmitTime.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {

OutputArrays::OutputArrays(RunState& run, ScreenState& screen, UserPrompts& prompts)
    : run_(run), screen_(screen), prompts_(prompts)
{
}

void OutputArrays::noteChange(bool changed)
{
    if (changed)
        run_.arrayChanged[channel()] = true;
}

void OutputArrays::SOdataClearExecute()
{
    auto& words = run_.outputRecord[channel()].words;
    const auto before = words;
    words.fill(0);
    noteChange(words != before);
}

void OutputArrays::SOdataTestExecute()
{
    // From the least significant byte up: k, the channel number, 255 - k, 255 - the channel number.
    const std::uint32_t c = run_.curOutputNo & 0xFFu;
    auto& words = run_.outputRecord[channel()].words;
    const auto before = words;
    for (std::uint32_t k = 0; k < kOutputWords; ++k)
        words[k] = k | (c << 8) | ((255u - k) << 16) | (((255u - c) & 0xFFu) << 24);
    noteChange(words != before);
}

void OutputArrays::cbSOArrayDimChange(int itemIndex)
{
    if (itemIndex < 0 || itemIndex >= static_cast<int>(kOutputWords))
        return;
    const auto size = static_cast<std::uint16_t>(itemIndex + 1);
    noteChange(run_.arraySize[channel()] != size);
    run_.arraySize[channel()] = size;
    run_.arraySizeCopy[channel()] = size;
    UpdateSOtimeText(run_, screen_);
}

void OutputArrays::SOChange(int tabIndex)
{
    if (tabIndex < 0 || tabIndex >= kChannels)
        return;
    run_.curOutputIndex = static_cast<std::uint16_t>(tabIndex);
    run_.curOutputNo = static_cast<std::uint16_t>(tabIndex + 1);
    char title[96];
    std::snprintf(title, sizeof title, "Массив выходных параметров канала № %d", static_cast<int>(run_.curOutputNo));
    screen_.outputTitle = title;
    screen_.titlesTall = true;
    UpdateSOfreqText(run_);
    UpdateSOtimeText(run_, screen_);
    // The new channel's state at once: typing, and commands that would change
    // an array the module is still sending.
    showTypingLock(run_, screen_);
    screen_.commands.outputChannelShown(typingLocked(run_));
}

bool OutputArrays::FileOpen1Execute()
{
    const auto file =
        prompts_.askOpenFileName({kArrayOpenFilter, ".", "", false, "Открыть массив выходных параметров"});
    return file && FileOpen1Accept(*file);
}

void OutputArrays::FileSaveAs1Execute()
{
    if (const auto file =
            prompts_.askSaveFileName({kArraySaveFilter, ".", "so", true, "Сохранить массив выходных параметров"}))
        FileSaveAs1Accept(*file);
}

bool OutputArrays::FileOpen1Accept(const std::string& path)
{
    std::uint16_t size = 0;
    // A file that cannot be read, or names no word, changes nothing and says nothing.
    if (restoreOutputArray(pathFromUtf8(path), run_.outputRecord[channel()].words, size) != ArrayRestore::Restored)
        return false;
    run_.arraySize[channel()] = size;
    run_.arraySizeCopy[channel()] = size;
    run_.arrayChanged[channel()] = false;
    UpdateSOtimeText(run_, screen_);
    return true;
}

bool OutputArrays::FileSaveAs1Accept(const std::string& path)
{
    WriteProblem problem = WriteProblem::None;
    if (saveOutputArray(pathFromUtf8(path), run_.outputRecord[channel()].words, run_.arraySize[channel()],
                        &problem)) {
        run_.arrayChanged[channel()] = false;
        return true;
    }
    // A save that did not happen must not pass for one: the user would lose the array with the program.
    prompts_.showError(kProgramTitle,
                       "Выходные параметры не сохранены: не удалось записать файл\n" + path + "\nПричина: " +
                           writeProblemText(problem));
    return false;
}

} // namespace telvar5
