#include "gui/formats/RecordRowsModel.h"

#include <algorithm>

#include "formats/FormatTables.h"

namespace telvar5 {

RecordRowsModel::RecordRowsModel(int columns, QObject* parent) : QAbstractTableModel(parent), columns_(columns) {}

int RecordRowsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int RecordRowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

void RecordRowsModel::setGridRows(int gridRows)
{
    const int rows = std::clamp(gridRows - 1, 1, static_cast<int>(kFormatTableSize));
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

void RecordRowsModel::recordChanged(int record)
{
    if (record >= 0 && record < rows_)
        emit dataChanged(index(record, 0), index(record, columns_ - 1));
}

} // namespace telvar5
