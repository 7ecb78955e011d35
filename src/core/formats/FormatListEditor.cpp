#include "core/formats/FormatListEditor.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/formats/NumberText.h"
#include "core/formats/ShownLabelFormats.h"
#include "formats/Compaction.h"
#include "formats/FormatSettingsFile.h"
#include "formats/ReplaceFile.h"

namespace telvar5 {

namespace {

constexpr std::size_t kTagChars = 8;
constexpr std::size_t kUnitsChars = 6;
constexpr int kLowestBit = 9;
constexpr int kHighestBit = 29;
// The drop-down's texts in the program's Windows-1251: "знак" and "данные".
constexpr std::string_view kSignText = "\xE7\xED\xE0\xEA";
constexpr std::string_view kDataText = "\xE4\xE0\xED\xED\xFB\xE5";

// The bit columns and the weight column take digits and the editing keys only.
bool keyPasses(char key)
{
    return (key >= '0' && key <= '9') || isEditingKey(key);
}


} // namespace

FormatListEditor::FormatListEditor(RunState& run, UserPrompts& prompts) : run_(run), prompts_(prompts) {}

DecimalFormat* FormatListEditor::recordOfRow(int row)
{
    return row >= 1 && row < kMaxRows ? &run_.formats.formatTable[static_cast<std::size_t>(row - 1)] : nullptr;
}

void FormatListEditor::FormShow() { rows_ = gridRowsFor(run_.formats.formatCount); }

void FormatListEditor::FormClose()
{
    rows_ = compactFormats(run_.formats, rows_ - 1);
    // The edited formats take effect at once on the shown input channel, saved or not.
    rebuildShownLabelFormats(run_);
    // Nothing is lost in memory; the file keeps its old content when the new one cannot be written.
    WriteProblem problem = WriteProblem::None;
    if (saveFormatSettings(run_.formats, kFormatSettingsFileName, &problem))
        return;
    // The working folder is easy to mistake (a shortcut's start folder): the full path says which file.
    std::error_code ec;
    const std::string where = utf8FromPath(std::filesystem::absolute(kFormatSettingsFileName, ec));
    prompts_.showError(kProgramTitle, std::string("Десятичные форматы не сохранены: не удалось записать файл ") +
                                          kFormatSettingsFileName + "\n" + where + "\nПричина: " +
                                          writeProblemText(problem));
}

bool FormatListEditor::btAddClick()
{
    if (rows_ >= kMaxRows)
        return false;
    ++rows_;
    return true;
}

void FormatListEditor::btDeleteClick(int currentRow)
{
    if (DecimalFormat* record = recordOfRow(currentRow))
        record->bytes[DecimalFormat::kTagOffset] = 0;
    rows_ = compactFormats(run_.formats, rows_ - 1);
}

void FormatListEditor::DrawGrid1KeyPress(char key) { lastKey_ = key; }

bool FormatListEditor::setBitNumber(DecimalFormat& record, int column, std::string_view text)
{
    const auto typed = readDecimalPrefix(text);
    if (!keyPasses(lastKey_) || text.size() > 2 || !typed) {
        prompts_.refuse("номер бита: десятичные цифры, не более двух");
        return false;
    }
    // Taken as 16 bits unsigned, so a negative number counts as large.
    int n = static_cast<std::uint16_t>(*typed);
    if (n > kHighestBit) {
        n = kHighestBit;
        prompts_.refuse("номер бита: не выше 29");
    } else if (n < kLowestBit) {
        n = kLowestBit;
    }
    if (column == MsbBit) {
        if (record.bit29IsData() == 0 && n == kHighestBit) {
            n = kHighestBit - 1; // bit 29 is the sign
            prompts_.refuse("бит 29 — знак: старший бит не выше 28");
        } else if (n < record.lsbBit()) {
            n = record.lsbBit();
            prompts_.refuse("старший бит не ниже младшего");
        }
        record.setMsbBit(static_cast<std::uint8_t>(n));
    } else {
        if (n > record.msbBit()) {
            n = record.msbBit();
            prompts_.refuse("младший бит не выше старшего");
        }
        record.setLsbBit(static_cast<std::uint8_t>(n));
    }
    return true;
}

bool FormatListEditor::DrawGrid1SetEditText(int column, int row, std::string_view text)
{
    DecimalFormat* record = recordOfRow(row);
    if (!record)
        return false;
    switch (column) {
    case Tag:
    case Units: {
        const std::size_t limit = column == Tag ? kTagChars : kUnitsChars;
        if (text.size() > limit) {
            prompts_.refuse(column == Tag ? "тег: не более 8 символов" : "размерность: не более 6 символов");
            return false;
        }
        column == Tag ? record->setTag(text) : record->setUnits(text);
        return true;
    }
    case MsbBit:
    case LsbBit:
        return setBitNumber(*record, column, text);
    case MsbWeight: {
        const auto weight = readFloatPrefix(text);
        if (!keyPasses(lastKey_) || !weight) {
            prompts_.refuse("вес старшего бита: десятичные цифры");
            return false;
        }
        record->setMsbWeight(*weight);
        return true;
    }
    default:
        return false; // bit 29 is chosen in the drop-down only
    }
}

std::optional<int> FormatListEditor::DrawGrid1MouseDown(int column, int row, int currentRow)
{
    if (column != Bit29 || row < 0)
        return std::nullopt;
    // Over the title cell the drop-down stands for the current row, which its choice changes.
    const DecimalFormat* record = recordOfRow(row == 0 ? currentRow : row);
    return record && record->bit29IsData() != 0 ? 1 : 0;
}

bool FormatListEditor::ComboBox1Change(int currentRow, int item)
{
    DecimalFormat* record = recordOfRow(currentRow);
    if (!record || item < 0 || item > 1)
        return false;
    record->setBit29IsData(static_cast<std::uint8_t>(item));
    if (item == 0 && record->msbBit() == kHighestBit)
        record->setMsbBit(kHighestBit - 1);
    return true;
}

void FormatListEditor::cellText(const DecimalFormat& record, int column, CellText& out)
{
    out.clear();
    char number[64]; // "%f" of the largest float is 46 characters
    switch (column) {
    case Tag: out.append(record.tag()); break;
    case Bit29: out.append(record.bit29IsData() != 0 ? kDataText : kSignText); break;
    case MsbBit:
    case LsbBit:
        std::snprintf(number, sizeof number, " %6d", column == MsbBit ? record.msbBit() : record.lsbBit());
        out.append(number);
        break;
    case MsbWeight: {
        // " %f" with a point in any locale.
        out.append(' ');
        const auto r = std::to_chars(number, number + sizeof number, static_cast<double>(record.msbWeight()),
                                     std::chars_format::fixed, 6);
        out.append(r.ec == std::errc{} ? std::string_view(number, static_cast<std::size_t>(r.ptr - number))
                                       : std::string_view("inf"));
        break;
    }
    case Units: out.append(record.units()); break;
    default: break;
    }
}

} // namespace telvar5
