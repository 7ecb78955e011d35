#include "gui/output/DrawGrid1Delegate.h"

#include <QLineEdit>
#include <QPainter>
#include <QPersistentModelIndex>

#include "gui/GridCellPaint.h"

namespace telvar5 {

DrawGrid1Delegate::DrawGrid1Delegate(QObject* keyFilter, QObject* parent)
    : QStyledItemDelegate(parent), keyFilter_(keyFilter)
{
}

void DrawGrid1Delegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    DrawGrid1DrawCell(*painter, option, index);
    painter->restore();
}

void DrawGrid1Delegate::DrawGrid1DrawCell(QPainter& painter, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const
{
    painter.setFont(option.font);
    paintGridCell(painter, option.rect, index.data(Qt::DisplayRole).toString(), index.column() == 0,
                  option.palette);
}

QWidget* DrawGrid1Delegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("InplaceEdit"));
    editor->setFrame(false);
    editor->setFont(option.font);
    editor->installEventFilter(keyFilter_);
    // Only what the user does counts, not text set by the program.
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, this, [this, cell](const QString& text) {
        if (cell.isValid())
            emit editTextChanged(cell.column(), cell.row(), text);
    });
    return editor;
}

void DrawGrid1Delegate::setEditorData(QWidget*, const QModelIndex&) const
{
    // The editor starts empty and keeps what the user typed, accepted or not.
}

void DrawGrid1Delegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{
    // Accepted texts were stored while typing; a refused one is dropped.
}

void DrawGrid1Delegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

} // namespace telvar5
