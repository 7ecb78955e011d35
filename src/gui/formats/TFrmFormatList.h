#pragma once
// The decimal formats editor: the decimal format table in a grid edited in
// place, "+" to add a row and "-" to delete the current one, and the bit-29
// drop-down placed over a cell of column 1 when it is pressed. Every accepted
// edit goes straight into the table (FormatListEditor); closing the dialog, by
// its close box or Esc, is the only way out and keeps the edits.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>

#include "core/formats/FormatListEditor.h"

namespace telvar5 {

class FormatEditorGrid;
class FormatListModel;

class TFrmFormatList : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDropDownWidth = 66;

    TFrmFormatList(FormatListEditor& editor, const FormatTables& tables, QWidget* parent = nullptr);

    QWidget* Panel1() const { return Panel1_; }
    QWidget* Panel2() const { return Panel2_; }
    QPushButton* btAdd() const { return btAdd_; }
    QPushButton* btDelete() const { return btDelete_; }
    FormatEditorGrid* DrawGrid1() const { return DrawGrid1_; }
    QComboBox* ComboBox1() const { return ComboBox1_; }
    FormatListModel* model() const { return model_; }

    void FormShow();
    void FormClose();
    void btAddClick();
    void btDeleteClick();
    void DrawGrid1SetEditText(int column, int row, const QString& text);
    void DrawGrid1MouseDown(int column, int row);
    void ComboBox1Change(int item);

    // Every way of closing ends here, the close box and Esc included.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildPanels();

    FormatListEditor& editor_;
    QWidget* Panel1_ = nullptr;
    QWidget* Panel2_ = nullptr;
    QPushButton* btAdd_ = nullptr;
    QPushButton* btDelete_ = nullptr;
    FormatEditorGrid* DrawGrid1_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    FormatListModel* model_ = nullptr;
};

} // namespace telvar5
