#include "gui/formats/TFrmFormatList.h"

#include <QShowEvent>
#include <QVBoxLayout>

#include "gui/Cp1251Text.h"
#include "gui/UiFonts.h"
#include "gui/formats/FormatButton.h"
#include "gui/formats/FormatEditorGrid.h"
#include "gui/formats/FormatListModel.h"

namespace telvar5 {

namespace {
// The design size 522 x 640 counts the frame and the caption.
constexpr QSize kClientSize(514, 606);
constexpr QPoint kScreenPos(428, 218);
constexpr int kStripHeight = 32;
} // namespace

TFrmFormatList::TFrmFormatList(FormatListEditor& editor, const FormatTables& tables, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("FrmFormatList"));
    setWindowTitle(QStringLiteral("Десятичные форматы"));
    setModal(true);
    setFont(ui::sansFont(ui::kSmallFontPx));
    resize(kClientSize);
    move(kScreenPos);
    buildPanels();

    model_ = new FormatListModel(tables, this);
    DrawGrid1_->setModel(model_);
    DrawGrid1_->setColumnWidths({69, 64, 67, 72, 106, 120});
    DrawGrid1_->setMinimumWidth(DrawGrid1_->widthForColumns()); // every column whole, in the font in use

    connect(btAdd_, &QPushButton::clicked, this, &TFrmFormatList::btAddClick);
    connect(btDelete_, &QPushButton::clicked, this, &TFrmFormatList::btDeleteClick);
    connect(DrawGrid1_, &FormatEditorGrid::keyPressed, this, [this](char key) { editor_.DrawGrid1KeyPress(key); });
    connect(DrawGrid1_, &FormatEditorGrid::editTextChanged, this, &TFrmFormatList::DrawGrid1SetEditText);
    connect(DrawGrid1_, &FormatEditorGrid::mousePressed, this, &TFrmFormatList::DrawGrid1MouseDown);
    connect(ComboBox1_, qOverload<int>(&QComboBox::activated), this, &TFrmFormatList::ComboBox1Change);
}

void TFrmFormatList::buildPanels()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Panel1_ = new QWidget(this);
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    layout->addWidget(Panel1_);

    auto* panelLayout = new QVBoxLayout(Panel1_);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    Panel2_ = new QWidget(Panel1_);
    Panel2_->setObjectName(QStringLiteral("Panel2"));
    Panel2_->setFixedHeight(kStripHeight);
    btAdd_ = makeFormatButton(Panel2_, "btAdd", QStringLiteral("+"), QRect(420, 0, 35, 33));
    btDelete_ = makeFormatButton(Panel2_, "btDelete", QStringLiteral("-"), QRect(456, 0, 35, 33));
    panelLayout->addWidget(Panel2_);
    DrawGrid1_ = new FormatEditorGrid(QStringLiteral("DrawGrid1"), true, Panel1_);
    panelLayout->addWidget(DrawGrid1_);

    // Placed by position over the grid, outside the layout.
    ComboBox1_ = new QComboBox(Panel1_);
    ComboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1_->setFont(ui::sansFont(13));
    ComboBox1_->addItems({QStringLiteral("знак"), QStringLiteral("данные")});
    ComboBox1_->resize(kDropDownWidth, ComboBox1_->sizeHint().height());
    ComboBox1_->hide();
}

void TFrmFormatList::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmFormatList::FormShow()
{
    editor_.FormShow();
    model_->setGridRows(editor_.rowCount());
    // The records may have moved since the last showing: no drop-down over a stale cell.
    ComboBox1_->hide();
    if (!DrawGrid1_->currentIndex().isValid())
        DrawGrid1_->setCurrentIndex(model_->index(0, 0));
    DrawGrid1_->setFocus();
}

void TFrmFormatList::done(int result)
{
    if (isVisible())
        FormClose();
    QDialog::done(result);
}

void TFrmFormatList::FormClose()
{
    DrawGrid1_->endEditing();
    editor_.FormClose();
    model_->setGridRows(editor_.rowCount());
}

void TFrmFormatList::btAddClick()
{
    if (editor_.btAddClick())
        model_->setGridRows(editor_.rowCount());
}

void TFrmFormatList::btDeleteClick()
{
    DrawGrid1_->endEditing();
    editor_.btDeleteClick(DrawGrid1_->currentGridRow());
    model_->setGridRows(editor_.rowCount());
}

void TFrmFormatList::DrawGrid1SetEditText(int column, int row, const QString& text)
{
    if (editor_.DrawGrid1SetEditText(column, row, cp1251FromText(text)))
        model_->recordChanged(row - 1);
}

void TFrmFormatList::DrawGrid1MouseDown(int column, int row)
{
    const std::optional<int> item = editor_.DrawGrid1MouseDown(column, row, DrawGrid1_->currentGridRow());
    if (!item) {
        ComboBox1_->hide();
        return;
    }
    // Over the pressed cell, in Panel1's coordinates: the grid lies under Panel2.
    const QRect cell = DrawGrid1_->cellRect(column, row);
    ComboBox1_->move(cell.left() + 2, Panel2_->height() + cell.top() + 2);
    ComboBox1_->setCurrentIndex(*item);
    ComboBox1_->show();
    ComboBox1_->raise();
}

void TFrmFormatList::ComboBox1Change(int item)
{
    const int row = DrawGrid1_->currentGridRow();
    if (editor_.ComboBox1Change(row, item))
        model_->recordChanged(row - 1);
}

} // namespace telvar5
