#include "gui/analysis/WordLogModel.h"

#include <algorithm>
#include <array>
#include <climits>

#include "core/analysis/WordLogSession.h"

namespace telvar5 {

namespace {

// More than a tall screen's rows: a repaint of what is in sight reads none twice.
constexpr int kKeptTexts = 512;

const std::array<const char*, WordLogModel::kColumns> kTitles{
    "Время, с", "Местное время", "Канал", "Метка", "SDI", "Данные", "SSM", "Чётность", "Слово", "Значение", "Ед.",
    "Интервал, мс"};
const std::array<const char*, WordLogModel::kColumns> kTitleHints{
    "Время от начала приема, секунды: время такта, в котором слово прочитано из буфера модуля",
    "Дата и время по часам компьютера с его часовым поясом",
    "Номер входного канала",
    "Метка, восьмеричная",
    "Биты 9–10",
    "Биты 11–29, шестнадцатеричные",
    "Биты 30–31",
    "Чётность слова: ARINC 429 передает нечётную, «чёт» — слово искажено",
    "Слово целиком, шестнадцатеричное",
    "Физическое значение по формату, действующему для метки на канале",
    "Единицы формата",
    "Время от предыдущего слова той же метки на том же канале. Слова получают время такта, в котором "
    "прочитаны из буфера модуля: «в такте» — оба прочитаны в одном такте; «…» — еще не подсчитано"};

QString textOf(const WordLogRow& r, int column)
{
    const std::string* fields[WordLogModel::kColumns] = {&r.sinceStart, &r.wallClock, &r.channel, &r.label,
                                                         &r.sdi,        &r.data,      &r.ssm,     &r.parity,
                                                         &r.word,       &r.value,     &r.units,   &r.sinceSameLabel};
    return QString::fromStdString(*fields[column]);
}

int clampedRows(std::uint64_t rows) { return static_cast<int>(std::min<std::uint64_t>(rows, INT_MAX)); }

} // namespace

WordLogModel::WordLogModel(WordLogSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session), shown_(clampedRows(session.rows().rowCount())),
      droppedSeen_(session.rowsDropped())
{
}

int WordLogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

int WordLogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

const WordLogRow* WordLogModel::rowText(int row) const
{
    if (const auto kept = texts_.constFind(row); kept != texts_.constEnd())
        return &*kept;
    WordLogEntry entry;
    if (!session_.rows().row(static_cast<std::uint64_t>(row), entry))
        return nullptr; // a recording that shrank: the row shows empty, the status line says why
    if (texts_.size() >= kKeptTexts)
        texts_.clear();
    return &*texts_.insert(row, session_.text().row(entry));
}

QVariant WordLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shown_)
        return {};
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == ColSinceStart || index.column() == ColValue ||
                            index.column() == ColSinceSameLabel || index.column() == ColChannel;
        // As an int: Qt 5 reads no alignment from a QFlags value.
        return static_cast<int>(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole)
        return {};
    const WordLogRow* row = rowText(index.row());
    return row ? textOf(*row, index.column()) : QVariant();
}

QVariant WordLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
    if (role == Qt::ToolTipRole)
        return QString::fromUtf8(kTitleHints[static_cast<std::size_t>(section)]);
    return {};
}

void WordLogModel::sync()
{
    const std::uint64_t dropped = session_.rowsDropped();
    if (dropped < droppedSeen_) { // the session started its rows afresh without saying so
        restart();
        return;
    }
    const int gone = clampedRows(std::min<std::uint64_t>(dropped - droppedSeen_, static_cast<std::uint64_t>(shown_)));
    if (gone > 0) {
        beginRemoveRows({}, 0, gone - 1);
        shown_ -= gone;
        texts_.clear(); // every row moved up
        endRemoveRows();
    }
    droppedSeen_ = dropped;
    const int rows = clampedRows(session_.rows().rowCount());
    if (rows > shown_) {
        beginInsertRows({}, shown_, rows - 1);
        shown_ = rows;
        endInsertRows();
    } else if (rows < shown_) { // fewer than the log says it dropped: start afresh
        restart();
    }
}

void WordLogModel::restart()
{
    beginResetModel();
    texts_.clear();
    shown_ = clampedRows(session_.rows().rowCount());
    droppedSeen_ = session_.rowsDropped();
    endResetModel();
}

void WordLogModel::textsChanged()
{
    texts_.clear();
    if (shown_ > 0)
        emit dataChanged(index(0, 0), index(shown_ - 1, kColumns - 1), {Qt::DisplayRole});
}

} // namespace telvar5
