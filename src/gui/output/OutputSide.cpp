#include "gui/output/OutputSide.h"

#include <QComboBox>
#include <QLabel>

#include "core/output/TransmitTime.h"
#include "gui/Cp1251Text.h"
#include "gui/DataPanel.h"
#include "gui/output/OutputArrayModel.h"
#include "gui/output/OutputArrayView.h"

namespace telvar5 {

OutputSide::OutputSide(Monitor& monitor, DataPanel& panel, QObject* parent)
    : QObject(parent), monitor_(monitor), panel_(panel)
{
    model_ = new OutputArrayModel(monitor_.run(), this);
    OutputArrayView* grid = DrawGrid1();
    grid->setModel(model_);
    connect(grid, &OutputArrayView::keyPressed, this, [this](char key) { monitor_.outputGrid().DrawGrid1KeyPress(key); });
    connect(grid, &OutputArrayView::editTextChanged, this, &OutputSide::DrawGrid1SetEditText);
}

OutputArrayView* OutputSide::DrawGrid1() const { return panel_.DrawGrid1(); }

void OutputSide::DrawGrid1SetEditText(int column, int row, const QString& text)
{
    if (monitor_.outputGrid().DrawGrid1SetEditText(column, row, cp1251FromText(text))) {
        model_->wordChanged(row - 1);
        showChangeMark();
    }
}

void OutputSide::applyScreen()
{
    const ScreenState& screen = monitor_.screen();
    DrawGrid1()->setEditable(screen.outputGridEditable);
    DrawGrid1()->setColumnsResizable(screen.outputGridColumnsResizable);
    model_->sizeChanged();
    QLabel* time = panel_.LabelSOTime();
    // "737.3 мс (256 слов ПК)": the time above the word count.
    QString timeText = QString::fromStdString(screen.soTimeText);
    timeText.replace(QStringLiteral(" ("), QStringLiteral("\n("));
    if (time->text() != timeText)
        time->setText(timeText);
    if (screen.soWordTimeUs != hintsWordTimeUs_)
        showSizeHints(screen.soWordTimeUs);
    showChangeMark();
}

void OutputSide::showChangeMark()
{
    const RunState& run = monitor_.run();
    const bool changed = run.arrayChanged[run.curOutputIndex % kChannels];
    if (panel_.LabelSOChanged()->isHidden() == changed)
        panel_.LabelSOChanged()->setHidden(!changed);
}

void OutputSide::showSizeHints(std::int32_t wordTimeUs)
{
    hintsWordTimeUs_ = wordTimeUs;
    QComboBox* sizes = panel_.cbSOArrayDim();
    for (int item = 0; item < sizes->count(); ++item)
        sizes->setItemData(item, QString::fromStdString(transmitTimeText(wordTimeUs, item + 1)), Qt::ToolTipRole);
}

void OutputSide::wordChanged(int wordIndex) { model_->wordChanged(wordIndex); }

void OutputSide::wordsChanged() { model_->wordsChanged(); }

} // namespace telvar5
