// The main window as built: every named component, the menu bar and the
// toolbar with their captions, hints and icons, the panels' places and fonts.
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <set>

#include "MainWindowFixture.h"
#include "gui/IconSet.h"
#include "gui/PanelStatusBar.h"

namespace telvar5::widgets_test {
namespace {

using MainWindowLayout = MainWindowTest;

TEST_F(MainWindowLayout, EveryNamedComponentExists)
{
    open();
    const char* const widgets[] = {
        "Panel2", "Panel5", "Panel9", "Panel12", "Panel13", "Panel4", "SI", "SO", "StaticText3", "StaticText4",
        "StaticText5", "DrawGrid1", "DrawGrid2", "ComboBox1", "ComboBox2", "cbSOArrayDim", "Label1", "Label10",
        "XPStatusBar1", "XPStatusBar2", "mmChannels", "mmSOdata"};
    for (const char* name : widgets)
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    for (int k = 1; k <= 8; ++k) {
        for (const QString& name : {QStringLiteral("cbFreqSI%1").arg(k), QStringLiteral("cbFreqSO%1").arg(k),
                                    QStringLiteral("Label%1").arg(k + 1)})
            EXPECT_NE(window->findChild<QWidget*>(name), nullptr) << name.toStdString();
    }
    for (const char* name : {"FileExit1", "ActionDeviceChoice", "DeviceInitialization", "DeviceReset", "SIaddressPusk",
                             "SIfilePusk", "SIstopChannel", "SOsinglePusk", "SOciclePusk", "SOstopChannel",
                             "SOdataClear", "SOdataTest", "FileOpen1", "FileSaveAs1", "FormatList", "ParamFormat",
                             "TimerPeriod", "HelpContents1", "OpenMethodChoice", "devicechoice",
                             "DeviceInitialization1", "DeviceReset1", "mmSIstop", "mmSOstop"})
        EXPECT_NE(window->findChild<QAction*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_NE(window->findChild<QTimer*>(QStringLiteral("Timer1")), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Монитор модуля TELVAR-5"));
    EXPECT_EQ(find<QTableView>("DrawGrid1")->objectName(), QStringLiteral("DrawGrid1"));
    EXPECT_EQ(find<QTableView>("DrawGrid2")->objectName(), QStringLiteral("DrawGrid2"));
}

TEST_F(MainWindowLayout, MenuBarInOrderWithItsItems)
{
    open();
    QStringList titles;
    for (QAction* menu : window->menuBar()->actions())
        titles << menu->text();
    // The captions' words, each with its mnemonic.
    EXPECT_EQ(titles, QStringList({"&Файл", "&Устройство", "&Канал", "&Выходные параметры", "&Настройки", "&Анализ",
                                   "С&тимулы", "&Справка"}));

    auto texts = [](const QMenu* menu) {
        QStringList list;
        for (QAction* item : menu->actions())
            if (!item->isSeparator())
                list << item->text();
        return list;
    };
    EXPECT_EQ(texts(find<QMenu>("mmFile")), QStringList({"&Выход"}));
    EXPECT_EQ(texts(find<QMenu>("mmDevice")), QStringList({"&выбор", "&инициализация", "&останов"}));
    EXPECT_EQ(texts(find<QMenu>("mmChannels")), QStringList({"&входной", "в&ыходной"}));
    EXPECT_EQ(texts(find<QMenu>("mmSIchannel")),
              QStringList({"&адресный прием", "&файловый прием", "&остановить прием"}));
    EXPECT_EQ(texts(find<QMenu>("mmSOchannel")),
              QStringList({"&однократная выдача", "&циклическая выдача", "остановить &выдачу"}));
    EXPECT_EQ(texts(find<QMenu>("mmSOdata")),
              QStringList({"&обнулить", "&тестовые значения", "&восстановить из файла", "&сохранить в файле"}));
    EXPECT_EQ(texts(find<QMenu>("mmSettings")),
              QStringList({"&десятичные форматы", "&форматы параметров", "&период обновления экрана"}));
    EXPECT_EQ(texts(find<QMenu>("mmAnalysis")),
              QStringList({"&Метки канала", "&Тренды", "&Обзор модуля", "&Поток слов", "&Запись", "Запись по &условию…", "&Экспорт CSV",
                           "Экспорт CSV &для Excel", "&Журнал модуля"}));
    EXPECT_EQ(texts(find<QMenu>("mmStimulus")), QStringList({"&Генератор параметров…", "&Воспроизведение…"}));
    EXPECT_EQ(texts(find<QMenu>("mmHelp")), QStringList({"&Справка"}));
    EXPECT_EQ(find<QAction>("devicechoice")->statusTip(),
              QStringLiteral("Выбор устройства из установленных в компьютере"));
    EXPECT_EQ(find<QAction>("mmHelpContents1")->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(MainWindowLayout, ToolbarButtonsInOrderWithSeparatorsHintsAndIcons)
{
    open();
    auto* toolBar = find<QToolBar>("ToolBar1");
    EXPECT_EQ(toolBar->height(), 30);
    QStringList order;
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator())
            order << "|";
        else if (QWidget* w = toolBar->widgetForAction(action))
            order << w->objectName();
    }
    EXPECT_EQ(order.join(' '), QStringLiteral("tbExit | tbDeviceChoice tbDeviceIni tbDeviceReset | tbSIaddressPusk "
                                              "tbSIfilePusk tbSIstop | tbSOsinglePusk tbSOciclePusk tbSOstop | "
                                              "tbSOdataClear tbSOdataTest tbSOdataOpen tbSOdataSave | tbFormat "
                                              "tbParamFormat tbTimer | tbHelp"));

    struct Button {
        const char* name;
        const char* hint;
        int icon;
    };
    const Button buttons[] = {
        {"tbExit", "", 14},
        {"tbDeviceChoice", "Выбор устройства", 20},
        {"tbDeviceIni", "инициализация устройства", 25},
        {"tbDeviceReset", "останов устройства", 22},
        {"tbSIaddressPusk", "пуск адресного приема", 13},
        {"tbSIfilePusk", "пуск файлового приема", 15},
        {"tbSIstop", "останов приема", 11},
        {"tbSOsinglePusk", "пуск однократной выдачи", 17},
        {"tbSOciclePusk", "пуск циклической выдачи", 16},
        {"tbSOstop", "останов выдачи", 12},
        {"tbSOdataClear", "обнуление массива выходных параметров", 23},
        {"tbSOdataTest", "заполнение массива выходных параметров тестовыми значениями", 24},
        {"tbSOdataOpen", "Восстановить выходные параметры из файла", 18},
        {"tbSOdataSave", "Сохранить выходные параметры в файле", 19},
        {"tbFormat", "Десятичные форматы", 26},
        {"tbParamFormat", "задание соответствия формата физическому параметру", 27},
        {"tbTimer", "изменить период обновления экрана", 21},
        {"tbHelp", "", 10},
    };
    const IconSet icons;
    for (const Button& b : buttons) {
        auto* button = find<QToolButton>(b.name);
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.hint)) << b.name;
        EXPECT_EQ(button->size(), QSize(28, 26)) << b.name;
        EXPECT_TRUE(button->autoRaise()) << b.name;
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << b.name;
        EXPECT_EQ(button->icon().pixmap(16).toImage(), icons.at(b.icon).pixmap(16).toImage()) << b.name;
    }
    EXPECT_EQ(command(Command::OpenMethodChoice)->statusTip(), QStringLiteral("для формирования исходного кода"));
}

TEST_F(MainWindowLayout, MenuItemsShowNoHintsOnlyTheToolButtonsDo)
{
    open();
    choose();
    initialise(); // every menu can be opened
    int items = 0;
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        SCOPED_TRACE(menu->objectName().toStdString());
        menu->popup(QPoint(0, 0));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        for (QAction* item : menu->actions()) {
            if (item->isSeparator() || item->menu())
                continue;
            const QPoint at = menu->actionGeometry(item).center();
            QHelpEvent hover(QEvent::ToolTip, at, menu->mapToGlobal(at));
            QApplication::sendEvent(menu, &hover);
            EXPECT_FALSE(QToolTip::isVisible()) << item->objectName().toStdString() << ": " << QToolTip::text().toStdString();
            QToolTip::hideText();
            ++items;
        }
        menu->close();
    }
    EXPECT_EQ(items, 29);
}

TEST_F(MainWindowLayout, ButtonsAndMenuItemsRunTheirCommands)
{
    open();
    int runs = 0;
    QObject::connect(command(Command::TimerPeriod), &QAction::triggered, [&runs] { ++runs; });
    whenModal([](QWidget* modal) { modal->close(); });
    find<QToolButton>("tbTimer")->click();
    whenModal([](QWidget* modal) { modal->close(); });
    find<QAction>("mmTimerPeriod")->trigger();
    EXPECT_EQ(runs, 2);
    // A disabled button runs nothing.
    int inits = 0;
    QObject::connect(command(Command::DeviceInitialization), &QAction::triggered, [&inits] { ++inits; });
    find<QToolButton>("tbDeviceIni")->click();
    EXPECT_EQ(inits, 0);
}

TEST_F(MainWindowLayout, IconsAreDistinctAndDrawn)
{
    const IconSet icons;
    std::set<QByteArray> seen;
    for (int i = 0; i < IconSet::kCount; ++i) {
        const QImage image = icons.at(i).pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(16, 16)) << i;
        int painted = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 20) << "icon " << i;
        seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(IconSet::kCount));
    EXPECT_TRUE(icons.at(IconSet::kCount).isNull());
    EXPECT_TRUE(icons.at(-1).isNull());
}

TEST_F(MainWindowLayout, WindowCoversTheWorkAreaAndPanelsSitWhereDescribed)
{
    open();
    // The frame, not only the client area, covers the work area.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->frameGeometry() == QGuiApplication::primaryScreen()->availableGeometry(); }, 1000))
        << "frame " << window->frameGeometry().width() << "x" << window->frameGeometry().height();
    choose();
    auto* panel2 = find<QWidget>("Panel2");
    auto* panel9 = find<QWidget>("Panel9");
    EXPECT_EQ(panel9->parentWidget(), panel2);
    EXPECT_EQ(panel9->geometry(), QRect(400, 200, 253, 328));

    auto* bar1 = window->XPStatusBar1();
    auto* bar2 = window->XPStatusBar2();
    EXPECT_EQ(bar1->panel(0)->width(), 310);
    EXPECT_EQ(bar1->panel(1)->width(), 360);
    EXPECT_EQ(bar2->panel(0)->width(), 310);
    EXPECT_EQ(bar2->panel(1)->width(), 310);
    // XPStatusBar1 at the very bottom of the work area, XPStatusBar2 right above it.
    EXPECT_EQ(bar1->geometry().bottom(), panel2->height() - 1);
    EXPECT_EQ(bar2->geometry().bottom() + 1, bar1->geometry().top());
}

TEST_F(MainWindowLayout, FontsInPixelSizes)
{
    open();
    for (const char* name : {"StaticText3", "StaticText4", "StaticText5"}) {
        const QFont font = find<QLabel>(name)->font();
        EXPECT_EQ(font.pixelSize(), 19) << name;
        EXPECT_TRUE(font.bold() && font.italic()) << name;
        EXPECT_TRUE(QFontInfo(font).fixedPitch()) << name;
    }
    for (const char* name : {"DrawGrid1", "DrawGrid2", "ComboBox1", "ComboBox2"}) {
        const QFont font = find<QWidget>(name)->font();
        EXPECT_EQ(font.pixelSize(), 13) << name;
        EXPECT_TRUE(QFontInfo(font).fixedPitch()) << name;
    }
    EXPECT_EQ(find<QTabBar>("SI")->font().pixelSize(), 11);
    EXPECT_EQ(find<QTabBar>("SO")->font().pixelSize(), 11);
    EXPECT_EQ(find<QComboBox>("cbFreqSO3")->font().pixelSize(), 11);
    EXPECT_EQ(find<QLabel>("StaticText5")->palette().color(QPalette::WindowText),
              window->palette().color(QPalette::Highlight));
    EXPECT_EQ(find<QLabel>("StaticText3")->palette().color(QPalette::WindowText),
              window->palette().color(QPalette::Link));
}

TEST_F(MainWindowLayout, DataPanelListsAndTabs)
{
    open();
    auto* si = find<QTabBar>("SI");
    auto* so = find<QTabBar>("SO");
    ASSERT_EQ(si->count(), 8);
    ASSERT_EQ(so->count(), 8);
    EXPECT_EQ(si->tabText(0), QStringLiteral("Вх.канал 1"));
    EXPECT_EQ(so->tabText(7), QStringLiteral("Вых.канал 8"));
    auto* top1 = find<QComboBox>("ComboBox1");
    EXPECT_EQ(top1->count(), 256);
    EXPECT_EQ(top1->itemText(255), QStringLiteral("255"));
    EXPECT_EQ(top1->toolTip(), QStringLiteral("задать номер ячейки, отображаемой в верхней строке"));
    EXPECT_EQ(find<QComboBox>("ComboBox2")->toolTip(),
              QStringLiteral("задать индекс параметра, отображаемого в верхней строке"));
    auto* size = find<QComboBox>("cbSOArrayDim");
    EXPECT_EQ(size->count(), 256);
    EXPECT_EQ(size->itemText(0), QStringLiteral("1"));
    EXPECT_EQ(size->currentText(), QStringLiteral("256"));
    EXPECT_EQ(find<QLabel>("Label10")->text(), QStringLiteral("Размер массива , слов ПК"));
    EXPECT_EQ(find<QLabel>("StaticText3")->text(), QStringLiteral("Буфер входного канала № 1 "));
    EXPECT_EQ(find<QLabel>("StaticText4")->text(), QStringLiteral("Массив выходных параметров канала №1"));
    EXPECT_EQ(find<QLabel>("StaticText5")->text(), QStringLiteral("Частоты каналов"));
    // The dialogs have a Label1 of their own.
    EXPECT_EQ(child<QLabel>(find<QWidget>("Panel9"), "Label1")->text(), QStringLiteral("входные ПК        выходные ПК"));
    EXPECT_EQ(find<QLabel>("Label9")->text(), QStringLiteral("канал 8"));
}

} // namespace
} // namespace telvar5::widgets_test
