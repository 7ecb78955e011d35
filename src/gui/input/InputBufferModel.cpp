#include "gui/input/InputBufferModel.h"

#include "formats/InputGridText.h"
#include "gui/Cp1251Text.h"

namespace telvar5 {

namespace {
// Column titles keep their leading blanks.
const std::array<const char*, kInputGridColumns> kTitles{"№ ячейки", " АП",       "  HEX",    "  OCTAL",
                                                         " M",       "  DECIMAL", "  BINARY", "  № цикла"};
} // namespace

InputBufferModel::InputBufferModel(const RunState& run, QObject* parent) : QAbstractTableModel(parent), run_(run) {}

int InputBufferModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kInputCells; }

int InputBufferModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kInputGridColumns;
}

QString InputBufferModel::cellText(int row, int column) const
{
    QString text;
    cellText(row, column, text);
    return text;
}

void InputBufferModel::cellText(int row, int column, QString& text) const
{
    if (row < 0 || row >= kInputCells) {
        text.resize(0);
        return;
    }
    const InputCell& cell = run_.inputBuffer[run_.curInputIndex % kChannels][static_cast<std::size_t>(row)];
    CellText bytes;
    const std::string_view view =
        inputGridCellText(column, row, cell.word, cell.cycleNo, run_.labelFormatTable, bytes);
    text.resize(static_cast<qsizetype>(view.size()));
    QChar* out = text.data();
    const bool units = column == 5; // the units are Windows-1251 bytes; the other columns are ASCII
    for (const char c : view)
        *out++ = units ? qcharFromCp1251(c) : QChar(char16_t{static_cast<unsigned char>(c)});
}

QVariant InputBufferModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return cellText(index.row(), index.column());
}

QVariant InputBufferModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kInputGridColumns)
        return {};
    return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags InputBufferModel::flags(const QModelIndex& index) const
{
    // Cells can be made current but never edited.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void InputBufferModel::cellsStored(const std::bitset<kInputCells>& cells)
{
    int row = 0;
    while (row < kInputCells) {
        if (!cells.test(static_cast<std::size_t>(row))) {
            ++row;
            continue;
        }
        const int first = row;
        while (row < kInputCells && cells.test(static_cast<std::size_t>(row)))
            ++row;
        emit dataChanged(index(first, 0), index(row - 1, kInputGridColumns - 1), {Qt::DisplayRole});
    }
}

void InputBufferModel::channelChanged()
{
    emit dataChanged(index(0, 0), index(kInputCells - 1, kInputGridColumns - 1), {Qt::DisplayRole});
}

} // namespace telvar5
