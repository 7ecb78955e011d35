#include "gui/analysis/TFrmTrend.h"

#include "gui/analysis/AxisTicks.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QPixmap>
#include <QSaveFile>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "gui/Cp1251Text.h"
#include "gui/UiFonts.h"
#include "gui/analysis/TrendPlotLine.h"
#include "gui/analysis/TrendPlotView.h"

namespace telvar5 {

namespace {

constexpr std::array<QRgb, TFrmTrend::kMaxLines> kColours{0x1f77b4, 0xd62728, 0x2ca02c, 0x9467bd,
                                                         0xff7f0e, 0x17becf, 0x8c564b, 0xe377c2};
constexpr std::int64_t kUsPerMinute = 60'000'000;
constexpr std::int64_t kFollowSteps = 100;

int keyOf(int channelNo, int label) { return channelNo * 256 + label; }

// Seconds of an axis as microseconds; a range zoomed out without end stays within about 285 years.
std::int64_t microseconds(double seconds)
{
    return static_cast<std::int64_t>(std::clamp(seconds * 1e6, -9e15, 9e15));
}

QPushButton* addButton(QHBoxLayout* row, const char* name, const QString& text)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    row->addWidget(button);
    return button;
}

} // namespace

TFrmTrend::TFrmTrend(Monitor& monitor, QWidget* parent) : QWidget(parent, Qt::Window), monitor_(monitor)
{
    setObjectName(QStringLiteral("FrmTrend"));
    setWindowTitle(QStringLiteral("Тренды"));
    setFont(ui::sansFont(12));
    resize(900, 520);

    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("TrendList"));
    list_->setFont(ui::fixedFont(ui::kGridFontPx));
    fitListToWidestPair();
    connect(list_, &QListWidget::itemChanged, this, &TFrmTrend::itemChanged);

    auto* controls = new QHBoxLayout;
    auto* minutesLabel = new QLabel(QStringLiteral("Минут:"));
    minutes_ = new QSpinBox;
    minutes_->setObjectName(QStringLiteral("MinutesBox"));
    minutes_->setRange(1, 60);
    minutes_->setValue(5);
    minutesLabel->setBuddy(minutes_);
    controls->addWidget(minutesLabel);
    controls->addWidget(minutes_);
    pause_ = addButton(controls, "PauseButton", QStringLiteral("Пауза"));
    pause_->setCheckable(true);
    resetZoom_ = addButton(controls, "ResetZoomButton", QStringLiteral("Сбросить масштаб"));
    savePng_ = addButton(controls, "SavePngButton", QStringLiteral("Сохранить PNG…"));
    controls->addStretch(1);

    // No legend: each value axis carries its line's title in its colour.
    plot_ = new TrendPlotView;
    plot_->setObjectName(QStringLiteral("TrendChart"));
    plot_->setFont(font()); // for the value axes to come; the time axis was made before
    timeAxis()->setLabelFont(font());
    timeAxis()->setTickLabelFont(font());
    timeAxis()->setLabel(QStringLiteral("Время, с"));

    standing_ = new QLabel;
    standing_->setObjectName(QStringLiteral("lbStanding"));
    standing_->setWordWrap(true);
    // Dark text on pale yellow in any colour scheme.
    standing_->setStyleSheet(QStringLiteral("QLabel { background: #fff2b3; color: #000000; padding: 2px 6px; }"));
    standing_->hide();

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(controls);
    rightLayout->addWidget(standing_);
    rightLayout->addWidget(plot_, 1);
    auto* splitter = new QSplitter;
    splitter->addWidget(list_);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({list_->minimumWidth(), width() - list_->minimumWidth()});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(minutes_, qOverload<int>(&QSpinBox::valueChanged), this, &TFrmTrend::resetZoom);
    connect(pause_, &QPushButton::toggled, this, [this](bool on) {
        paused_ = on;
        if (following())
            viewEndUs_ = followedEnd();
        showStanding();
        redraw();
    });
    connect(resetZoom_, &QPushButton::clicked, this, &TFrmTrend::resetZoom);
    connect(savePng_, &QPushButton::clicked, this, &TFrmTrend::savePng);
    connect(plot_, &TrendPlotView::zoomedByUser, this, &TFrmTrend::userZoomed);
    setTimeRange(-std::int64_t{minutes_->value()} * kUsPerMinute, 0);
}

void TFrmTrend::fitListToWidestPair()
{
    // A pair's line at its longest: the last label of input 8, a tag of 8 letters and units of 6.
    auto* widest = new QListWidgetItem(QStringLiteral("Вх. 8  377  ШШШШШШШШ, ШШШШШШ"), list_);
    widest->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    widest->setCheckState(Qt::Unchecked);
    const int line = list_->sizeHintForColumn(0);
    delete widest;
    list_->setMinimumWidth(line + 2 * list_->frameWidth()
                           + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_->verticalScrollBar()));
}

TFrmTrend::~TFrmTrend()
{
    lines_.clear(); // before the plot that holds their graphs goes
}

QCPAxis* TFrmTrend::timeAxis() const { return plot_->timeAxis(); }

const TrendPlotLine* TFrmTrend::line(int channelNo, int label) const
{
    for (const auto& l : lines_)
        if (l->data().channelNo() == channelNo && l->data().label() == label)
            return l.get();
    return nullptr;
}

void TFrmTrend::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Opened again (not brought back from the task bar): the plot shows the present.
    if (!event->spontaneous())
        follow();
    refreshCandidates(); // the formats may have changed while the window was hidden
    feed();
    if (following())
        viewEndUs_ = followedEnd();
    redraw();
}

void TFrmTrend::afterTick()
{
    if (!isVisible())
        return;
    feed();
    if (!following())
        return;
    viewEndUs_ = followedEnd();
    redraw();
}

void TFrmTrend::refreshCandidates()
{
    candidates_ = TrendCandidates::collect(monitor_.run().formats);

    // Lines whose pair lost its format go; those whose format changed start
    // afresh from the history, as their old values were decoded through another format.
    for (std::size_t i = lines_.size(); i-- > 0;) {
        const TrendSeries& data = lines_[i]->data();
        const auto found = std::find_if(candidates_.begin(), candidates_.end(), [&](const TrendCandidate& c) {
            return c.channelNo == data.channelNo() && c.label == data.label();
        });
        if (found == candidates_.end()) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (found->format.bytes != data.format().bytes) {
            const QColor colour = lines_[i]->colour();
            const Qt::Alignment side = lines_[i]->side();
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            addLine(*found, colour, side);
        }
    }

    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const TrendCandidate& c : candidates_) {
        const QString text = QStringLiteral("Вх. %1  %2  %3")
                                 .arg(c.channelNo)
                                 .arg(c.label, 3, 8, QLatin1Char('0'))
                                 .arg(titleOf(c));
        auto* item = new QListWidgetItem(text, list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setData(Qt::UserRole, keyOf(c.channelNo, c.label));
        item->setCheckState(line(c.channelNo, c.label) ? Qt::Checked : Qt::Unchecked);
    }
}

void TFrmTrend::itemChanged(QListWidgetItem* item)
{
    const int key = item->data(Qt::UserRole).toInt();
    const bool shown = line(key / 256, key % 256) != nullptr;
    const bool checked = item->checkState() == Qt::Checked;
    if (checked == shown)
        return;
    changed_ = true;
    if (!checked) {
        removeLine(key);
    } else if (lines_.size() >= static_cast<std::size_t>(kMaxLines)) {
        const QSignalBlocker blocker(list_);
        item->setCheckState(Qt::Unchecked);
        monitor_.prompts().beep();
        return;
    } else {
        const auto found = std::find_if(candidates_.begin(), candidates_.end(), [&](const TrendCandidate& c) {
            return keyOf(c.channelNo, c.label) == key;
        });
        if (found == candidates_.end())
            return;
        addLine(*found, freeColour(), freeSide());
    }
    redraw();
}

void TFrmTrend::addLine(const TrendCandidate& pair, const QColor& colour, Qt::Alignment side)
{
    // Its axis takes the plot's font, which is the window's.
    lines_.push_back(std::make_unique<TrendPlotLine>(*plot_, pair, colour, side, titleOf(pair)));
    lines_.back()->data().feed(monitor_.analysis().ring()); // what was received before the pair was chosen
    lines_.back()->takeNewPoints();
    changed_ = true;
}

void TFrmTrend::removeLine(int key)
{
    changed_ |= std::erase_if(lines_, [key](const std::unique_ptr<TrendPlotLine>& l) {
        return keyOf(l->data().channelNo(), l->data().label()) == key;
    }) > 0;
}

QColor TFrmTrend::freeColour() const
{
    for (const QRgb rgb : kColours) {
        const QColor colour(rgb);
        if (std::none_of(lines_.begin(), lines_.end(), [&](const auto& l) { return l->colour() == colour; }))
            return colour;
    }
    return QColor(kColours[0]);
}

Qt::Alignment TFrmTrend::freeSide() const
{
    const auto left =
        std::count_if(lines_.begin(), lines_.end(), [](const auto& l) { return l->side() == Qt::AlignLeft; });
    return 2 * left <= static_cast<std::ptrdiff_t>(lines_.size()) ? Qt::AlignLeft : Qt::AlignRight;
}

void TFrmTrend::feed()
{
    for (const auto& l : lines_) {
        l->data().feed(monitor_.analysis().ring());
        linesChanged_ |= l->takeNewPoints();
    }
}

void TFrmTrend::redraw()
{
    std::int64_t fromUs = 0;
    std::int64_t toUs = 0;
    if (zoomed_) {
        fromUs = microseconds(timeAxis()->range().lower);
        toUs = microseconds(timeAxis()->range().upper);
    } else {
        toUs = viewEndUs_;
        fromUs = toUs - std::int64_t{minutes_->value()} * kUsPerMinute;
        changed_ |= setTimeRange(fromUs, toUs);
    }
    for (const auto& l : lines_)
        changed_ |= l->fit(fromUs, toUs, !zoomed_);
    // Nothing new and nothing moved: the picture on the screen stands.
    if (changed_)
        plot_->replot(QCustomPlot::rpQueuedReplot);
    else if (linesChanged_)
        plot_->replotLines();
    changed_ = false;
    linesChanged_ = false;
}

bool TFrmTrend::setTimeRange(std::int64_t fromUs, std::int64_t toUs)
{
    const QCPRange range(static_cast<double>(fromUs) / 1e6, static_cast<double>(toUs) / 1e6);
    if (timeAxis()->range() == range)
        return false;
    setRoundTicks(*timeAxis(), niceStep(range.size(), 6));
    timeAxis()->setRange(range);
    return true;
}

void TFrmTrend::userZoomed()
{
    zoomed_ = true;
    showStanding();
    // Round ticks for the new ranges, so a narrow window still reads at a glance.
    setRoundTicks(*timeAxis(), niceStep(timeAxis()->range().size(), 6));
    for (const auto& l : lines_)
        setRoundTicks(*l->axis(), niceStep(l->axis()->range().size(), 5));
    changed_ = true;
    redraw();
}

void TFrmTrend::resetZoom()
{
    zoomed_ = false;
    showStanding();
    if (following())
        viewEndUs_ = followedEnd();
    for (const auto& l : lines_)
        l->fitAgain();
    redraw();
}

void TFrmTrend::follow()
{
    {
        const QSignalBlocker blocker(pause_);
        pause_->setChecked(false);
    }
    paused_ = false;
    zoomed_ = false;
    for (const auto& l : lines_)
        l->fitAgain();
    showStanding();
}

void TFrmTrend::showStanding()
{
    QStringList why;
    if (paused_)
        why << QStringLiteral("пауза («Пауза» нажата)");
    if (zoomed_)
        why << QStringLiteral("масштаб изменен («Сбросить масштаб» вернет последние минуты)");
    standing_->setVisible(!why.isEmpty());
    standing_->setText(QStringLiteral("График стоит и не показывает новые слова: ") + why.join(QStringLiteral("; ")));
}

void TFrmTrend::savePng()
{
    UserPrompts& prompts = monitor_.prompts();
    const auto name =
        prompts.askSaveFileName({"Рисунки PNG (*.png)|*.png|*.*|*.*", ".", "png", false, "Сохранить график"});
    if (!name)
        return;
    // Written beside and renamed over, so a failed save leaves an older file whole.
    QSaveFile file(QString::fromStdString(*name));
    const bool saved = file.open(QIODevice::WriteOnly) && plot_->toPixmap().save(&file, "PNG") && file.commit();
    if (!saved)
        prompts.showError(kProgramTitle, "Не удалось сохранить рисунок в файл " + *name + ".");
}

std::int64_t TFrmTrend::nowUs() const
{
    return monitor_.analysis().sinceStartUs(monitor_.clock().nowUs());
}

std::int64_t TFrmTrend::followedEnd() const
{
    // The right edge moves in steps of a hundredth of the window: the pixel
    // columns the plot samples a dense line into stay put between steps, so
    // the line does not shimmer, and a tick without words redraws nothing.
    const std::int64_t step = std::int64_t{minutes_->value()} * kUsPerMinute / kFollowSteps;
    const std::int64_t now = nowUs();
    const std::int64_t below = now / step * step - (now % step < 0 ? step : 0);
    return below == now ? now : below + step;
}

QString TFrmTrend::titleOf(const TrendCandidate& pair)
{
    const QString tag = textFromCp1251(pair.tag());
    return pair.units().empty() ? tag : tag + QStringLiteral(", ") + textFromCp1251(pair.units());
}

} // namespace telvar5
