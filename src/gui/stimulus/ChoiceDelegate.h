#pragma once
// A cell editor that offers a list where the model gives one: a cell whose
// choices role holds items is edited in a combo box that writes the chosen
// text back as soon as an item is picked; any other cell gets the usual
// line edit.
#include <QStyledItemDelegate>

namespace telvar5 {

class ChoiceDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    ChoiceDelegate(int choicesRole, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    int choicesRole_;
};

} // namespace telvar5
