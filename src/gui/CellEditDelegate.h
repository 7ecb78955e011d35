#pragma once
// Paints the cells of the program's grids and makes their cell editor: a line
// edit that opens empty, reports its whole text after every change the user
// makes, and never writes into the model itself (the core stores what it
// accepts while the user types). Cells of the first `fixedColumns` columns
// are drawn as fixed cells; a model may give a cell its text colour through
// Qt::ForegroundRole.
#include <QStyledItemDelegate>

namespace telvar5 {

class CellEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // keyFilter also watches every editor made here.
    CellEditDelegate(QObject* keyFilter, int fixedColumns, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

signals:
    // The editor's text changed at the cell of this model row and column.
    void editTextChanged(int column, int row, const QString& text) const;

private:
    QObject* keyFilter_;
    int fixedColumns_;
};

} // namespace telvar5
