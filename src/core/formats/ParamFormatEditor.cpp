#include "core/formats/ParamFormatEditor.h"

#include <algorithm>
#include <cstdio>

#include "core/formats/NumberText.h"
#include "core/formats/ShownLabelFormats.h"
#include "formats/Compaction.h"
#include "formats/FormatLookup.h"
#include "formats/ParamFormatsFile.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {

ParamFormatEditor::ParamFormatEditor(RunState& run, UserPrompts& prompts) : run_(run), prompts_(prompts) {}

ParamFormatEntry* ParamFormatEditor::recordOfRow(int row)
{
    return row >= 1 && row < kMaxRows ? &run_.formats.paramFormatTable[static_cast<std::size_t>(row - 1)] : nullptr;
}

void ParamFormatEditor::FormShow()
{
    formatRows_ = gridRowsFor(run_.formats.formatCount);
    paramRows_ = gridRowsFor(run_.formats.paramFormatCount);
}

void ParamFormatEditor::FormClose()
{
    paramRows_ = compactParamFormats(run_.formats, paramRows_ - 1);
    // The new table takes effect at once on the shown input channel.
    rebuildShownLabelFormats(run_);
}

bool ParamFormatEditor::btAddClick()
{
    if (paramRows_ >= kMaxRows)
        return false;
    ++paramRows_;
    return true;
}

void ParamFormatEditor::btDeleteClick(int currentRow)
{
    if (ParamFormatEntry* record = recordOfRow(currentRow))
        record->bytes[ParamFormatEntry::kTagOffset] = 0;
    paramRows_ = compactParamFormats(run_.formats, paramRows_ - 1);
}

void ParamFormatEditor::DrawGrid2KeyPress(char key) { lastKey_ = key; }

bool ParamFormatEditor::DrawGrid2SetEditText(int column, int row, std::string_view text)
{
    ParamFormatEntry* record = recordOfRow(row);
    if (!record || (column != Label && column != Channel))
        return false; // the tag comes from a double click only
    const auto key = static_cast<unsigned char>(lastKey_);
    if (column == Label) {
        const auto typed = readOctalPrefix(text);
        if (!((key >= '0' && key <= '7') || isEditingKey(lastKey_)) || text.size() > 3 || !typed) {
            prompts_.refuse("адрес: восьмеричные цифры, не более трёх");
            return false;
        }
        unsigned label = static_cast<std::uint16_t>(*typed);
        if (label > 255) {
            label = 255;
            prompts_.refuse("адрес: не выше 377");
        }
        record->setLabel(static_cast<std::uint8_t>(label)); // 0 goes at the next compaction
        return true;
    }
    const auto typed = readDecimalPrefix(text);
    if (!((key >= '1' && key <= '8') || isEditingKey(lastKey_)) || text.size() > 1 || !typed) {
        prompts_.refuse("канал: одна цифра от 1 до 8");
        return false;
    }
    int channel = *typed;
    if (channel > 8 || channel < 1) {
        channel = std::clamp(channel, 1, 8);
        prompts_.refuse("канал: одна цифра от 1 до 8");
    }
    record->setChannel(static_cast<std::uint8_t>(channel));
    return true;
}

void ParamFormatEditor::DrawGrid1MouseDown(int column, int row) { lastPressInCell_ = column >= 0 && row >= 0; }

bool ParamFormatEditor::DrawGrid1DblClick(int formatCurrentRow, int paramCurrentRow)
{
    ParamFormatEntry* record = recordOfRow(paramCurrentRow);
    if (!lastPressInCell_ || !record || formatCurrentRow < 1 || formatCurrentRow >= kMaxRows)
        return false;
    // The tag is read cut at its 9-byte field and written as at most 8 bytes
    // and the zero byte, so a damaged tag never spills past formatTag.
    record->setFormatTag(run_.formats.formatTable[static_cast<std::size_t>(formatCurrentRow - 1)].tag());
    return true;
}

bool ParamFormatEditor::FileOpen1Execute()
{
    const auto file =
        prompts_.askOpenFileName({kParamFormatsFilter, ".", "", false, "Открыть форматы параметров"});
    return file && FileOpen1Accept(*file);
}

void ParamFormatEditor::FileSaveAs1Execute()
{
    if (const auto file =
            prompts_.askSaveFileName({kParamFormatsFilter, ".", "si", false, "Сохранить форматы параметров"}))
        FileSaveAs1Accept(*file);
}

bool ParamFormatEditor::FileOpen1Accept(const std::string& path)
{
    if (!loadParamFormats(run_.formats, pathFromUtf8(path)))
        return false; // nothing changes and nothing is said
    paramRows_ = gridRowsFor(run_.formats.paramFormatCount);
    return true;
}

bool ParamFormatEditor::FileSaveAs1Accept(const std::string& path)
{
    paramRows_ = compactParamFormats(run_.formats, paramRows_ - 1);
    WriteProblem problem = WriteProblem::None;
    if (saveParamFormats(run_.formats, pathFromUtf8(path), &problem))
        return true;
    prompts_.showError(kProgramTitle, "Форматы параметров не сохранены: не удалось записать файл\n" + path +
                                          "\nПричина: " + writeProblemText(problem));
    return false;
}

void ParamFormatEditor::paramCellText(const ParamFormatEntry& record, int column, CellText& out)
{
    out.clear();
    char number[16];
    if (column == Label || column == Channel) {
        std::snprintf(number, sizeof number, column == Label ? " %6o" : " %6d",
                      static_cast<unsigned>(column == Label ? record.label() : record.channel()));
        out.append(number);
    } else if (column == FormatTag) {
        out.append(record.formatTag());
    }
}

bool ParamFormatEditor::tagKnown(const ParamFormatEntry& record) const
{
    return findFormatByTag(run_.formats, record.formatTag()) >= 0;
}

} // namespace telvar5
