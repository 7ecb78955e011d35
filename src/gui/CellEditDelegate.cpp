#include "gui/CellEditDelegate.h"

#include <QLineEdit>
#include <QPainter>
#include <QPersistentModelIndex>

#include "gui/GridCellPaint.h"

namespace telvar5 {

CellEditDelegate::CellEditDelegate(QObject* keyFilter, int fixedColumns, QObject* parent)
    : QStyledItemDelegate(parent), keyFilter_(keyFilter), fixedColumns_(fixedColumns)
{
}

void CellEditDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setFont(option.font);
    const QVariant colour = index.data(Qt::ForegroundRole);
    const QColor text = colour.canConvert<QColor>() ? colour.value<QColor>() : option.palette.color(QPalette::WindowText);
    paintGridCell(*painter, option.rect, index.data(Qt::DisplayRole).toString(), index.column() < fixedColumns_,
                  option.palette, text);
    painter->restore();
}

QWidget* CellEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("InplaceEdit"));
    editor->setFrame(false);
    editor->setFont(option.font);
    if (keyFilter_)
        editor->installEventFilter(keyFilter_);
    // Only what the user does counts, not text set by the program.
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, this, [this, cell](const QString& text) {
        if (cell.isValid())
            emit editTextChanged(cell.column(), cell.row(), text);
    });
    return editor;
}

void CellEditDelegate::setEditorData(QWidget*, const QModelIndex&) const
{
    // The editor starts empty and keeps what the user typed, accepted or not.
}

void CellEditDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{
    // Accepted texts were stored while typing; a refused one is dropped.
}

void CellEditDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

} // namespace telvar5
