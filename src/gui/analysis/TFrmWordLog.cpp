#include "gui/analysis/TFrmWordLog.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

#include "core/Monitor.h"
#include "core/analysis/CaptureCommands.h"
#include "core/analysis/WordLogSearch.h"
#include "core/analysis/WordLogSession.h"
#include "gui/ColumnWidths.h"
#include "gui/UiFonts.h"
#include "gui/analysis/WordLogFilterBar.h"
#include "gui/analysis/WordLogModel.h"
#include "gui/analysis/WordLogView.h"

namespace telvar5 {

namespace {

constexpr int kHeaderFontPx = 12;
constexpr int kHeight = 560;
// A slice of reading a recording through stays well inside a frame.
constexpr qint64 kScanSliceMs = 8;
constexpr std::uint64_t kScanStep = 16384;
const char* const kWidestTexts[] = {
    "99999.999", "2026-12-08T14:03:05.123+03:00", "8", "377", "3", "7FFFF", "3", "нечёт", "FFFFFFFF",
    "-99999.000000", "фут/мин.", "99999.999"}; // units: eight characters at most
// One text for every column: a column added to the model and not here would take its neighbour's width.
static_assert(std::size(kWidestTexts) == WordLogModel::kColumns);

bool sameFormats(const FormatTables& a, const FormatTables& b)
{
    return a.formatCount == b.formatCount && a.paramFormatCount == b.paramFormatCount &&
           std::memcmp(a.formatTable.data(), b.formatTable.data(), sizeof a.formatTable) == 0 &&
           std::memcmp(a.paramFormatTable.data(), b.paramFormatTable.data(), sizeof a.paramFormatTable) == 0;
}

QPushButton* button(const char* name, const char* text, const char* hint, QWidget* parent)
{
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setToolTip(QString::fromUtf8(hint));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TFrmWordLog::TFrmWordLog(Monitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window), monitor_(monitor),
      session_(std::make_unique<WordLogSession>(monitor.prompts(), monitor.run().formats)),
      formatsSeen_(std::make_unique<FormatTables>(monitor.run().formats))
{
    setObjectName(QStringLiteral("FrmWordLog"));
    setFont(ui::sansFont(kHeaderFontPx));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    filterBar_ = new WordLogFilterBar(this);
    layout->addWidget(filterBar_);

    auto* commands = new QHBoxLayout;
    findKind_ = new QComboBox(this);
    findKind_->setObjectName(QStringLiteral("cbFindKind"));
    findKind_->addItems({QStringLiteral("метку"), QStringLiteral("значение")});
    findText_ = new QLineEdit(this);
    findText_->setObjectName(QStringLiteral("edFind"));
    findText_->setPlaceholderText(QStringLiteral("203 или -12,5"));
    findText_->setToolTip(QStringLiteral("Метка — восьмеричная; значение — как в столбце «Значение», с той же "
                                         "точностью, что набрана: «35000» находит 34999,7"));
    auto* findButton = button("btFindNext", "Найти далее", "Следующая строка после выбранной (F3)", this);
    pause_ = button("btPause", "Пауза", "Остановить поток на экране; прокрутка вверх тоже останавливает его", this);
    pause_->setCheckable(true);
    live_ = button("btLive", "Живой поток", "Вернуться от файла записи к словам, принимаемым сейчас", this);
    auto* open = button("btOpenRecording", "Открыть запись…", "Показать файл записи (*.tlvcap) в этом окне", this);
    auto* exportCsv = button("btExportCsv", "CSV…", "Строки, показанные фильтром, в таблицу CSV", this);
    auto* exportExcel = button("btExportCsvExcel", "CSV для Excel…",
                               "Строки, показанные фильтром, в таблицу CSV для Excel с русскими настройками", this);
    auto* findLabel = new QLabel(QStringLiteral("Найти"), this);
    findLabel->setBuddy(findText_);
    commands->addWidget(findLabel);
    commands->addWidget(findKind_);
    commands->addWidget(findText_, 1);
    commands->addWidget(findButton);
    commands->addSpacing(12);
    commands->addWidget(pause_);
    commands->addWidget(live_);
    commands->addWidget(open);
    commands->addSpacing(12);
    commands->addWidget(exportCsv);
    commands->addWidget(exportExcel);
    layout->addLayout(commands);

    model_ = new WordLogModel(*session_, this);
    grid_ = new WordLogView(this);
    grid_->setObjectName(QStringLiteral("WordGrid"));
    grid_->setFont(ui::fixedFont(ui::kGridFontPx));
    grid_->horizontalHeader()->setFont(ui::sansFont(kHeaderFontPx));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    // Every row as tall as the font: the view lays out a million rows without asking each.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(grid_->font()).height() + 4);
    const int total = fitColumnsToTexts(*grid_, kWidestTexts, {12, 12});
    grid_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grid_, 1);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lbStatus"));
    report_ = new QLabel(this);
    report_->setObjectName(QStringLiteral("lbReport"));
    report_->setWordWrap(true);
    report_->hide();
    layout->addWidget(status_);
    layout->addWidget(report_);

    scanTimer_ = new QTimer(this);
    scanTimer_->setInterval(20);

    connect(filterBar_, &WordLogFilterBar::filterChanged, this, &TFrmWordLog::filterChanged);
    connect(findButton, &QPushButton::clicked, this, &TFrmWordLog::findNext);
    connect(findText_, &QLineEdit::returnPressed, this, &TFrmWordLog::findNext);
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    f3->setContext(Qt::WindowShortcut);
    connect(f3, &QShortcut::activated, this, &TFrmWordLog::findNext);
    connect(pause_, &QPushButton::toggled, this, &TFrmWordLog::setPaused);
    connect(live_, &QPushButton::clicked, this, [this] {
        session_->showLive();
        sourceChanged();
        pause_->setChecked(false); // back to the live log is back to its flow
        afterTick();               // what came while the recording was shown, at once
    });
    connect(open, &QPushButton::clicked, this, [this] {
        const auto before = session_->source();
        session_->OpenRecordingExecute();
        if (session_->source() != before || session_->source() == WordLogSession::Source::Recording)
            sourceChanged();
        showStatus();
    });
    for (const auto& [exportButton, dialect] :
         {std::pair{exportCsv, CsvDialect::Plain}, std::pair{exportExcel, CsvDialect::Excel}})
        connect(exportButton, &QPushButton::clicked, this, [this, dialect = dialect] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            session_->ExportCsvExecute(dialect);
            QApplication::restoreOverrideCursor();
            showStatus();
        });
    connect(scanTimer_, &QTimer::timeout, this, &TFrmWordLog::scanSlice);
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, &TFrmWordLog::scrolled);
    // A row chosen in a live log stays where it is: the log stands still until the pause is lifted.
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (!syncing_ && current.isValid() && session_->source() == WordLogSession::Source::Live)
            pause_->setChecked(true);
    });

    // The grid's frame, its scroll bar and the window's margins beside the columns.
    resize(total + 48, kHeight);
    sourceChanged();
}

TFrmWordLog::~TFrmWordLog() = default;

void TFrmWordLog::afterTick()
{
    catchUpFormats();
    const Analysis& analysis = monitor_.analysis();
    std::optional<std::int64_t> start;
    if (analysis.clockStarted())
        start = systemUnixUs() - analysis.sinceStartUs(monitor_.clock().nowUs());
    // Followed while hidden too: the ring would otherwise overwrite words the log never saw.
    if (session_->follow(analysis.ring(), start) > 0 || session_->rowsDropped() > 0) {
        syncing_ = true;
        model_->sync();
        syncing_ = false;
        if (!session_->paused())
            followEnd();
    }
    if (isVisible())
        showStatus();
}

bool TFrmWordLog::openRecording(const std::filesystem::path& file)
{
    const bool opened = session_->openRecording(file);
    if (opened)
        sourceChanged();
    showStatus();
    return opened;
}

void TFrmWordLog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    catchUpFormats();
    showStatus();
}

bool TFrmWordLog::event(QEvent* event)
{
    // Back from a formats editor: values are shown through what it left.
    if (event->type() == QEvent::WindowActivate)
        catchUpFormats();
    return QWidget::event(event);
}

void TFrmWordLog::catchUpFormats()
{
    if (sameFormats(*formatsSeen_, monitor_.run().formats))
        return;
    *formatsSeen_ = monitor_.run().formats;
    session_->formatsChanged();
    model_->textsChanged();
}

void TFrmWordLog::filterChanged()
{
    session_->setFilter(filterBar_->filter());
    model_->restart();
    if (session_->source() == WordLogSession::Source::Recording)
        scanTimer_->start();
    else if (!session_->paused())
        followEnd();
    showStatus();
}

void TFrmWordLog::sourceChanged()
{
    const bool recording = session_->source() == WordLogSession::Source::Recording;
    syncing_ = true;
    model_->restart();
    syncing_ = false;
    live_->setEnabled(recording);
    pause_->setEnabled(!recording);
    if (recording)
        scanTimer_->start();
    else
        scanTimer_->stop();
    setWindowTitle(recording ? QStringLiteral("Поток слов — %1").arg(QString::fromStdString(session_->recordingName()))
                             : QStringLiteral("Поток слов"));
    if (!recording && !session_->paused())
        followEnd();
    showStatus();
}

void TFrmWordLog::scanSlice()
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!session_->scanComplete() && elapsed.elapsed() < kScanSliceMs)
        session_->scan(kScanStep);
    syncing_ = true;
    model_->sync();
    // Intervals the scan has reached are shown in place of "…".
    model_->textsChanged();
    syncing_ = false;
    if (session_->scanComplete())
        scanTimer_->stop();
    showStatus();
}

void TFrmWordLog::findNext()
{
    WordLogQuery query;
    std::string why;
    const auto kind = findKind_->currentIndex() == 0 ? WordLogQuery::Kind::Label : WordLogQuery::Kind::Value;
    if (!parseWordLogQuery(kind, findText_->text().toStdString(), query, why)) {
        monitor_.prompts().refuse(why);
        return;
    }
    const QModelIndex current = grid_->currentIndex();
    // With no row chosen the search starts at the first.
    std::optional<std::uint64_t> from;
    if (current.isValid())
        from = static_cast<std::uint64_t>(current.row());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<std::uint64_t> found = findNextMatch(session_->rows(), from, query, session_->text());
    QApplication::restoreOverrideCursor();
    if (!found || *found >= static_cast<std::uint64_t>(model_->rowCount())) {
        report_->setText(QStringLiteral("«%1» не найдено ниже выбранной строки").arg(findText_->text()));
        report_->setStyleSheet(QString());
        report_->show();
        return;
    }
    // Going to a row far from the end stops the live log there.
    const QModelIndex row = model_->index(static_cast<int>(*found), 0);
    grid_->setCurrentIndex(row);
    grid_->scrollTo(row, QAbstractItemView::PositionAtCenter);
    report_->hide();
}

void TFrmWordLog::setPaused(bool paused)
{
    session_->setPaused(paused);
    if (!paused) {
        afterTick(); // what came while paused, at once
        followEnd();
    }
    showStatus();
}

void TFrmWordLog::scrolled(int value)
{
    if (syncing_ || session_->source() != WordLogSession::Source::Live)
        return;
    const bool atEnd = value >= grid_->verticalScrollBar()->maximum();
    // Scrolled away from the end: the rows stand still until it is back there or the pause is lifted.
    if (atEnd == pause_->isChecked())
        pause_->setChecked(!atEnd);
}

void TFrmWordLog::followEnd()
{
    syncing_ = true;
    grid_->scrollToBottom();
    syncing_ = false;
}

void TFrmWordLog::showStatus()
{
    status_->setText(QString::fromStdString(session_->statusText()));
    const std::string& report = session_->report();
    if (!report.empty()) {
        report_->setText(QString::fromStdString(report));
        // A failure is never shown as a normal state.
        report_->setStyleSheet(session_->reportIsFailure() ? QStringLiteral("QLabel { color: #C00000; }") : QString());
        report_->show();
    }
}

} // namespace telvar5
