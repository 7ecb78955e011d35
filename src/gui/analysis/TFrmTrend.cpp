#include "gui/analysis/TFrmTrend.h"

#include "gui/analysis/AxisTicks.h"

#include <QChart>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSaveFile>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "gui/Cp1251Text.h"
#include "gui/UiFonts.h"
#include "gui/analysis/TrendChartView.h"
#include "gui/analysis/TrendPlotLine.h"

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

    chart_ = new QChart;
    chart_->legend()->hide(); // each value axis carries its line's title in its colour
    chart_->setMargins(QMargins(4, 4, 4, 4));
    timeAxis_ = new QValueAxis;
    timeAxis_->setTitleText(QStringLiteral("Время, с"));
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    view_ = new TrendChartView(chart_);
    view_->setObjectName(QStringLiteral("TrendChart"));

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(controls);
    rightLayout->addWidget(view_, 1);
    auto* splitter = new QSplitter;
    splitter->addWidget(list_);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 660});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(minutes_, &QSpinBox::valueChanged, this, &TFrmTrend::resetZoom);
    connect(pause_, &QPushButton::toggled, this, [this](bool on) {
        paused_ = on;
        if (following())
            viewEndUs_ = followedEnd();
        redraw();
    });
    connect(resetZoom_, &QPushButton::clicked, this, &TFrmTrend::resetZoom);
    connect(savePng_, &QPushButton::clicked, this, &TFrmTrend::savePng);
    connect(view_, &TrendChartView::zoomedByUser, this, &TFrmTrend::userZoomed);
    setTimeRange(-std::int64_t{minutes_->value()} * kUsPerMinute, 0);
}

TFrmTrend::~TFrmTrend()
{
    lines_.clear(); // before the chart that holds their lines goes
}

QChartView* TFrmTrend::chartView() const { return view_; }

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
    lines_.push_back(std::make_unique<TrendPlotLine>(*chart_, *timeAxis_, pair, colour, side, titleOf(pair)));
    lines_.back()->data().feed(monitor_.analysis().ring()); // what was received before the pair was chosen
}

void TFrmTrend::removeLine(int key)
{
    std::erase_if(lines_, [key](const std::unique_ptr<TrendPlotLine>& l) {
        return keyOf(l->data().channelNo(), l->data().label()) == key;
    });
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
    for (const auto& l : lines_)
        l->data().feed(monitor_.analysis().ring());
}

void TFrmTrend::redraw()
{
    std::int64_t fromUs = 0;
    std::int64_t toUs = 0;
    if (zoomed_) {
        fromUs = microseconds(timeAxis_->min());
        toUs = microseconds(timeAxis_->max());
    } else {
        toUs = viewEndUs_;
        fromUs = toUs - std::int64_t{minutes_->value()} * kUsPerMinute;
        setTimeRange(fromUs, toUs);
    }
    // About two points a pixel: the lowest and the highest of each.
    const double width = chart_->plotArea().width();
    const auto maxPoints = static_cast<std::size_t>(2 * std::clamp(width, 100.0, 8000.0));
    for (const auto& l : lines_)
        l->draw(fromUs, toUs, maxPoints, !zoomed_);
}

void TFrmTrend::setTimeRange(std::int64_t fromUs, std::int64_t toUs)
{
    const double from = static_cast<double>(fromUs) / 1e6;
    const double to = static_cast<double>(toUs) / 1e6;
    if (timeAxis_->min() == from && timeAxis_->max() == to)
        return; // a move would recompute every line
    setRoundTicks(*timeAxis_, niceStep(to - from, 6));
    timeAxis_->setRange(from, to);
}

void TFrmTrend::userZoomed()
{
    zoomed_ = true;
    redraw(); // the finer points of the narrower window
}

void TFrmTrend::resetZoom()
{
    zoomed_ = false;
    if (following())
        viewEndUs_ = followedEnd();
    for (const auto& l : lines_)
        l->fitAgain();
    redraw();
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
    const bool saved = file.open(QIODevice::WriteOnly) && view_->grab().save(&file, "PNG") && file.commit();
    if (!saved)
        prompts.showError(kProgramTitle, "Не удалось сохранить рисунок в файл " + *name + ".");
}

std::int64_t TFrmTrend::nowUs() const
{
    return monitor_.analysis().sinceStartUs(monitor_.clock().nowUs());
}

std::int64_t TFrmTrend::followedEnd() const
{
    // The right edge moves in steps of a hundredth of the window: the chart
    // recomputes every line when its time axis moves, and the spans of the
    // decimation stay put between steps, so a dense line does not shimmer.
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
