#include "gui/MainMenuBuilder.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace telvar5 {

namespace {

struct CommandRow {
    Command command;
    const char* name;
    const char* caption;
    const char* hint; // empty: no hint is shown
    int icon;         // -1: none
    const char* menuItem;   // nullptr: no menu item
    const char* toolButton; // nullptr: no tool button
    bool separatorAfter;
};

// In toolbar order.
constexpr CommandRow kCommands[] = {
    {Command::FileExit1, "FileExit1", "Выход", "", icon::Exit, "mmFileExit1", "tbExit", true},
    {Command::ActionDeviceChoice, "ActionDeviceChoice", "выбор", "Выбор устройства", icon::DeviceChoice,
     "devicechoice", "tbDeviceChoice", false},
    {Command::DeviceInitialization, "DeviceInitialization", "инициализация", "инициализация устройства",
     icon::DeviceInit, "DeviceInitialization1", "tbDeviceIni", false},
    {Command::DeviceReset, "DeviceReset", "останов", "останов устройства", icon::DeviceReset, "DeviceReset1",
     "tbDeviceReset", true},
    {Command::SIaddressPusk, "SIaddressPusk", "адресный прием", "пуск адресного приема", icon::SIaddress,
     "mmSIaddressPusk", "tbSIaddressPusk", false},
    {Command::SIfilePusk, "SIfilePusk", "файловый прием", "пуск файлового приема", icon::SIfile, "mmSIfilePusk",
     "tbSIfilePusk", false},
    {Command::SIstopChannel, "SIstopChannel", "остановить прием", "останов приема", icon::SIstop, "mmSIstop",
     "tbSIstop", true},
    {Command::SOsinglePusk, "SOsinglePusk", "однократная выдача", "пуск однократной выдачи", icon::SOsingle,
     "mmSOsinglePusk", "tbSOsinglePusk", false},
    {Command::SOciclePusk, "SOciclePusk", "циклическая выдача", "пуск циклической выдачи", icon::SOcyclic,
     "mmSOciclePusk", "tbSOciclePusk", false},
    {Command::SOstopChannel, "SOstopChannel", "остановить выдачу", "останов выдачи", icon::SOstop, "mmSOstop",
     "tbSOstop", true},
    {Command::SOdataClear, "SOdataClear", "обнулить", "обнуление массива выходных параметров", icon::Clear,
     "mmSOdataClear", "tbSOdataClear", false},
    {Command::SOdataTest, "SOdataTest", "тестовые значения",
     "заполнение массива выходных параметров тестовыми значениями", icon::Test, "mmSOdataTest", "tbSOdataTest",
     false},
    {Command::FileOpen1, "FileOpen1", "восстановить из файла", "Восстановить выходные параметры из файла", icon::Open,
     "mmFileOpen1", "tbSOdataOpen", false},
    {Command::FileSaveAs1, "FileSaveAs1", "сохранить в файле", "Сохранить выходные параметры в файле", icon::Save,
     "mmFileSaveAs1", "tbSOdataSave", true},
    {Command::FormatList, "FormatList", "десятичные форматы", "Десятичные форматы", icon::Formats, "mmFormatList",
     "tbFormat", false},
    {Command::ParamFormat, "ParamFormat", "форматы параметров", "задание соответствия формата физическому параметру",
     icon::ParamFormats, "mmParamFormat", "tbParamFormat", false},
    {Command::TimerPeriod, "TimerPeriod", "период обновления экрана", "изменить период обновления экрана",
     icon::Timer, "mmTimerPeriod", "tbTimer", true},
    {Command::HelpContents1, "HelpContents1", "Справка", "", icon::Help, "mmHelpContents1", "tbHelp", false},
    // Shown by no menu item, tool button or key.
    {Command::OpenMethodChoice, "OpenMethodChoice", "способ открытия устройства", "для формирования исходного кода",
     -1, nullptr, nullptr, false},
};
static_assert(std::size(kCommands) == kCommandCount);

const CommandRow& rowOf(Command c) { return kCommands[static_cast<std::size_t>(c)]; }

QMenu* addMenu(QWidget* parent, const char* name, const char* title)
{
    auto* menu = new QMenu(QString::fromUtf8(title), parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    // Hints belong to the tool buttons; a menu item's hint is its status tip only.
    menu->setToolTipsVisible(false);
    return menu;
}

} // namespace

MainMenuBuilder::MainMenuBuilder(QMainWindow& window, const IconSet& icons) : window_(window), icons_(icons)
{
    for (std::size_t i = 0; i < kCommandCount; ++i)
        Q_ASSERT(kCommands[i].command == static_cast<Command>(i));
}

MainCommands MainMenuBuilder::build()
{
    buildCommands();
    buildMenus();
    buildToolBar();
    return commands_;
}

void MainMenuBuilder::buildCommands()
{
    for (const CommandRow& row : kCommands) {
        auto* action = new QAction(QString::fromUtf8(row.caption), &window_);
        action->setObjectName(QString::fromLatin1(row.name));
        const QString hint = QString::fromUtf8(row.hint);
        action->setToolTip(hint.isEmpty() ? action->text() : hint);
        action->setStatusTip(hint);
        if (row.icon >= 0)
            action->setIcon(icons_.at(row.icon));
        // The window carries every command, so a command's key works wherever the focus is.
        window_.addAction(action);
        commands_.actions[static_cast<std::size_t>(row.command)] = action;
    }
}

void MainMenuBuilder::buildMenus()
{
    QMenuBar* bar = window_.menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    auto item = [this](QMenu* menu, Command c, const char* ownHint = nullptr) {
        const CommandRow& row = rowOf(c);
        QAction* command = commands_[c];
        QAction* menuItem = menu->addAction(command->icon(), command->text());
        menuItem->setObjectName(QString::fromLatin1(row.menuItem));
        const QString hint = ownHint ? QString::fromUtf8(ownHint) : command->statusTip();
        menuItem->setStatusTip(hint);
        QObject::connect(menuItem, &QAction::triggered, command, &QAction::trigger);
        return menuItem;
    };

    QMenu* file = addMenu(bar, "mmFile", "Файл");
    item(file, Command::FileExit1);
    bar->addMenu(file);

    QMenu* device = addMenu(bar, "mmDevice", "Устройство");
    item(device, Command::ActionDeviceChoice, "Выбор устройства из установленных в компьютере");
    item(device, Command::DeviceInitialization);
    item(device, Command::DeviceReset);
    bar->addMenu(device);

    QMenu* channels = addMenu(bar, "mmChannels", "Канал");
    QMenu* input = addMenu(channels, "mmSIchannel", "входной");
    item(input, Command::SIaddressPusk);
    item(input, Command::SIfilePusk);
    item(input, Command::SIstopChannel);
    channels->addMenu(input);
    QMenu* output = addMenu(channels, "mmSOchannel", "выходной");
    item(output, Command::SOsinglePusk);
    item(output, Command::SOciclePusk);
    item(output, Command::SOstopChannel);
    channels->addMenu(output);
    bar->addMenu(channels);

    QMenu* data = addMenu(bar, "mmSOdata", "Выходные параметры");
    item(data, Command::SOdataClear);
    item(data, Command::SOdataTest);
    item(data, Command::FileOpen1);
    item(data, Command::FileSaveAs1);
    bar->addMenu(data);

    QMenu* settings = addMenu(bar, "mmSettings", "Настройки");
    item(settings, Command::FormatList);
    item(settings, Command::ParamFormat);
    item(settings, Command::TimerPeriod);
    bar->addMenu(settings);

    // Marked as Windows programs mark it; the other captions take theirs from MenuKeyboard.
    QMenu* help = addMenu(bar, "mmHelp", "&Справка");
    // F1 sits on the menu item, which is never disabled, so the key always opens the help.
    item(help, Command::HelpContents1)->setShortcut(QKeySequence(Qt::Key_F1));
    bar->addMenu(help);
}

void MainMenuBuilder::buildToolBar()
{
    auto* toolBar = new QToolBar(&window_);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setFixedHeight(30);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    window_.addToolBar(Qt::TopToolBarArea, toolBar);

    for (const CommandRow& row : kCommands) {
        if (!row.toolButton)
            continue;
        QAction* command = commands_[row.command];
        auto* button = new QToolButton(toolBar);
        button->setObjectName(QString::fromLatin1(row.toolButton));
        button->setIcon(command->icon());
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(true);
        button->setFixedSize(28, 26);
        button->setToolTip(QString::fromUtf8(row.hint)); // empty: no hint
        button->setStatusTip(QString::fromUtf8(row.hint));
        QObject::connect(button, &QToolButton::clicked, command, &QAction::trigger);
        toolBar->addWidget(button);
        if (row.separatorAfter)
            toolBar->addSeparator();
    }
}

} // namespace telvar5
