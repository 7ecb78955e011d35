#include "gui/analysis/TFrmLabelStats.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "core/Monitor.h"
#include "core/analysis/LabelStatistics.h"
#include "gui/ColumnWidths.h"
#include "gui/UiFonts.h"
#include "gui/analysis/LabelStatsModel.h"

namespace telvar5 {

namespace {
constexpr int kHeaderFontPx = 12;
constexpr int kMinWidth = 640;
constexpr int kHeight = 420;
// The widest text each column is expected to hold, in the grid's font.
const char* const kWidestTexts[] = {
    "377", "99999999", "99999.9", "999999.9", "999999.9", "FFFFFFFF", "3", "нечёт", "99999999", "-99999.000000 град"};
// One text for every column: a column added to the model and not here would take its neighbour's width.
static_assert(std::size(kWidestTexts) == LabelStatsModel::kColumns);
} // namespace

TFrmLabelStats::TFrmLabelStats(Monitor& monitor, QWidget* parent) : QWidget(parent, Qt::Window), monitor_(monitor)
{
    setObjectName(QStringLiteral("FrmLabelStats"));
    setFont(ui::sansFont(kHeaderFontPx));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel(QStringLiteral("Фильтр меток:"), this);
    auto* filter = new QLineEdit(this);
    filter->setObjectName(QStringLiteral("edLabelFilter"));
    filter->setPlaceholderText(QStringLiteral("например: 31, 205"));
    filter->setToolTip(QStringLiteral("Восьмеричные метки или их начала через запятую: «31» — метки 310…317"));
    filterLabel->setBuddy(filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter, 1);
    layout->addLayout(filterRow);

    model_ = new LabelStatsModel(monitor.analysis().statistics(), monitor.run(), this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(LabelStatsModel::kSortRole);
    proxy_->setFilterKeyColumn(LabelStatsModel::ColLabel);
    proxy_->setDynamicSortFilter(true);

    auto* grid = new QTableView(this);
    grid->setObjectName(QStringLiteral("LabelGrid"));
    grid->setFont(ui::fixedFont(ui::kGridFontPx));
    grid->horizontalHeader()->setFont(ui::sansFont(kHeaderFontPx));
    grid->setModel(proxy_);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    const QFontMetrics gridMetrics(grid->font());
    grid->verticalHeader()->setDefaultSectionSize(gridMetrics.height() + 4);
    grid->setSortingEnabled(true);
    grid->sortByColumn(LabelStatsModel::ColLabel, Qt::AscendingOrder);
    // Room for the sort arrow beside the title.
    const int total = fitColumnsToTexts(*grid, kWidestTexts, {24, 12});
    grid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid, 1);

    auto* note = new QLabel(QStringLiteral("В адресном приеме метка читается не чаще одного раза за такт обновления "
                                           "экрана, поэтому частота выше частоты обновления показывается как "
                                           "частота обновления. Серым показаны метки без свежих слов дольше %1 с; "
                                           "пуск приема и инициализация модуля начинают таблицу заново.")
                                .arg(LabelStatistics::kStaleUs / 1'000'000),
                            this);
    note->setObjectName(QStringLiteral("lbNote"));
    note->setFont(ui::sansFont(ui::kSmallFontPx));
    note->setWordWrap(true);
    layout->addWidget(note);

    connect(filter, &QLineEdit::textChanged, this, &TFrmLabelStats::filterChanged);
    // A double click on a row shows that label's cell in the main window's input grid.
    connect(grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const QModelIndex source = proxy_->mapToSource(index);
        bool ok = false;
        const int label = model_->index(source.row(), LabelStatsModel::ColLabel).data().toString().toInt(&ok, 8);
        if (ok)
            emit labelChosen(static_cast<int>(model_->channel()), label);
    });
    // The grid's frame, the vertical scroll bar and the margins beside the columns.
    resize(std::max(kMinWidth, total + 48), kHeight);
    setWindowTitle(QStringLiteral("Метки входного канала № %1").arg(model_->channel() + 1));
}

void TFrmLabelStats::afterTick()
{
    if (isVisible())
        refresh();
}

void TFrmLabelStats::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Ticks while hidden did no work: catch up at once.
    refresh();
}

void TFrmLabelStats::refresh()
{
    model_->refresh(monitor_.analysis().sinceStartUs(monitor_.clock().nowUs()));
    setWindowTitle(QStringLiteral("Метки входного канала № %1").arg(model_->channel() + 1));
}

void TFrmLabelStats::filterChanged(const QString& text)
{
    // Each item is the start of an octal label: "31" keeps 310..317. Typed text is
    // escaped, so no text makes an invalid pattern.
    QStringList starts;
    for (const QString& item : text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts))
        starts << QRegularExpression::escape(item);
    proxy_->setFilterRegularExpression(starts.isEmpty() ? QString()
                                                        : QStringLiteral("^(?:%1)").arg(starts.join(QLatin1Char('|'))));
}

} // namespace telvar5
