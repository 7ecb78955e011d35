#include "core/stimulus/ParameterGenerator.h"

#include <array>

#include "core/output/TransmitTime.h"
#include "core/stimulus/LabelSchedule.h"
#include "formats/Cp1251.h"
#include "formats/FormatLookup.h"
#include "formats/WordText.h"

namespace telvar5 {

namespace {
// Why a format cannot carry a generated value, in the user's terms.
std::string refusalText(EncoderRefusal refusal, const DecimalFormat& f)
{
    switch (refusal) {
    case EncoderRefusal::StepsLost:
        return "вес младшего бита меньше наименьшего шага числа одинарной точности, и значения поля не растут "
               "с его кодом; уменьшите число битов или увеличьте вес старшего бита.";
    case EncoderRefusal::LargestOverflows:
        return "наибольшее значение поля не помещается в число одинарной точности; уменьшите вес старшего бита.";
    case EncoderRefusal::WeightNotPositive:
        return "вес старшего бита должен быть конечным числом больше 0.";
    case EncoderRefusal::FieldOutOfPlace:
    case EncoderRefusal::None:
        break;
    }
    return "поле битов " + std::to_string(f.msbBit()) + ".." + std::to_string(f.lsbBit()) +
        " должно лежать между меткой (биты 1..8) и знаковым битом.";
}

} // namespace

ParameterGenerator::ParameterGenerator(const RunState& run, StimulusOutput& output) : run_(run), output_(output) {}

void ParameterGenerator::setRows(std::vector<GeneratorRow> rows, std::vector<int> rowNumbers)
{
    if (running_)
        return; // the rows of a running generator stay as they were started
    rows_ = std::move(rows);
    rowNumbers_ = rowNumbers.size() == rows_.size() ? std::move(rowNumbers) : std::vector<int>();
    states_.assign(rows_.size(), {});
}

std::bitset<kChannels> ParameterGenerator::channelsNamed() const
{
    std::bitset<kChannels> named;
    for (const GeneratorRow& row : rows_)
        if (row.channel >= 1 && row.channel <= kChannels)
            named.set(static_cast<std::size_t>(row.channel - 1));
    return named;
}

int ParameterGenerator::rowNumber(std::size_t row) const
{
    return rowNumbers_.empty() ? static_cast<int>(row + 1) : rowNumbers_[row];
}

std::string ParameterGenerator::rowText(std::size_t row) const
{
    return "Строка " + std::to_string(rowNumber(row)) + ": ";
}

std::string ParameterGenerator::prepare(std::vector<LiveRow>& live) const
{
    if (rows_.empty())
        return "В генераторе нет ни одной строки.";
    if (!run_.deviceChosen || run_.deviceHandle == kNoDevice)
        return "Модуль не выбран.";
    std::array<std::array<std::int16_t, 256>, kChannels> rowOfLabel;
    for (auto& labels : rowOfLabel)
        labels.fill(-1);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const GeneratorRow& row = rows_[i];
        if (row.channel < 1 || static_cast<std::uint32_t>(row.channel) > run_.soChannelCount)
            return rowText(i) + "у модуля нет выходного канала " + std::to_string(row.channel) + ".";
        const auto ch = static_cast<std::size_t>(row.channel - 1);
        if (!output_.freeFor(ch, StimulusOwner::Generator))
            return rowText(i) + "выходной канал " + std::to_string(row.channel) + " занят воспроизведением записи.";
        const int format = findFormatByTag(run_.formats, row.tag);
        const std::string tag = "«" + utf8FromCp1251(row.tag) + "»";
        if (format < 0)
            return rowText(i) + "нет десятичного формата " + tag + ".";
        const DecimalFormat& f = run_.formats.formatTable[static_cast<std::size_t>(format)];
        DecimalEncoder encoder(f);
        if (!encoder.usable())
            return rowText(i) + "формат " + tag + " не годится для выдачи значений: " + refusalText(encoder.refusal(), f);
        std::int16_t& earlier = rowOfLabel[ch][row.label];
        if (earlier >= 0) {
            CellText label;
            return rowText(i) + "метка " + std::string(addressText(row.label, label)) + " канала " +
                std::to_string(row.channel) + " уже задана в строке " +
                std::to_string(rowNumber(static_cast<std::size_t>(earlier))) + ".";
        }
        earlier = static_cast<std::int16_t>(i);
        const std::uint32_t base = row.label | std::uint32_t{row.ssm & 3u} << 29;
        live.push_back({i, ch, {}, base, encoder, WaveformSignal(row.waveform)});
    }
    return {};
}

void ParameterGenerator::update(LiveRow& live, double tSeconds)
{
    GeneratorRowState& state = states_[live.row];
    state.value = live.signal.valueAt(tSeconds);
    const EncodedWord encoded = live.encoder.encode(state.value, live.base);
    state.word = encoded.word;
    state.fit = encoded.fit;
}

std::string ParameterGenerator::layOut(std::vector<LiveRow>& live,
                                       std::array<std::vector<std::uint32_t>, kChannels>& words)
{
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        std::vector<LiveRow*> rows; // the channel's rows, in row order
        std::vector<ScheduledLabel> schedule;
        std::bitset<256> labels;
        for (LiveRow& row : live) {
            if (row.ch != ch)
                continue;
            rows.push_back(&row);
            schedule.push_back({rows_[row.row].intervalMs, rowNumber(row.row)});
            labels.set(rows_[row.row].label);
        }
        if (rows.empty())
            continue;
        const LabelLayout layout = LabelSchedule(outputWordTimeUs(run_.freqCodes[8 + ch])).lay(schedule);
        if (!layout.problem.empty())
            return layout.problem;
        // Words no label needs carry the lowest label the channel does not
        // send, with no data, so that no label comes more often than asked.
        std::uint32_t filler = 0;
        while (filler < 255 && labels.test(filler))
            ++filler;
        words[ch].assign(layout.words.size(), filler);
        for (std::size_t i = 0; i < layout.words.size(); ++i) {
            if (layout.words[i] == LabelSchedule::kFillerWord)
                continue;
            LiveRow& row = *rows[static_cast<std::size_t>(layout.words[i])];
            row.indices.push_back(static_cast<std::uint16_t>(i));
            words[ch][i] = states_[row.row].word;
        }
        for (std::size_t r = 0; r < rows.size(); ++r)
            states_[rows[r]->row].intervalMs = layout.achievedMs[r];
    }
    return {};
}

std::string ParameterGenerator::start(std::int64_t nowUs)
{
    if (running_)
        return "Генератор уже запущен.";
    std::vector<LiveRow> live;
    if (std::string problem = prepare(live); !problem.empty())
        return problem;

    states_.assign(rows_.size(), {});
    for (LiveRow& row : live)
        update(row, 0.0);
    std::array<std::vector<std::uint32_t>, kChannels> words;
    if (std::string problem = layOut(live, words); !problem.empty()) {
        states_.assign(rows_.size(), {});
        return problem;
    }
    std::bitset<kChannels> started;
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        if (words[ch].empty())
            continue;
        if (!output_.startCyclic(ch, words[ch], StimulusOwner::Generator)) {
            for (std::size_t k = 0; k < kChannels; ++k)
                if (started.test(k))
                    output_.stop(k);
            output_.release(StimulusOwner::Generator);
            return "Модуль не принял пуск выходного канала " + std::to_string(ch + 1) + ".";
        }
        started.set(ch);
    }
    live_ = std::move(live);
    channels_ = started;
    startUs_ = nowUs;
    running_ = true;
    return {};
}

void ParameterGenerator::stop()
{
    for (std::size_t ch = 0; ch < kChannels; ++ch)
        if (channels_.test(ch) && output_.transmitting(ch))
            output_.stop(ch);
    output_.release(StimulusOwner::Generator);
    channels_.reset();
    live_.clear();
    running_ = false;
}

std::bitset<kChannels> ParameterGenerator::tick(std::int64_t nowUs)
{
    std::bitset<kChannels> changed;
    if (!running_)
        return changed;
    // A channel stopped by the user, an initialisation or a new choice leaves the generator.
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        if (channels_.test(ch) && !output_.transmitting(ch)) {
            channels_.reset(ch);
            output_.releaseChannel(ch);
        }
    }
    std::erase_if(live_, [this](const LiveRow& row) { return !channels_.test(row.ch); });
    if (channels_.none()) {
        running_ = false;
        return changed;
    }
    const double t = static_cast<double>(nowUs - startUs_) / 1e6;
    for (LiveRow& row : live_) {
        update(row, t);
        for (const std::uint16_t index : row.indices)
            if (output_.setWord(row.ch, index, states_[row.row].word))
                changed.set(row.ch);
    }
    return changed;
}

} // namespace telvar5
