#include "gui/stimulus/TFrmReplay.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/Monitor.h"
#include "formats/ReplaceFile.h"
#include "gui/UiFonts.h"

namespace telvar5 {

namespace {

constexpr const char* kCaptureFilter = "Файлы записи (*.tlvcap)|*.tlvcap|*.*|*.*";
constexpr int kFontPx = 12;
constexpr int kProgressSteps = 1000;

QString seconds(std::int64_t us) { return QString::number(static_cast<double>(us) / 1e6, 'f', 1) + QStringLiteral(" с"); }

QPushButton* button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TFrmReplay::TFrmReplay(Monitor& monitor, QWidget* parent) : QWidget(parent, Qt::Window), monitor_(monitor)
{
    setObjectName(QStringLiteral("FrmReplay"));
    setWindowTitle(QStringLiteral("Воспроизведение"));
    setFont(ui::sansFont(kFontPx));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* form = new QFormLayout;

    auto* fileRow = new QHBoxLayout;
    capture_ = new QLineEdit(this);
    capture_->setObjectName(QStringLiteral("edCapture"));
    capture_->setReadOnly(true);
    capture_->setPlaceholderText(QStringLiteral("файл .tlvcap, записанный командой «Анализ» → «Запись»"));
    choose_ = button(this, "btChoose", "Выбрать…");
    fileRow->addWidget(capture_, 1);
    fileRow->addWidget(choose_);
    form->addRow(QStringLiteral("Файл записи:"), fileRow);

    fromChannel_ = new QComboBox(this);
    fromChannel_->setObjectName(QStringLiteral("cbFromChannel"));
    fromChannel_->setToolTip(QStringLiteral("Входной канал, слова которого есть в записи"));
    form->addRow(QStringLiteral("Входной канал записи:"), fromChannel_);
    toChannel_ = new QComboBox(this);
    toChannel_->setObjectName(QStringLiteral("cbToChannel"));
    toChannel_->setToolTip(QStringLiteral("Выходной канал модуля, в который выдаются слова"));
    form->addRow(QStringLiteral("Выходной канал:"), toChannel_);

    auto* speedRow = new QHBoxLayout;
    speed_ = new QDoubleSpinBox(this);
    speed_->setObjectName(QStringLiteral("sbSpeed"));
    speed_->setRange(0.01, 100.0);
    speed_->setDecimals(2);
    speed_->setSingleStep(0.5);
    speed_->setValue(1.0);
    speed_->setToolTip(QStringLiteral("Во сколько раз быстрее записи: 2 — вдвое быстрее, 0,5 — вдвое медленнее"));
    loop_ = new QCheckBox(QStringLiteral("по кругу"), this);
    loop_->setObjectName(QStringLiteral("cbLoop"));
    loop_->setToolTip(QStringLiteral("После последнего слова начинать запись сначала"));
    speedRow->addWidget(speed_);
    speedRow->addSpacing(16);
    speedRow->addWidget(loop_);
    speedRow->addStretch(1);
    form->addRow(QStringLiteral("Скорость:"), speedRow);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    start_ = button(this, "btStart", "Пуск");
    start_->setToolTip(QStringLiteral("Разложить метки канала записи в массив выходного канала и начать выдачу"));
    stop_ = button(this, "btStop", "Стоп");
    buttons->addStretch(1);
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    layout->addLayout(buttons);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("pbProgress"));
    progressBar_->setRange(0, kProgressSteps);
    progressBar_->setTextVisible(false);
    layout->addWidget(progressBar_);
    progressText_ = new QLabel(this);
    progressText_->setObjectName(QStringLiteral("lbProgress"));
    layout->addWidget(progressText_);

    auto* note = new QLabel(QStringLiteral("Каждое значение выдается в свое записанное время (с учетом скорости) с "
                                           "точностью до периода обновления экрана. Промежутки между отдельными "
                                           "словами не сохраняются: их задает циклический массив модуля."),
                            this);
    note->setObjectName(QStringLiteral("lbNote"));
    note->setFont(ui::sansFont(ui::kSmallFontPx));
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch(1);

    connect(choose_, &QPushButton::clicked, this, &TFrmReplay::ChooseExecute);
    connect(start_, &QPushButton::clicked, this, &TFrmReplay::StartExecute);
    connect(stop_, &QPushButton::clicked, this, &TFrmReplay::StopExecute);

    resize(580, 270);
    listOutputs();
    showRunning();
}

void TFrmReplay::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    listOutputs();
    showRunning();
}

void TFrmReplay::listOutputs()
{
    const int count = std::clamp(static_cast<int>(monitor_.run().soChannelCount), 0, kChannels);
    if (toChannel_->count() == count)
        return;
    const int kept = toChannel_->currentIndex();
    toChannel_->clear();
    for (int k = 1; k <= count; ++k)
        toChannel_->addItem(QString::number(k), k);
    toChannel_->setCurrentIndex(std::clamp(kept, 0, count - 1));
}

void TFrmReplay::afterTick()
{
    // A replay whose channel was stopped from the main window ends by itself.
    if (monitor_.stimuli().replay().running() != shownRunning_) {
        showRunning();
        return;
    }
    if (isVisible()) {
        listOutputs();
        showProgress();
    }
}

void TFrmReplay::showRunning()
{
    shownRunning_ = monitor_.stimuli().replay().running();
    for (QWidget* setting : {static_cast<QWidget*>(choose_), static_cast<QWidget*>(fromChannel_),
                             static_cast<QWidget*>(toChannel_), static_cast<QWidget*>(speed_),
                             static_cast<QWidget*>(loop_)})
        setting->setEnabled(!shownRunning_);
    start_->setEnabled(!shownRunning_);
    stop_->setEnabled(shownRunning_);
    showProgress();
}

void TFrmReplay::showProgress()
{
    const CaptureReplay& replay = monitor_.stimuli().replay();
    const ReplayProgress& p = replay.progress();
    if (!replay.running() && p.entriesApplied == 0) {
        progressBar_->setValue(0);
        progressText_->setText(capturePath_.empty() ? QStringLiteral("Выберите файл записи") : QStringLiteral("Остановлено"));
        return;
    }
    const double part = p.lengthUs > 0 ? static_cast<double>(p.positionUs) / static_cast<double>(p.lengthUs) : 1.0;
    progressBar_->setValue(static_cast<int>(std::clamp(part, 0.0, 1.0) * kProgressSteps));
    QString text = QStringLiteral("%1 из %2; круг %3; записей %4, отправлено изменений %5")
                       .arg(seconds(p.positionUs), seconds(p.lengthUs))
                       .arg(p.lap + 1)
                       .arg(p.entriesApplied)
                       .arg(p.wordsSent);
    if (p.finished)
        text += QStringLiteral("; завершено");
    else if (!replay.running())
        text += QStringLiteral("; остановлено");
    progressText_->setText(text);
}

void TFrmReplay::ChooseExecute()
{
    const auto file =
        monitor_.prompts().askOpenFileName({kCaptureFilter, ".", "", false, "Открыть запись для воспроизведения"});
    if (!file)
        return;
    std::string problem;
    const auto channels = CaptureReplay::channelsIn(pathFromUtf8(*file), problem);
    capturePath_ = *file;
    // The name alone fits the box; the whole path is in its tooltip.
    const QString path = QString::fromStdString(*file);
    capture_->setText(QFileInfo(path).fileName());
    capture_->setToolTip(path);
    fromChannel_->clear();
    for (int k = 0; k < kChannels; ++k)
        if (channels.test(static_cast<std::size_t>(k)))
            fromChannel_->addItem(QString::number(k + 1), k + 1);
    if (!problem.empty())
        monitor_.prompts().showError(kProgramTitle, problem + '\n' + *file);
    showRunning();
}

void TFrmReplay::StartExecute()
{
    CaptureReplay& replay = monitor_.stimuli().replay();
    if (replay.running())
        return;
    if (fromChannel_->count() == 0) {
        monitor_.prompts().showError(kProgramTitle, "Выберите файл записи, в котором есть слова входных каналов.");
        return;
    }
    ReplaySettings settings;
    settings.capture = pathFromUtf8(capturePath_);
    settings.fromChannel = fromChannel_->currentData().toInt();
    // Without a module the list is empty; the replay says why it cannot start.
    settings.toChannel = toChannel_->count() > 0 ? toChannel_->currentData().toInt() : 1;
    settings.speed = speed_->value();
    settings.loop = loop_->isChecked();
    // An array typed by hand and not saved would be lost without a word.
    const std::string question = monitor_.stimuli().output().replaceUnsavedQuestion(
        std::bitset<kChannels>().set(static_cast<std::size_t>(settings.toChannel - 1) % kChannels));
    if (!question.empty() && !monitor_.prompts().askYesNo(kProgramTitle, question))
        return;
    const std::string reason = replay.start(settings, monitor_.clock().nowUs());
    if (!reason.empty())
        monitor_.prompts().showError(kProgramTitle, reason);
    showRunning();
    emit outputChanged();
}

void TFrmReplay::StopExecute()
{
    monitor_.stimuli().replay().stop();
    showRunning();
    emit outputChanged();
}

} // namespace telvar5
