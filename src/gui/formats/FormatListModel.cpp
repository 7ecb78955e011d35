#include "gui/formats/FormatListModel.h"

#include <array>

#include "core/formats/FormatListEditor.h"
#include "gui/Cp1251Text.h"

namespace telvar5 {

namespace {
// The titles keep their blanks.
const std::array<const char*, FormatListModel::kColumns> kTitles{
    " метка", "29-й бит", "№ ст.бита", "№ мл.бита", "цена ст.разряда", "единицы измерения"};
constexpr int kRecords = static_cast<int>(kFormatTableSize);
} // namespace

FormatListModel::FormatListModel(const FormatTables& tables, QObject* parent)
    : RecordRowsModel(kColumns, parent), tables_(tables)
{
}

QString FormatListModel::cellText(int record, int column) const
{
    if (record < 0 || record >= kRecords || column < 0 || column >= kColumns)
        return {};
    CellText text;
    FormatListEditor::cellText(tables_.formatTable[static_cast<std::size_t>(record)], column, text);
    return textFromCp1251(text.view());
}

QVariant FormatListModel::data(const QModelIndex& index, int role) const
{
    // The cell editor opens empty: no text for the edit role.
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return cellText(index.row(), index.column());
}

QVariant FormatListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags FormatListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Bit 29 is chosen in the drop-down only; whether typing opens an editor is the grid's option.
    const Qt::ItemFlags cell = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == FormatListEditor::Bit29 ? cell : cell | Qt::ItemIsEditable;
}

} // namespace telvar5
