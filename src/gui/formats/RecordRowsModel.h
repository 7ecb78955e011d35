#pragma once
// The rows of a format table shown in a grid: one model row per data row of
// the grid, record r in row r, up to 256. The editor holds the grid's row
// count; the model follows it without ever resetting, so a cell being edited
// keeps its editor: rows are inserted or removed at the end, and the texts of
// every row repaint, because a compaction moves records up.
#include <QAbstractTableModel>

namespace telvar5 {

class RecordRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordRowsModel(int columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;

    // The grid's row count as the editor holds it, title row included.
    void setGridRows(int gridRows);
    // One record changed: its row repaints.
    void recordChanged(int record);

private:
    int columns_;
    int rows_ = 1;
};

} // namespace telvar5
