#include "gui/formats/TFrmParamFormat.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "gui/Cp1251Text.h"
#include "gui/UiFonts.h"
#include "gui/formats/FormatButton.h"
#include "gui/formats/FormatEditorGrid.h"
#include "gui/formats/FormatListModel.h"
#include "gui/formats/ParamFormatModel.h"

namespace telvar5 {

namespace {
// The design size 762 x 509 counts the frame and the caption.
constexpr QSize kClientSize(754, 475);
constexpr QPoint kScreenPos(276, 364);
constexpr int kParamPanelWidth = 233;
constexpr int kStripHeight = 40;
constexpr QSize kFormatGridSize(513, 441);
constexpr int kLabelHeight = 22;
} // namespace

TFrmParamFormat::TFrmParamFormat(ParamFormatEditor& editor, const FormatTables& tables, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("FrmParamFormat"));
    setWindowTitle(QStringLiteral("Форматы параметров"));
    setModal(true);
    setFont(ui::sansFont(ui::kSmallFontPx));
    resize(kClientSize);
    move(kScreenPos);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildParamPanel());
    layout->addWidget(buildFormatPanel(), 1);
    makeActions();

    paramModel_ = new ParamFormatModel(tables, editor_, this);
    DrawGrid2_->setModel(paramModel_);
    DrawGrid2_->setColumnWidths({56, 85, 81});
    formatModel_ = new FormatListModel(tables, this);
    DrawGrid1_->setModel(formatModel_);
    DrawGrid1_->setColumnWidths({77, 64, 64, 74, 101, 120});
    // Columns a title widened in the font in use widen the dialog rather than lose "единицы измерения" at the edge.
    DrawGrid1_->setMinimumWidth(DrawGrid1_->widthForColumns());

    connect(btAdd_, &QPushButton::clicked, this, &TFrmParamFormat::btAddClick);
    connect(btDelete_, &QPushButton::clicked, this, &TFrmParamFormat::btDeleteClick);
    connect(DrawGrid2_, &FormatEditorGrid::keyPressed, this, [this](char key) { editor_.DrawGrid2KeyPress(key); });
    connect(DrawGrid2_, &FormatEditorGrid::editTextChanged, this, &TFrmParamFormat::DrawGrid2SetEditText);
    connect(DrawGrid1_, &FormatEditorGrid::mousePressed, this, &TFrmParamFormat::DrawGrid1MouseDown);
    connect(DrawGrid1_, &FormatEditorGrid::cellDoubleClicked, this, &TFrmParamFormat::DrawGrid1DblClick);
}

QWidget* TFrmParamFormat::buildParamPanel()
{
    Panel1_ = new QWidget(this);
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    Panel1_->setFixedWidth(kParamPanelWidth);
    auto* layout = new QVBoxLayout(Panel1_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel2_ = new QWidget(Panel1_);
    Panel2_->setObjectName(QStringLiteral("Panel2"));
    Panel2_->setFixedHeight(kStripHeight);
    btReadFile_ = makeFormatButton(Panel2_, "btReadFile", QStringLiteral("Восстановить"), QRect(4, 8, 81, 25));
    btWriteFile_ = makeFormatButton(Panel2_, "btWriteFile", QStringLiteral("Сохранить"), QRect(89, 8, 67, 25));
    btAdd_ = makeFormatButton(Panel2_, "btAdd", QStringLiteral("+"), QRect(160, 8, 31, 25));
    btDelete_ = makeFormatButton(Panel2_, "btDelete", QStringLiteral("-"), QRect(195, 8, 27, 25));
    layout->addWidget(Panel2_);

    DrawGrid2_ = new FormatEditorGrid(QStringLiteral("DrawGrid2"), true, Panel1_);
    layout->addWidget(DrawGrid2_);
    return Panel1_;
}

QWidget* TFrmParamFormat::buildFormatPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("FormatPanel"));
    auto* layout = new QVBoxLayout(panel);
    // Margins that leave the grid its design size of 513 x 441 in the design client area.
    const int side = (kClientSize.width() - kParamPanelWidth - kFormatGridSize.width()) / 2;
    const int below = kClientSize.height() - kFormatGridSize.height() - kLabelHeight - side;
    layout->setContentsMargins(side, side, side, below);
    layout->setSpacing(0);

    Label1_ = new QLabel(QStringLiteral("Десятичные параметры:"), panel);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setFixedHeight(kLabelHeight);
    layout->addWidget(Label1_);

    DrawGrid1_ = new FormatEditorGrid(QStringLiteral("DrawGrid1"), false, panel);
    DrawGrid1_->setToolTip(
        QStringLiteral("двойной щелчок мыши перенесет метку формата в выбранную строку таблицы форматов параметров"));
    // The whole list on the button face, the current cell included.
    QPalette face = DrawGrid1_->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    DrawGrid1_->setPalette(face);
    layout->addWidget(DrawGrid1_, 1);
    return panel;
}

void TFrmParamFormat::makeActions()
{
    FileOpen1_ = new QAction(QStringLiteral("Восстановить"), this);
    FileOpen1_->setObjectName(QStringLiteral("FileOpen1"));
    FileOpen1_->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    addAction(FileOpen1_);
    FileSaveAs1_ = new QAction(QStringLiteral("Сохранить"), this);
    FileSaveAs1_->setObjectName(QStringLiteral("FileSaveAs1"));
    addAction(FileSaveAs1_);
    connect(FileOpen1_, &QAction::triggered, this, &TFrmParamFormat::FileOpen1Execute);
    connect(FileSaveAs1_, &QAction::triggered, this, &TFrmParamFormat::FileSaveAs1Execute);
    connect(btReadFile_, &QPushButton::clicked, FileOpen1_, &QAction::trigger);
    connect(btWriteFile_, &QPushButton::clicked, FileSaveAs1_, &QAction::trigger);
}

void TFrmParamFormat::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmParamFormat::FormShow()
{
    editor_.FormShow();
    formatModel_->setGridRows(editor_.formatRowCount());
    paramModel_->setGridRows(editor_.paramRowCount());
    for (FormatEditorGrid* grid : {DrawGrid2_, DrawGrid1_}) {
        if (!grid->currentIndex().isValid())
            grid->setCurrentIndex(grid->model()->index(0, 0));
    }
    DrawGrid2_->setFocus();
}

void TFrmParamFormat::done(int result)
{
    if (isVisible())
        FormClose();
    QDialog::done(result);
}

void TFrmParamFormat::FormClose()
{
    DrawGrid2_->endEditing();
    editor_.FormClose();
    paramModel_->setGridRows(editor_.paramRowCount());
}

void TFrmParamFormat::btAddClick()
{
    if (editor_.btAddClick())
        paramModel_->setGridRows(editor_.paramRowCount());
}

void TFrmParamFormat::btDeleteClick()
{
    DrawGrid2_->endEditing();
    editor_.btDeleteClick(DrawGrid2_->currentGridRow());
    paramModel_->setGridRows(editor_.paramRowCount());
}

void TFrmParamFormat::DrawGrid2SetEditText(int column, int row, const QString& text)
{
    if (editor_.DrawGrid2SetEditText(column, row, cp1251FromText(text)))
        paramModel_->recordChanged(row - 1);
}

void TFrmParamFormat::DrawGrid1MouseDown(int column, int row) { editor_.DrawGrid1MouseDown(column, row); }

void TFrmParamFormat::DrawGrid1DblClick()
{
    const int paramRow = DrawGrid2_->currentGridRow();
    if (editor_.DrawGrid1DblClick(DrawGrid1_->currentGridRow(), paramRow))
        paramModel_->recordChanged(paramRow - 1);
}

void TFrmParamFormat::FileOpen1Execute()
{
    DrawGrid2_->endEditing();
    if (editor_.FileOpen1Execute())
        paramModel_->setGridRows(editor_.paramRowCount());
}

void TFrmParamFormat::FileSaveAs1Execute()
{
    DrawGrid2_->endEditing();
    editor_.FileSaveAs1Execute();
    // The table was compacted before it was written.
    paramModel_->setGridRows(editor_.paramRowCount());
}

} // namespace telvar5
