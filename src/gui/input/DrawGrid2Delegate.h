#pragma once
// Paints the cells of the input grid DrawGrid2 when the table view paints
// them; InputBufferView draws the same picture itself on every refresh.
#include <QStyledItemDelegate>

namespace telvar5 {

class DrawGrid2Delegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // One data cell: column 0 (cell number) on the button face, the rest on the window colour.
    void DrawGrid2DrawCell(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace telvar5
