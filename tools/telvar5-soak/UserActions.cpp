#include "Soak.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/device/BitRates.h"
#include "formats/FormatSettingsFile.h"

namespace telvar5::soak {

// ---- The user ------------------------------------------------------------------------------

void Soak::act()
{
    const int pick = uniform(0, 99);
    const char* name = nullptr;
    if (pick < 25) {
        name = "bit editor";
        editWordBits();
    } else if (pick < 30) {
        name = "typing into the grid";
        typeIntoGrid();
    } else if (pick < 45) {
        name = "tab switch";
        switchTabs();
    } else if (pick < 55) {
        name = "input restart";
        restartInput();
    } else if (pick < 80) {
        name = "output session";
        outputSession();
    } else if (pick < 83) {
        name = "device restart";
        restartDevice();
    } else if (pick < 91) {
        name = "decimal formats";
        editDecimalFormats();
    } else {
        name = "parameter formats";
        editParamFormats();
    }
    ++actions_[name];
    trace("%s (input tab %u, output tab %u)", name, m_->run().curInputNo, m_->run().curOutputNo);
    checkState(name);
}

void Soak::initialise()
{
    sampleCounters();
    m_->lifecycle().DeviceInitializationExecute();
    sampleCounters();
    // The buffers are empty now, but the module's cells keep what arrived before
    // its channels stopped: a channel tainted by a start that missed the module
    // stays so until a start reaches it.
    lastCounter_ = m_->run().refreshCounter;
}

// Every channel started from its tab, a tick after the switch, as a user
// would: reception in address or file mode, the array sent cyclically.
void Soak::startAll(bool testArrays)
{
    for (int tab = kChannels - 1; tab >= 0; --tab) {
        m_->reception().SIChange(tab);
        period();
        startReception(uniform(0, 1) == 1);
        m_->outputArrays().SOChange(tab);
        period();
        if (testArrays && can(Control::tbSOdataTest))
            m_->outputArrays().SOdataTestExecute();
        if (can(Control::tbSOciclePusk))
            m_->output().SOciclePuskExecute();
        else
            ++disabledPresses_;
    }
}

void Soak::startReception(bool file)
{
    if (!can(file ? Control::tbSIfilePusk : Control::tbSIaddressPusk)) {
        ++disabledPresses_;
        return;
    }
    // Under a fault the start may not reach the module, which then goes on in its old
    // mode; without one, the module and the core both begin with empty cells.
    tainted_[m_->run().curInputIndex % kChannels] = fault_.has_value();
    file ? m_->reception().SIfilePuskExecute() : m_->reception().SIaddressPuskExecute();
    trace("input %u: %s reception started", m_->run().curInputNo, file ? "file" : "address");
}

// "Стоп" of the module, a few periods without the timer, sometimes a new
// choice of the module (rates back to 0, arrays cleared), then initialisation
// and every channel started again.
void Soak::restartDevice()
{
    if (can(Control::tbDeviceReset))
        m_->lifecycle().DeviceResetExecute();
    periods(uniform(1, 5));
    if (m_->screen().timerActive)
        broken("the refresh timer runs after the module was stopped");
    bool chosen = false;
    if (uniform(0, 3) == 0 && can(Control::tbDeviceChoice)) {
        DeviceChoice& choice = m_->deviceChoice();
        sampleCounters();
        choice.beforeDialog();
        choice.FormShow();
        chosen = choice.Button1Click();
        choice.FormClose();
        choice.afterDialog();
        sampleCounters();
        for (int code = 0; code < 2 * kChannels; ++code)
            setFreqCode(m_->run(), code, kFastestRateCode);
    }
    if (!can(Control::tbDeviceIni))
        broken("initialisation disabled after a stop");
    initialise();
    startAll(chosen);
}

void Soak::switchTabs()
{
    if (uniform(0, 2) != 0)
        m_->reception().SIChange(uniform(0, kChannels - 1));
    if (uniform(0, 2) != 0)
        m_->outputArrays().SOChange(uniform(0, kChannels - 1));
}

void Soak::restartInput()
{
    m_->reception().SIChange(uniform(0, kChannels - 1));
    period();
    if (can(Control::tbSIstop))
        m_->reception().SIstopChannelExecute();
    periods(uniform(1, 20));
    startReception(uniform(0, 1) == 1);
}

// An output tab, its transmission stopped, then one to three of: typing, a new
// size, save and restore, the test array, a single transmission; then the
// cyclic transmission again.
void Soak::outputSession()
{
    m_->outputArrays().SOChange(uniform(0, kChannels - 1));
    period(); // the buttons follow the tab at the next tick
    if (can(Control::tbSOstop))
        m_->output().SOstopChannelExecute();
    period();
    for (int n = uniform(1, 3); n > 0; --n) {
        switch (uniform(0, 4)) {
        case 0: typeIntoGrid(); break;
        case 1: can(Control::cbSOArrayDim) ? changeArraySize() : void(++disabledPresses_); break;
        case 2: can(Control::tbSOdataSave) ? saveAndRestoreArray() : void(++disabledPresses_); break;
        case 3: can(Control::tbSOdataTest) ? m_->outputArrays().SOdataTestExecute() : void(++disabledPresses_); break;
        default:
            if (can(Control::tbSOsinglePusk)) {
                m_->output().SOsinglePuskExecute();
                periods(uniform(1, 10));
            }
        }
    }
    if (can(Control::tbSOciclePusk))
        m_->output().SOciclePuskExecute();
    else
        ++disabledPresses_;
}

// A right click on a word of the displayed array, one to four boxes ticked or
// cleared, "Применить" three times in four; a left click or the title row opens nothing.
void Soak::editWordBits()
{
    RunState& run = m_->run();
    OutputGrid& grid = m_->outputGrid();
    const std::size_t ch = run.curOutputIndex % kChannels;
    const int row = uniform(1, run.arraySize[ch]);
    if (grid.DrawGrid1MouseDown(MouseButton::Left, 1, row) || grid.DrawGrid1MouseDown(MouseButton::Right, 1, 0))
        broken("the bit editor opened on a left click or the title row");
    if (!grid.DrawGrid1MouseDown(MouseButton::Right, uniform(0, 3), row)) {
        broken("a right click on row %d of %u opened no bit editor", row, run.arraySize[ch]);
        return;
    }
    WordBitEditor& editor = m_->bitEditor();
    editor.FormShow();
    const std::uint32_t before = run.outputRecord[ch].words[static_cast<std::size_t>(row - 1)];
    if (editor.workingWord() != before)
        broken("the bit editor shows %08X for word %08X", editor.workingWord(), before);
    std::uint32_t expected = before;
    for (int n = uniform(1, 4); n > 0; --n) {
        const int box = uniform(1, WordBitEditor::kBoxes);
        editor.CheckBoxClick(box, !editor.boxTicked(box));
        expected ^= std::uint32_t{1} << (WordBitEditor::bitOfBox(box) - 1);
    }
    const bool apply = uniform(0, 3) != 0;
    if (apply)
        editor.Button1Click();
    const std::uint32_t after = run.outputRecord[ch].words[static_cast<std::size_t>(row - 1)];
    if (after != (apply ? expected : before))
        broken("bit editor %s: word %08X, expected %08X", apply ? "applied" : "cancelled", after,
               apply ? expected : before);
    grid.bitEditorClosed();
}

// Octal address or hexadecimal code typed into a row of the displayed array, a
// key at a time; one time in ten the last key is one the column refuses. The
// grid takes it only while no cyclic start locked it.
void Soak::typeIntoGrid()
{
    RunState& run = m_->run();
    OutputGrid& grid = m_->outputGrid();
    const std::size_t ch = run.curOutputIndex % kChannels;
    const int row = uniform(1, run.arraySize[ch]);
    const bool address = uniform(0, 1) == 0;
    const int column = address ? 1 : 2;
    std::string text;
    for (int n = uniform(1, address ? 3 : 6); n > 0; --n)
        text += (address ? "01234567" : "0123456789ABCDEFabcdef")[uniform(0, address ? 7 : 21)];
    const bool wrongKey = uniform(0, 9) == 0;
    if (wrongKey)
        text.back() = address ? '8' : 'g';
    std::uint32_t& word = run.outputRecord[ch].words[static_cast<std::size_t>(row - 1)];
    const std::uint32_t before = word;
    const bool editable = m_->screen().outputGridEditable;
    const std::int64_t beeps = prompts_.beeps;
    std::string typed;
    for (char key : text) {
        typed += key;
        grid.DrawGrid1KeyPress(key);
        grid.DrawGrid1SetEditText(column, row, typed);
    }
    std::uint32_t expected = before;
    const std::string taken = wrongKey ? text.substr(0, text.size() - 1) : text;
    if (editable && !taken.empty()) {
        const auto value = static_cast<std::uint32_t>(std::stoul(taken, nullptr, address ? 8 : 16));
        expected = address ? (before & ~0xFFu) | (value & 0xFFu) : (before & 0xFFu) | (value << 8);
    }
    if (word != expected)
        broken("typed \"%s\" into column %d (%s): word %08X, expected %08X", text.c_str(), column,
               editable ? "editable" : "locked", word, expected);
    if (editable && wrongKey && prompts_.beeps == beeps)
        broken("a refused key did not beep");
    if (!editable && prompts_.beeps != beeps)
        broken("the locked grid beeped");
}

void Soak::changeArraySize()
{
    RunState& run = m_->run();
    const std::size_t ch = run.curOutputIndex % kChannels;
    const int item = uniform(0, 9) == 0 ? 255 : uniform(0, 255);
    m_->outputArrays().cbSOArrayDimChange(item);
    m_->outputArrays().cbSOArrayDimChange(-1); // no such items: nothing changes
    m_->outputArrays().cbSOArrayDimChange(256);
    if (run.arraySize[ch] != item + 1)
        broken("size item %d gave an array of %u", item, run.arraySize[ch]);
}

// The displayed array saved into the scratch folder, cleared, and restored.
void Soak::saveAndRestoreArray()
{
    RunState& run = m_->run();
    const std::size_t ch = run.curOutputIndex % kChannels;
    const fs::path file = scratch_ / ("array" + std::to_string(ch + 1) + ".so");
    const auto words = run.outputRecord[ch].words;
    const std::uint16_t size = run.arraySize[ch];
    prompts_.fileToSave = file.string();
    m_->outputArrays().FileSaveAs1Execute();
    prompts_.fileToSave.reset();
    std::error_code error;
    if (fs::file_size(file, error) != 2u + 4u * size)
        broken("%s: %ju bytes for %u words", file.c_str(), static_cast<std::uintmax_t>(fs::file_size(file, error)), size);
    m_->outputArrays().SOdataClearExecute();
    prompts_.fileToOpen = file.string();
    const bool restored = m_->outputArrays().FileOpen1Execute();
    prompts_.fileToOpen.reset();
    if (!restored || run.arraySize[ch] != size
        || !std::equal(words.begin(), words.begin() + size, run.outputRecord[ch].words.begin()))
        broken("output %zu: the array restored from %s differs from the one saved", ch + 1, file.c_str());
}

// The decimal formats editor: a record added and typed in (tag, bit 29, bits,
// weight, units; out-of-range bits clamped with a beep) or one deleted when the
// table has 32; now and then "+" until it refuses. Its closing writes the
// settings file, which must then read back as the table.
void Soak::editDecimalFormats()
{
    FormatListEditor& editor = m_->formatList();
    FormatTables& formats = m_->run().formats;
    editor.FormShow();
    auto type = [&](int column, int row, const std::string& text) {
        std::string typed;
        for (char key : text) {
            typed += key;
            editor.DrawGrid1KeyPress(key);
            editor.DrawGrid1SetEditText(column, row, typed);
        }
    };
    if (formats.formatCount >= 32 && uniform(0, 1) == 0) {
        editor.btDeleteClick(uniform(1, editor.rowCount() - 1));
    } else if (uniform(0, 19) == 0) {
        while (editor.btAddClick()) {
        }
        if (editor.rowCount() != FormatListEditor::kMaxRows)
            broken("decimal formats: \"+\" refused at %d rows", editor.rowCount());
    } else {
        if (formats.formatCount > 0)
            editor.btAddClick();
        const int row = editor.rowCount() - 1;
        type(FormatListEditor::Tag, row, "F" + std::to_string(++formatSerial_ % 10'000'000));
        if (editor.DrawGrid1MouseDown(FormatListEditor::Bit29, row, row))
            editor.ComboBox1Change(row, uniform(0, 1));
        type(FormatListEditor::MsbBit, row, std::to_string(uniform(9, 32)));
        type(FormatListEditor::LsbBit, row, std::to_string(uniform(9, 20)));
        type(FormatListEditor::MsbWeight, row, std::to_string(uniform(1, 512)));
        type(FormatListEditor::Units, row, uniform(0, 1) ? "deg" : "ft");
    }
    editor.FormClose();
    FormatTables fromFile;
    if (!loadFormatSettings(fromFile) || fromFile.formatCount != formats.formatCount
        || !std::equal(formats.formatTable.begin(), formats.formatTable.begin() + formats.formatCount,
                       fromFile.formatTable.begin(),
                       [](const DecimalFormat& a, const DecimalFormat& b) { return a.bytes == b.bytes; }))
        broken("%s does not read back as the %u decimal formats", kFormatSettingsFileName, formats.formatCount);
}

// The parameter formats editor: a record added (label in octal, channel, a
// format's tag by double click) or one deleted when the table has 32;
// sometimes saved into the scratch folder and restored.
void Soak::editParamFormats()
{
    ParamFormatEditor& editor = m_->paramFormats();
    FormatTables& formats = m_->run().formats;
    editor.FormShow();
    auto type = [&](int column, int row, const std::string& text) {
        std::string typed;
        for (char key : text) {
            typed += key;
            editor.DrawGrid2KeyPress(key);
            editor.DrawGrid2SetEditText(column, row, typed);
        }
    };
    if (formats.paramFormatCount >= 32 && uniform(0, 1) == 0) {
        editor.btDeleteClick(uniform(1, editor.paramRowCount() - 1));
    } else {
        if (formats.paramFormatCount > 0)
            editor.btAddClick();
        const int row = editor.paramRowCount() - 1;
        char label[8];
        std::snprintf(label, sizeof label, "%o", static_cast<unsigned>(uniform(1, 255)));
        type(ParamFormatEditor::Label, row, label);
        type(ParamFormatEditor::Channel, row, std::string(1, static_cast<char>('1' + uniform(0, 8)))); // '9': a beep
        if (editor.formatRowCount() > 1) {
            const int formatRow = uniform(1, editor.formatRowCount() - 1);
            editor.DrawGrid1MouseDown(0, formatRow);
            editor.DrawGrid1DblClick(formatRow, row);
        }
    }
    if (uniform(0, 3) == 0) {
        const std::string file = (scratch_ / "params.si").string();
        prompts_.fileToSave = file;
        editor.FileSaveAs1Execute();
        prompts_.fileToSave.reset();
        const std::uint16_t saved = formats.paramFormatCount;
        prompts_.fileToOpen = file;
        if (!editor.FileOpen1Execute() || formats.paramFormatCount != saved)
            broken("%s: %u parameter formats saved, %u restored", file.c_str(), saved, formats.paramFormatCount);
        prompts_.fileToOpen.reset();
    }
    editor.FormClose();
}

} // namespace telvar5::soak
