#include "gui/formats/ParamFormatModel.h"

#include <QColor>
#include <array>

#include "gui/Cp1251Text.h"

namespace telvar5 {

namespace {
const std::array<const char*, ParamFormatModel::kColumns> kTitles{"  АП  ", " № канала", " метка"};
constexpr int kRecords = static_cast<int>(kFormatTableSize);
} // namespace

ParamFormatModel::ParamFormatModel(const FormatTables& tables, const ParamFormatEditor& editor, QObject* parent)
    : RecordRowsModel(kColumns, parent), tables_(tables), editor_(editor)
{
}

QString ParamFormatModel::cellText(int record, int column) const
{
    if (record < 0 || record >= kRecords || column < 0 || column >= kColumns)
        return {};
    CellText text;
    ParamFormatEditor::paramCellText(tables_.paramFormatTable[static_cast<std::size_t>(record)], column, text);
    return textFromCp1251(text.view());
}

bool ParamFormatModel::tagUnknown(int record) const
{
    return record >= 0 && record < kRecords
        && !editor_.tagKnown(tables_.paramFormatTable[static_cast<std::size_t>(record)]);
}

QVariant ParamFormatModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::ForegroundRole && index.column() == ParamFormatEditor::FormatTag)
        return QColor(tagUnknown(index.row()) ? Qt::red : Qt::black);
    return {};
}

QVariant ParamFormatModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    return QString::fromUtf8(kTitles[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags ParamFormatModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The tag comes from a double click in the decimal formats, never from typing.
    const Qt::ItemFlags cell = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == ParamFormatEditor::FormatTag ? cell : cell | Qt::ItemIsEditable;
}

} // namespace telvar5
