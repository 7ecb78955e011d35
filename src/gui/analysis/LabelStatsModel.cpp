#include "gui/analysis/LabelStatsModel.h"

#include <QBrush>
#include <QPalette>
#include <array>
#include <cstring>
#include <limits>

#include "formats/ArincWord.h"
#include "formats/DecimalText.h"
#include "gui/Cp1251Text.h"

namespace telvar5 {

namespace {
const std::array<const char*, LabelStatsModel::kColumns> kTitles{
    "Метка",           "Слов", "Слов/с за 10 с", "Мин. интервал, мс", "Макс. интервал, мс",
    "Последнее слово", "SDI",  "Чётность",       "Чётных слов",       "Значение"};

const QString kStaleTip =
    QStringLiteral("Нет свежих слов дольше %1 с: цифры строки старые").arg(LabelStatistics::kStaleUs / 1'000'000);

QString intervalText(std::int64_t us)
{
    return us < 0 ? QString() : QString::number(static_cast<double>(us) / 1000.0, 'f', 1);
}
} // namespace

LabelStatsModel::LabelStatsModel(LabelStatistics& statistics, const RunState& run, QObject* parent)
    : QAbstractTableModel(parent), statistics_(statistics), run_(run),
      channel_(run.curInputIndex % LabelStatistics::kChannelCount), generation_(statistics.generation(channel_)),
      formats_(run.labelFormatTable)
{
}

int LabelStatsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int LabelStatsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

int LabelStatsModel::labelOf(int row) const
{
    // Between a restart and the next refresh the rows still stand but their labels are gone.
    if (row < 0 || row >= rows_ || statistics_.generation(channel_) != generation_)
        return -1;
    const auto labels = statistics_.labelsInOrder(channel_);
    return static_cast<std::size_t>(row) < labels.size() ? labels[static_cast<std::size_t>(row)] : -1;
}

QString LabelStatsModel::text(int column, int label, const LabelStatistics::Figures& f) const
{
    switch (column) {
    case ColLabel:
        return QString::asprintf("%03o", static_cast<unsigned>(label));
    case ColCount:
        return QString::number(f.count);
    case ColRate:
        return QString::number(f.wordsPerSecond, 'f', 1);
    case ColMinInterval:
        return intervalText(f.minIntervalUs);
    case ColMaxInterval:
        return intervalText(f.maxIntervalUs);
    case ColLastWord:
        return QString::asprintf("%08X", static_cast<unsigned>(f.lastWord));
    case ColSdi:
        return QString::number(wordSdi(f.lastWord));
    case ColParity:
        return wordParityOdd(f.lastWord) ? QStringLiteral("нечёт") : QStringLiteral("чёт");
    case ColEvenParity:
        return QString::number(f.evenParityCount);
    case ColValue: {
        // The formats in force belong to the shown channel: none apply until the rows follow it.
        if (channel_ != run_.curInputIndex % LabelStatistics::kChannelCount)
            return {};
        CellText cell;
        const std::string_view bytes = decimalText(f.lastWord, run_.labelFormatTable, cell);
        return textFromCp1251(bytes).simplified();
    }
    default:
        return {};
    }
}

QVariant LabelStatsModel::sortKey(int column, int label, const LabelStatistics::Figures& f) const
{
    switch (column) {
    case ColLabel:
        return label;
    case ColCount:
        return QVariant::fromValue<qulonglong>(f.count);
    case ColRate:
        return f.wordsPerSecond;
    case ColMinInterval:
        return QVariant::fromValue<qlonglong>(f.minIntervalUs);
    case ColMaxInterval:
        return QVariant::fromValue<qlonglong>(f.maxIntervalUs);
    case ColLastWord:
        return QVariant::fromValue<uint>(f.lastWord);
    case ColSdi:
        return QVariant::fromValue<uint>(wordSdi(f.lastWord));
    case ColParity:
        return wordParityOdd(f.lastWord) ? 1 : 0;
    case ColEvenParity:
        return QVariant::fromValue<qulonglong>(f.evenParityCount);
    case ColValue: {
        const DecimalFormat& format = run_.labelFormatTable[static_cast<std::size_t>(label)];
        // Rows without a value sort below every value.
        if (channel_ != run_.curInputIndex % LabelStatistics::kChannelCount || format.tagEmpty())
            return std::numeric_limits<double>::lowest();
        const DecimalValue value = decimalValue(f.lastWord, format);
        return value.sign == '-' ? -static_cast<double>(value.magnitude) : static_cast<double>(value.magnitude);
    }
    default:
        return {};
    }
}

QVariant LabelStatsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() < 0 || index.column() >= kColumns)
        return {};
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() != ColLabel && index.column() != ColLastWord && index.column() != ColSdi
            && index.column() != ColParity;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignHCenter));
    }
    if (role != Qt::DisplayRole && role != kSortRole && role != Qt::ForegroundRole && role != Qt::ToolTipRole)
        return {};
    const int label = labelOf(index.row());
    if (label < 0)
        return {};
    const LabelStatistics::Figures f = statistics_.figures(channel_, static_cast<std::size_t>(label), nowUs_);
    switch (role) {
    case Qt::DisplayRole:
        return text(index.column(), label, f);
    case kSortRole:
        return sortKey(index.column(), label, f);
    case Qt::ForegroundRole:
        // Grey, as the module overview shows a channel without fresh words.
        return f.stale ? QVariant(QBrush(QPalette().color(QPalette::Disabled, QPalette::Text))) : QVariant();
    default:
        return f.stale ? QVariant(kStaleTip) : QVariant();
    }
}

QVariant LabelStatsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags LabelStatsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void LabelStatsModel::emitRowRuns(const std::bitset<LabelStatistics::kLabelCount>& touched, int rows, int& covered)
{
    // One signal per run of neighbouring rows: in address reception every label takes a word each tick.
    const auto labels = statistics_.labelsInOrder(channel_);
    int first = -1;
    for (int row = 0; row <= rows; ++row) {
        const bool took = row < rows && touched[labels[static_cast<std::size_t>(row)]];
        if (took && first < 0) {
            first = row;
        } else if (!took && first >= 0) {
            emit dataChanged(index(first, 0), index(row - 1, kColumns - 1));
            covered += row - first;
            first = -1;
        }
    }
}

void LabelStatsModel::emitStaleChanges(int rows)
{
    const auto labels = statistics_.labelsInOrder(channel_);
    for (int row = 0; row < rows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const bool stale = statistics_.figures(channel_, labels[r], nowUs_).stale;
        if (stale == staleRows_[r])
            continue;
        staleRows_[r] = stale;
        emit dataChanged(index(row, 0), index(row, kColumns - 1));
    }
}

void LabelStatsModel::refresh(std::int64_t nowUs)
{
    nowUs_ = nowUs;
    const std::size_t ch = run_.curInputIndex % LabelStatistics::kChannelCount;
    if (ch != channel_ || statistics_.generation(ch) != generation_) {
        if (rows_ > 0) {
            beginRemoveRows({}, 0, rows_ - 1);
            rows_ = 0;
            endRemoveRows();
        }
        channel_ = ch;
        generation_ = statistics_.generation(ch);
        staleRows_.reset();
    }
    // Rows the new labels bring are drawn fresh; only the rows already shown need telling.
    const std::bitset<LabelStatistics::kLabelCount> touched = statistics_.takeTouched(channel_);
    const int shown = rows_;
    const int total = static_cast<int>(statistics_.labelsInOrder(channel_).size());
    if (total > rows_) {
        beginInsertRows({}, rows_, total - 1);
        rows_ = total;
        endInsertRows();
    }
    const bool formatsChanged = std::memcmp(formats_.data(), run_.labelFormatTable.data(), sizeof formats_) != 0;
    if (formatsChanged)
        formats_ = run_.labelFormatTable;
    if (shown == 0)
        return;
    int covered = 0;
    emitRowRuns(touched, shown, covered);
    emitStaleChanges(shown);
    // Rates fall while a label is silent: every row's rate moves on each tick.
    if (covered < shown)
        emit dataChanged(index(0, ColRate), index(shown - 1, ColRate));
    if (formatsChanged)
        emit dataChanged(index(0, ColValue), index(shown - 1, ColValue));
}

} // namespace telvar5
