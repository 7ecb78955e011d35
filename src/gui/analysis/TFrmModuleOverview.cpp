#include "gui/analysis/TFrmModuleOverview.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "core/Monitor.h"
#include "core/analysis/ModuleOverview.h"
#include "gui/ColumnWidths.h"
#include "gui/UiFonts.h"
#include "gui/analysis/ModuleOverviewModel.h"

namespace telvar5 {

namespace {
const std::array<const char*, ModuleOverview::kInputColumns> kWidestInputTexts{
    "прием остановлен", "48КГц+/-25%", "99999.9", "256", "99999.9 с"};
const std::array<const char*, ModuleOverview::kOutputColumns> kWidestOutputTexts{
    "выдача циклическая", "12,5КГц+/-1%", "256", "737.3 мс (256 слов ПК)", "воспроизведение"};
} // namespace

TFrmModuleOverview::TFrmModuleOverview(Monitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window), monitor_(monitor)
{
    setObjectName(QStringLiteral("FrmModuleOverview"));
    setWindowTitle(QStringLiteral("Обзор модуля"));
    setFont(ui::sansFont(12));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    module_ = new QLabel(this);
    module_->setObjectName(QStringLiteral("lbModule"));
    layout->addWidget(module_);
    layout->addWidget(new QLabel(QStringLiteral("Входные каналы"), this));
    inputModel_ = new ModuleOverviewModel(ModuleOverviewModel::Side::Inputs, this);
    inputGrid_ = makeGrid(inputModel_, QStringLiteral("InputOverview"), kWidestInputTexts);
    layout->addWidget(inputGrid_);
    layout->addWidget(new QLabel(QStringLiteral("Выходные каналы"), this));
    outputModel_ = new ModuleOverviewModel(ModuleOverviewModel::Side::Outputs, this);
    outputGrid_ = makeGrid(outputModel_, QStringLiteral("OutputOverview"), kWidestOutputTexts);
    layout->addWidget(outputGrid_);

    connect(inputGrid_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit inputChosen(index.row()); });
    connect(outputGrid_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit outputChosen(index.row()); });
    refresh();
}

QTableView* TFrmModuleOverview::makeGrid(ModuleOverviewModel* model, const QString& name,
                                         std::span<const char* const> widestTexts)
{
    auto* grid = new QTableView(this);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Rows as tall as a line of text, so that the window fits a 1024 x 768 screen.
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitColumnsToTexts(*grid, widestTexts, {24, 16});
    // Eight rows without scrolling.
    const QHeaderView* titles = grid->horizontalHeader();
    grid->setFixedHeight(std::max(titles->minimumHeight(), titles->sizeHint().height())
                         + kChannels * grid->verticalHeader()->defaultSectionSize() + 2 * grid->frameWidth());
    return grid;
}

void TFrmModuleOverview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh(); // ticks while hidden did no work
}

void TFrmModuleOverview::refresh()
{
    const RunState& run = monitor_.run();
    const std::int64_t nowUs = monitor_.analysis().sinceStartUs(monitor_.clock().nowUs());
    for (int ch = 0; ch < kChannels; ++ch) {
        const ModuleOverview::Input in =
            ModuleOverview::input(run, monitor_.analysis().statistics(), static_cast<std::size_t>(ch), nowUs);
        inputModel_->setRow(ch, {in.texts.begin(), in.texts.end()}, in.stale);
        const ModuleOverview::OutputRow out =
            ModuleOverview::output(run, monitor_.stimuli().output(), static_cast<std::size_t>(ch));
        outputModel_->setRow(ch, {out.begin(), out.end()}, false);
    }
    const QString line = QString::fromStdString(ModuleOverview::module(run, monitor_.health()));
    if (module_->text() != line)
        module_->setText(line);
}

} // namespace telvar5
