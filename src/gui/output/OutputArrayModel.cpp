#include "gui/output/OutputArrayModel.h"

#include <array>
#include <cstdio>

namespace telvar5 {

namespace {
// The titles keep their blanks.
const std::array<const char*, OutputArrayModel::kColumns> kTitles{" индекс", " АП", " код(HEX) "};
} // namespace

OutputArrayModel::OutputArrayModel(const RunState& run, QObject* parent) : QAbstractTableModel(parent), run_(run)
{
    rows_ = displayedSize();
}

int OutputArrayModel::displayedSize() const
{
    const int size = run_.arraySize[run_.curOutputIndex % kChannels];
    // 0 before a module was ever chosen: the grid is made with all 256 rows.
    return size < 1 || size > kWords ? kWords : size;
}

int OutputArrayModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int OutputArrayModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QString OutputArrayModel::cellText(int row, int column) const
{
    QString text;
    cellText(row, column, text);
    return text;
}

void OutputArrayModel::cellText(int row, int column, QString& text) const
{
    text.resize(0);
    if (row < 0 || row >= kWords)
        return;
    const std::uint32_t word =
        run_.outputRecord[run_.curOutputIndex % kChannels].words[static_cast<std::size_t>(row)];
    char bytes[16];
    int length = 0;
    switch (column) {
    case 0:
        length = std::snprintf(bytes, sizeof bytes, "%5d", row);
        break;
    case 1:
        length = std::snprintf(bytes, sizeof bytes, "%03o", static_cast<unsigned>(word & 0xFFu));
        break;
    case 2:
        length = std::snprintf(bytes, sizeof bytes, "%06x", static_cast<unsigned>(word >> 8));
        break;
    default:
        return;
    }
    if (length <= 0)
        return;
    text.resize(qMin<qsizetype>(length, sizeof bytes - 1));
    QChar* out = text.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = QLatin1Char(bytes[i]);
}

QVariant OutputArrayModel::data(const QModelIndex& index, int role) const
{
    // The cell editor opens empty: no text for the edit role.
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return cellText(index.row(), index.column());
}

QVariant OutputArrayModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags OutputArrayModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Whether typing opens the editor is the grid's option; the index column is never typed into.
    const Qt::ItemFlags cell = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == 0 ? cell : cell | Qt::ItemIsEditable;
}

void OutputArrayModel::sizeChanged()
{
    const int size = displayedSize();
    if (size > rows_) {
        beginInsertRows({}, rows_, size - 1);
        rows_ = size;
        endInsertRows();
    } else if (size < rows_) {
        beginRemoveRows({}, size, rows_ - 1);
        rows_ = size;
        endRemoveRows();
    }
}

void OutputArrayModel::wordChanged(int wordIndex)
{
    if (wordIndex >= 0 && wordIndex < rows_)
        emit dataChanged(index(wordIndex, 0), index(wordIndex, kColumns - 1), {Qt::DisplayRole});
}

void OutputArrayModel::wordsChanged()
{
    emit dataChanged(index(0, 0), index(rows_ - 1, kColumns - 1), {Qt::DisplayRole});
}

} // namespace telvar5
