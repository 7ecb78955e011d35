#pragma once
// The parameter formats editor: on the left the parameter format table
// (DrawGrid2), edited in place, with "Восстановить" and "Сохранить" for its
// files and "+" and "-"; on the right the decimal formats (DrawGrid1),
// read-only, from which a double click copies a tag into the current
// parameter row. Tags that name no decimal format are drawn red. Closing the
// dialog compacts the table and rebuilds the displayed input channel's label
// formats (ParamFormatEditor).
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "core/formats/ParamFormatEditor.h"

namespace telvar5 {

class FormatEditorGrid;
class FormatListModel;
class ParamFormatModel;

class TFrmParamFormat : public QDialog {
    Q_OBJECT
public:
    TFrmParamFormat(ParamFormatEditor& editor, const FormatTables& tables, QWidget* parent = nullptr);

    QWidget* Panel1() const { return Panel1_; }
    QWidget* Panel2() const { return Panel2_; }
    QPushButton* btReadFile() const { return btReadFile_; }
    QPushButton* btWriteFile() const { return btWriteFile_; }
    QPushButton* btAdd() const { return btAdd_; }
    QPushButton* btDelete() const { return btDelete_; }
    FormatEditorGrid* DrawGrid2() const { return DrawGrid2_; }
    QLabel* Label1() const { return Label1_; }
    FormatEditorGrid* DrawGrid1() const { return DrawGrid1_; }
    QAction* FileOpen1() const { return FileOpen1_; }
    QAction* FileSaveAs1() const { return FileSaveAs1_; }
    ParamFormatModel* paramModel() const { return paramModel_; }
    FormatListModel* formatModel() const { return formatModel_; }

    void FormShow();
    void FormClose();
    void btAddClick();
    void btDeleteClick();
    void DrawGrid2SetEditText(int column, int row, const QString& text);
    void DrawGrid1MouseDown(int column, int row);
    void DrawGrid1DblClick();
    void FileOpen1Execute();
    void FileSaveAs1Execute();

    // Every way of closing ends here, the close box and Esc included.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildParamPanel();
    QWidget* buildFormatPanel();
    void makeActions();

    ParamFormatEditor& editor_;
    QWidget* Panel1_ = nullptr;
    QWidget* Panel2_ = nullptr;
    QPushButton* btReadFile_ = nullptr;
    QPushButton* btWriteFile_ = nullptr;
    QPushButton* btAdd_ = nullptr;
    QPushButton* btDelete_ = nullptr;
    FormatEditorGrid* DrawGrid2_ = nullptr;
    QLabel* Label1_ = nullptr;
    FormatEditorGrid* DrawGrid1_ = nullptr;
    QAction* FileOpen1_ = nullptr;
    QAction* FileSaveAs1_ = nullptr;
    ParamFormatModel* paramModel_ = nullptr;
    FormatListModel* formatModel_ = nullptr;
};

} // namespace telvar5
