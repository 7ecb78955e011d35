#include "gui/TMainFrm.h"

#include <QMenuBar>

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>
#include <stdexcept>

#include "gui/device/BitRatePanel.h"
#include "gui/DataPanel.h"
#include "gui/HelpWindow.h"
#include "gui/MainMenuBuilder.h"
#include "gui/MenuBarCorner.h"
#include "gui/MenuKeyboard.h"
#include "gui/PanelStatusBar.h"
#include "gui/ToolMenu.h"
#include "gui/ToolWindows.h"
#include "gui/analysis/AnalysisMenu.h"
#include "gui/analysis/RecordingIndicator.h"
#include "gui/TFrmTimerPeriod.h"
#include "gui/device/ModuleHealthIndicator.h"
#include "gui/device/TFrmDeviceChoice.h"
#include "gui/device/TFrmOpenMethodChoice.h"
#include "gui/formats/TFrmFormatList.h"
#include "gui/formats/TFrmParamFormat.h"
#include "gui/input/InputBufferModel.h"
#include "gui/input/InputBufferView.h"
#include "gui/output/OutputArrayView.h"
#include "gui/output/OutputSide.h"
#include "gui/output/TFrmSObinParam.h"
#include "gui/stimulus/StimulusMenu.h"

namespace telvar5 {

namespace {

constexpr QPoint kBitRatePanelPos(400, 200);

void setControlEnabled(QObject* control, bool on)
{
    if (auto* menu = qobject_cast<QMenu*>(control))
        menu->menuAction()->setEnabled(on);
    else if (auto* action = qobject_cast<QAction*>(control))
        action->setEnabled(on);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setEnabled(on);
}

} // namespace

TMainFrm::TMainFrm(DeviceBus& bus, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), monitor_(bus, prompts)
{
    // 1. The window and its components.
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(QStringLiteral("Монитор модуля TELVAR-5"));
    setWindowIcon(icons_.at(icon::DeviceInit));
    commands_ = MainMenuBuilder(*this, icons_).build();
    analysis_ = new AnalysisMenu(*this, monitor_);
    connect(analysis_, &AnalysisMenu::inputLabelChosen, this, &TMainFrm::showInputLabel);
    // A channel chosen in "Обзор модуля": its tab, as a click on the tab would show it.
    connect(analysis_, &AnalysisMenu::inputChannelChosen, this,
            [this](int ch) { Panel5_->SI()->setCurrentIndex(ch); });
    connect(analysis_, &AnalysisMenu::outputChannelChosen, this,
            [this](int ch) { Panel5_->SO()->setCurrentIndex(ch); });
    stimulus_ = new StimulusMenu(*this, monitor_);
    setUpMenuKeyboard(*this);
    // The recording and the module's health sit in the menu bar's corner: nothing the window lays out moves.
    auto* corner = new MenuBarCorner(*menuBar());
    healthIndicator_ = new ModuleHealthIndicator(corner);
    corner->addIndicator(analysis_->recordingIndicator());
    corner->addIndicator(healthIndicator_);
    buildWorkArea();
    inputModel_ = new InputBufferModel(monitor_.run(), this);
    Panel5_->DrawGrid2()->setBufferModel(inputModel_);
    output_ = new OutputSide(monitor_, *Panel5_, this);
    help_ = new HelpWindow(this);
    Timer1_ = new QTimer(this);
    // A coarse timer may fire up to 5 % early; the refresh period is what the user set it to.
    Timer1_->setTimerType(Qt::PreciseTimer);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    findControls();
    connectHandlers();

    // 2. Over the screen's work area. Steps 3 to 5 (formats file, period 500) ran in the Monitor.
    placeOverWorkArea();

    // The dialogs, once each, in their order of creation. Creating the device
    // choice dialog searches for the modules.
    FrmDeviceChoice_ = new TFrmDeviceChoice(monitor_.deviceChoice(), this);
    FrmOpenMethodChoice_ = new TFrmOpenMethodChoice(monitor_.run().openMethod, this);
    FrmSObinParam_ = new TFrmSObinParam(monitor_.bitEditor(), this);
    FrmFormatList_ = new TFrmFormatList(monitor_.formatList(), monitor_.run().formats, this);
    FrmParamFormat_ = new TFrmParamFormat(monitor_.paramFormats(), monitor_.run().formats, this);
    FrmTimerPeriod_ = new TFrmTimerPeriod(monitor_, this);
    // Every dialog opens whole on the work area: two have places of their own, which a small screen may not hold.
    for (QWidget* dialog : std::initializer_list<QWidget*>{FrmDeviceChoice_, FrmOpenMethodChoice_, FrmSObinParam_,
                                                           FrmFormatList_, FrmParamFormat_, FrmTimerPeriod_})
        ToolWindows::of(*this).keepWhole(dialog);

    applyScreen();
}

TMainFrm::~TMainFrm()
{
    // The dialogs hold references into the Monitor, which goes before the window's children do.
    Timer1_->stop();
    // A tick's reads on the device thread are done before anything they touch goes.
    monitor_.refresh().setDeviceThread(nullptr, {});
    deviceThread_.reset();
    delete FrmTimerPeriod_;
    delete FrmParamFormat_;
    delete FrmFormatList_;
    delete FrmSObinParam_;
    delete FrmOpenMethodChoice_;
    delete FrmDeviceChoice_;
    delete stimulus_;
    delete analysis_;
}

void TMainFrm::buildWorkArea()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);

    Panel2_ = new QWidget(central);
    Panel2_->setObjectName(QStringLiteral("Panel2"));
    auto* layout = new QVBoxLayout(Panel2_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    dataArea_ = new QWidget(Panel2_);
    dataArea_->setObjectName(QStringLiteral("DataArea"));
    auto* dataLayout = new QVBoxLayout(dataArea_);
    dataLayout->setContentsMargins(0, 0, 0, 0);
    Panel5_ = new DataPanel(dataArea_);
    dataLayout->addWidget(Panel5_);

    XPStatusBar2_ = new PanelStatusBar(QStringLiteral("XPStatusBar2"), 310, 310, Panel2_);
    XPStatusBar1_ = new PanelStatusBar(QStringLiteral("XPStatusBar1"), 310, 360, Panel2_);
    layout->addWidget(dataArea_, 1);
    layout->addWidget(XPStatusBar2_);
    layout->addWidget(XPStatusBar1_);

    // A box over the work area, placed by position rather than by the layout.
    Panel9_ = new BitRatePanel(Panel2_);
    Panel9_->move(kBitRatePanelPos);
    Panel9_->raise();

    centralLayout->addWidget(Panel2_);
    setCentralWidget(central);
}

void TMainFrm::findControls()
{
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const auto name = controlName(static_cast<Control>(i));
        controls_[i] = findChild<QObject*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        if (!controls_[i])
            throw std::logic_error("main window control missing: " + std::string(name));
    }
}

void TMainFrm::connectHandlers()
{
    connect(command(Command::FileExit1), &QAction::triggered, this, &TMainFrm::FileExit1Execute);
    connect(command(Command::ActionDeviceChoice), &QAction::triggered, this, &TMainFrm::ActionDeviceChoiceExecute);
    connect(command(Command::DeviceInitialization), &QAction::triggered, this,
            &TMainFrm::DeviceInitializationExecute);
    connect(command(Command::DeviceReset), &QAction::triggered, this, &TMainFrm::DeviceResetExecute);
    connect(command(Command::OpenMethodChoice), &QAction::triggered, this, &TMainFrm::OpenMethodChoiceExecute);
    connect(command(Command::FormatList), &QAction::triggered, this, &TMainFrm::FormatListExecute);
    connect(command(Command::ParamFormat), &QAction::triggered, this, &TMainFrm::ParamFormatExecute);
    connect(command(Command::TimerPeriod), &QAction::triggered, this, &TMainFrm::TimerPeriodExecute);
    connect(command(Command::HelpContents1), &QAction::triggered, this, &TMainFrm::HelpContents1Execute);
    connect(Timer1_, &QTimer::timeout, this, &TMainFrm::Timer1Timer);
    connect(command(Command::SIaddressPusk), &QAction::triggered, this, &TMainFrm::SIaddressPuskExecute);
    connect(command(Command::SIfilePusk), &QAction::triggered, this, &TMainFrm::SIfilePuskExecute);
    connect(command(Command::SIstopChannel), &QAction::triggered, this, &TMainFrm::SIstopChannelExecute);
    connect(Panel5_->SI(), &QTabBar::currentChanged, this, &TMainFrm::SIChange);
    connect(Panel5_->ComboBox1(), qOverload<int>(&QComboBox::activated), this, &TMainFrm::ComboBox1Change);
    connect(command(Command::SOsinglePusk), &QAction::triggered, this, &TMainFrm::SOsinglePuskExecute);
    connect(command(Command::SOciclePusk), &QAction::triggered, this, &TMainFrm::SOciclePuskExecute);
    connect(command(Command::SOstopChannel), &QAction::triggered, this, &TMainFrm::SOstopChannelExecute);
    connect(command(Command::SOdataClear), &QAction::triggered, this, &TMainFrm::SOdataClearExecute);
    connect(command(Command::SOdataTest), &QAction::triggered, this, &TMainFrm::SOdataTestExecute);
    connect(command(Command::FileOpen1), &QAction::triggered, this, &TMainFrm::FileOpen1Execute);
    connect(command(Command::FileSaveAs1), &QAction::triggered, this, &TMainFrm::FileSaveAs1Execute);
    connect(Panel5_->SO(), &QTabBar::currentChanged, this, &TMainFrm::SOChange);
    connect(Panel5_->cbSOArrayDim(), qOverload<int>(&QComboBox::activated), this, &TMainFrm::cbSOArrayDimChange);
    connect(Panel5_->ComboBox2(), qOverload<int>(&QComboBox::activated), this, &TMainFrm::ComboBox2Change);
    connect(Panel5_->DrawGrid1(), &OutputArrayView::mousePressed, this, &TMainFrm::DrawGrid1MouseDown);
    // A stimulus start switches channels inside the core and lays out arrays, the shown one among them.
    connect(stimulus_, &StimulusMenu::outputChanged, this, [this] { outputShown(true); });

    using Handler = void (TMainFrm::*)();
    constexpr std::array<Handler, kChannels> inputHandlers{
        &TMainFrm::cbFreqSI1Change, &TMainFrm::cbFreqSI2Change, &TMainFrm::cbFreqSI3Change, &TMainFrm::cbFreqSI4Change,
        &TMainFrm::cbFreqSI5Change, &TMainFrm::cbFreqSI6Change, &TMainFrm::cbFreqSI7Change, &TMainFrm::cbFreqSI8Change};
    constexpr std::array<Handler, kChannels> outputHandlers{
        &TMainFrm::cbFreqSO1Change, &TMainFrm::cbFreqSO2Change, &TMainFrm::cbFreqSO3Change, &TMainFrm::cbFreqSO4Change,
        &TMainFrm::cbFreqSO5Change, &TMainFrm::cbFreqSO6Change, &TMainFrm::cbFreqSO7Change, &TMainFrm::cbFreqSO8Change};
    for (int k = 0; k < kChannels; ++k) {
        connect(inputList(k), qOverload<int>(&QComboBox::currentIndexChanged), this, inputHandlers[static_cast<std::size_t>(k)]);
        connect(outputList(k), qOverload<int>(&QComboBox::currentIndexChanged), this, outputHandlers[static_cast<std::size_t>(k)]);
    }
}

void TMainFrm::placeOverWorkArea()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
}

void TMainFrm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    // Once the window has its frame, the frame, title bar included, covers the work area, as a
    // Windows window's top, left, width and height do. A window manager may tell the frame some
    // time after the window shows, so the window asks again for up to two seconds.
    QTimer::singleShot(0, this, [this] {
        if (fitFrameToWorkArea())
            return;
        auto* waitForFrame = new QTimer(this);
        waitForFrame->setInterval(50);
        connect(waitForFrame, &QTimer::timeout, this, [this, waitForFrame, asked = 0]() mutable {
            if (fitFrameToWorkArea() || ++asked >= 40) {
                waitForFrame->stop();
                waitForFrame->deleteLater();
            }
        });
        waitForFrame->start();
    });
}

bool TMainFrm::fitFrameToWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    if (!screen)
        return true;
    if (frame == inner)
        return false; // no frame known yet
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    setGeometry(screen->availableGeometry().marginsRemoved(margins));
    return true;
}

QComboBox* TMainFrm::inputList(int channelIndex) const { return Panel9_->inputList(channelIndex); }
QComboBox* TMainFrm::outputList(int channelIndex) const { return Panel9_->outputList(channelIndex); }

void TMainFrm::applyScreen()
{
    const ScreenState& screen = monitor_.screen();
    const RunState& run = monitor_.run();

    for (std::size_t i = 0; i < kControlCount; ++i)
        setControlEnabled(controls_[i], screen.commands.enabled(static_cast<Control>(i)));

    XPStatusBar1_->setPanelText(0, QString::fromStdString(screen.statusBar1[0]));
    XPStatusBar1_->setPanelText(1, QString::fromStdString(screen.statusBar1[1]));
    XPStatusBar2_->setPanelText(0, QString::fromStdString(screen.statusBar2[0]));
    XPStatusBar2_->setPanelText(1, QString::fromStdString(screen.statusBar2[1]));

    Panel5_->showState(screen, run.curInputIndex, run.curOutputIndex, run.arraySize[run.curOutputIndex % kChannels]);
    Panel9_->showState(run.freqCodes, screen.siChannelShown, screen.soChannelShown);
    output_->applyScreen();

    Panel2_->setVisible(screen.commands.shown(Panel::Panel2));
    Panel5_->setVisible(screen.commands.shown(Panel::Panel5));
    Panel9_->setVisible(screen.commands.shown(Panel::Panel9));
    healthIndicator_->showHealth(monitor_.health());
    analysis_->afterCommand();

    // Setting the same period again would restart a running timer.
    if (Timer1_->interval() != run.refreshPeriodMs)
        Timer1_->setInterval(run.refreshPeriodMs);
    if (screen.timerActive && !Timer1_->isActive())
        Timer1_->start();
    else if (!screen.timerActive && Timer1_->isActive())
        Timer1_->stop();
}

void TMainFrm::FileExit1Execute()
{
    help_->close();
    close();
}

void TMainFrm::ActionDeviceChoiceExecute()
{
    monitor_.deviceChoice().beforeDialog();
    applyScreen();
    FrmDeviceChoice_->exec();
    monitor_.deviceChoice().afterDialog();
    applyScreen();
    update();
}

void TMainFrm::DeviceInitializationExecute()
{
    monitor_.lifecycle().DeviceInitializationExecute();
    applyScreen();
    if (!Panel5_->isVisibleTo(this))
        return;
    // The input side takes four fifths of the data panel, which fills the data area.
    dataArea_->layout()->activate();
    Panel5_->layout()->activate();
    const int panelWidth = Panel5_->width();
    Panel5_->setInputWidth(panelWidth, panelWidth * 4 / 5);
    inputModel_->channelChanged();
    output_->wordsChanged();
}

void TMainFrm::DeviceResetExecute()
{
    monitor_.lifecycle().DeviceResetExecute();
    applyScreen();
}

void TMainFrm::OpenMethodChoiceExecute()
{
    FrmOpenMethodChoice_->exec();
    applyScreen();
}

void TMainFrm::FormatListExecute()
{
    FrmFormatList_->exec();
    // As for the parameter formats: the closing rebuilt the displayed channel's label formats.
    inputModel_->channelChanged();
}

void TMainFrm::ParamFormatExecute()
{
    FrmParamFormat_->exec();
    // The dialog's closing rebuilt the displayed channel's label formats: the DECIMAL column follows at once.
    inputModel_->channelChanged();
}

void TMainFrm::TimerPeriodExecute()
{
    FrmTimerPeriod_->exec();
    // Timer1 takes refreshPeriodMs whichever way the dialog was closed.
    applyScreen();
}

void TMainFrm::HelpContents1Execute()
{
    help_->turnToContents();
    showToolWindow(*this, help_);
}

void TMainFrm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TMainFrm::FormClose()
{
    monitor_.lifecycle().FormClose();
    // The program ends with this window: no tick after the module's stop, and no help left behind.
    Timer1_->stop();
    help_->close();
}

void TMainFrm::useDeviceThread()
{
    if (deviceThread_)
        return;
    deviceThread_ = std::make_unique<TickWorker>();
    // Told on the device thread; the window takes the tick on its own.
    monitor_.refresh().setDeviceThread(deviceThread_.get(), [this] {
        QMetaObject::invokeMethod(this, &TMainFrm::tickReadsDone, Qt::QueuedConnection);
    });
}

void TMainFrm::Timer1Timer()
{
    RefreshCycle& refresh = monitor_.refresh();
    // The last tick still reads on the device thread: this timeout passes, as
    // one passed behind a long tick on the UI thread.
    if (refresh.tickInFlight())
        return;
    if (deviceThread_) {
        if (const std::optional<TickResult> tick = refresh.startTick())
            tickFinished(*tick);
        return;
    }
    tickFinished(refresh.Timer1Timer());
}

void TMainFrm::tickReadsDone()
{
    if (const std::optional<TickResult> tick = monitor_.refresh().takeFinishedTick())
        tickFinished(*tick);
}

void TMainFrm::tickFinished(const TickResult& tick)
{
    applyScreen();
    if (tick.inputGridChanged)
        inputModel_->cellsStored(tick.storedCells);
    if (tick.outputWordsChanged.test(monitor_.run().curOutputIndex % kChannels))
        output_->wordsChanged();
    analysis_->afterTick();
    stimulus_->afterTick();
}

void TMainFrm::SIaddressPuskExecute()
{
    monitor_.reception().SIaddressPuskExecute();
    applyScreen();
    inputModel_->channelChanged(); // the channel's cells were cleared
}

void TMainFrm::SIfilePuskExecute()
{
    monitor_.reception().SIfilePuskExecute();
    applyScreen();
    inputModel_->channelChanged();
}

void TMainFrm::SIstopChannelExecute()
{
    monitor_.reception().SIstopChannelExecute();
    applyScreen();
}

void TMainFrm::SIChange(int tabIndex)
{
    monitor_.reception().SIChange(tabIndex);
    applyScreen();
    inputModel_->channelChanged();
}

void TMainFrm::ComboBox1Change() { Panel5_->DrawGrid2()->showCellAtTop(Panel5_->ComboBox1()->currentIndex()); }

void TMainFrm::showInputLabel(int channel, int label)
{
    // In address reception a word's cell is its label; other modes store words in arrival order.
    const RunState& run = monitor_.run();
    if (channel != run.curInputIndex % kChannels || label < 0 || label >= kInputCells
        || run.receptionMode[static_cast<std::size_t>(channel)] != kReceptionAddress)
        return;
    InputBufferView* grid = Panel5_->DrawGrid2();
    const QModelIndex cell = grid->model()->index(label, 1);
    grid->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    grid->setCurrentIndex(cell);
    grid->setFocus();
}

void TMainFrm::freqChange(int codeByte, const QComboBox* list)
{
    setFreqCode(monitor_.run(), codeByte, list->currentIndex());
    applyScreen();
}

void TMainFrm::outputShown(bool wordsChanged)
{
    applyScreen();
    if (wordsChanged)
        output_->wordsChanged();
}

void TMainFrm::SOsinglePuskExecute()
{
    monitor_.output().SOsinglePuskExecute();
    outputShown(false);
}

void TMainFrm::SOciclePuskExecute()
{
    monitor_.output().SOciclePuskExecute();
    outputShown(false);
}

void TMainFrm::SOstopChannelExecute()
{
    monitor_.output().SOstopChannelExecute();
    outputShown(false);
}

void TMainFrm::SOdataClearExecute()
{
    monitor_.outputArrays().SOdataClearExecute();
    outputShown(true);
}

void TMainFrm::SOdataTestExecute()
{
    monitor_.outputArrays().SOdataTestExecute();
    outputShown(true);
}

void TMainFrm::cbSOArrayDimChange(int itemIndex)
{
    monitor_.outputArrays().cbSOArrayDimChange(itemIndex);
    outputShown(false);
}

void TMainFrm::SOChange(int tabIndex)
{
    monitor_.outputArrays().SOChange(tabIndex);
    outputShown(true);
}

void TMainFrm::ComboBox2Change() { Panel5_->DrawGrid1()->showRowAtTop(Panel5_->ComboBox2()->currentIndex()); }

void TMainFrm::DrawGrid1MouseDown(Qt::MouseButton button, int column, int row)
{
    const MouseButton pressed = button == Qt::RightButton ? MouseButton::Right
        : button == Qt::LeftButton                        ? MouseButton::Left
                                                          : MouseButton::Middle;
    if (!monitor_.outputGrid().DrawGrid1MouseDown(pressed, column, row))
        return;
    FrmSObinParam_->exec();
    output_->wordChanged(monitor_.run().wordIndex);
    monitor_.outputGrid().bitEditorClosed();
    applyScreen();
}

void TMainFrm::FileOpen1Execute()
{
    const bool restored = monitor_.outputArrays().FileOpen1Execute();
    outputShown(restored);
}

void TMainFrm::FileSaveAs1Execute()
{
    monitor_.outputArrays().FileSaveAs1Execute();
    applyScreen();
}

} // namespace telvar5
