// The application shell: help, leaving the program, the report of an
// exception that escapes a handler, the Yes/No box, the open-method dialog
// and what Qt's file dialog keeps.
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>
#include <memory>
#include <stdexcept>

#include "MainWindowFixture.h"
#include "gui/DataPanel.h"
#include "gui/HelpWindow.h"
#include "gui/MenuKeyboard.h"
#include "gui/input/InputBufferView.h"
#include "app/MonitorApplication.h"
#include "app/ToolkitSettingsRestorer.h"
#include "gui/QtUserPrompts.h"
#include "gui/device/TFrmOpenMethodChoice.h"

namespace telvar5::widgets_test {
namespace {

using Shell = MainWindowTest;

TEST_F(Shell, ClosingWithoutAModuleSendsNothing)
{
    open();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(bus.countAfterSearch(), 0);
}

TEST_F(Shell, ClosingAfterAChoiceStopsTheModuleOnce)
{
    open();
    choose(1);
    const int before = bus.count(ReqDeviceReset);
    window->close();
    EXPECT_EQ(bus.count(ReqDeviceReset), before + 1);
    EXPECT_EQ(bus.last(ReqDeviceReset)->handle, 102u);
}

TEST_F(Shell, ClosingAfterAStopStopsTheModuleOnceMore)
{
    open();
    choose();
    initialise();
    stop();
    EXPECT_EQ(bus.count(ReqDeviceReset), 1);
    window->close();
    EXPECT_EQ(bus.count(ReqDeviceReset), 2);
    EXPECT_FALSE(window->Timer1()->isActive());
}

TEST_F(Shell, HelpOpensByMenuButtonAndF1AndExitClosesIt)
{
    open();
    HelpWindow* help = window->helpWindow();
    EXPECT_FALSE(help->isVisible());
    find<QAction>("mmHelpContents1")->trigger();
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Состояния устройства")));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("TLV5frmt.stt")));
    help->close();

    find<QToolButton>("tbHelp")->click();
    EXPECT_TRUE(help->isVisible());
    help->close();

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_TRUE(help->isVisible());

    choose();
    const int resets = bus.count(ReqDeviceReset);
    find<QAction>("mmFileExit1")->trigger();
    EXPECT_FALSE(help->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(bus.count(ReqDeviceReset), resets + 1);
}

// The help says what differs on the platform the program runs on, and only that.
TEST_F(Shell, TheHelpDescribesThePlatformItRunsOn)
{
#ifdef _WIN32
    constexpr bool onWindows = true;
#else
    constexpr bool onWindows = false;
#endif
    open();
    find<QAction>("mmHelpContents1")->trigger();
    const QString text = window->helpWindow()->browser()->toPlainText();
    struct Case {
        const char* phrase;
        bool windows; // a phrase of the Windows paragraphs, else of the Linux ones
    };
    const Case cases[] = {
        {"стандартный звуковой сигнал Windows", true},
        {"«Демонстрация без модуля»", true},
        {"telvar5-monitor.exe --virtual-module", true},
        {"звуковой сигнал X-сервера", false},
        {"cp -r /usr/share/telvar5/demo", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text.contains(QString::fromUtf8(c.phrase)), c.windows == onWindows) << c.phrase;
    EXPECT_TRUE(text.contains(QStringLiteral("Текст в ячейке становится красным"))) << "what every platform does";
}

TEST_F(Shell, OpenMethodDialogShowsAndStoresTheMethod)
{
    open();
    int& method = window->monitor().run().openMethod;
    auto pick = [this](int item, int* shown) {
        whenModal([item, shown](QWidget* modal) {
            auto* dialog = qobject_cast<TFrmOpenMethodChoice*>(modal);
            ASSERT_NE(dialog, nullptr);
            *shown = dialog->itemIndex();
            dialog->setItemIndex(item);
            dialog->close();
        });
        command(Command::OpenMethodChoice)->trigger();
    };
    TFrmOpenMethodChoice* dialog = window->FrmOpenMethodChoice();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Способ открытия устройства"));
    const auto items = dialog->rg_OpenMethod()->findChildren<QRadioButton*>();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("по серийному номеру"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("по порядковому номеру"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("по символьному имени"));

    int shown = -1;
    pick(2, &shown);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(method, 2);
    pick(1, &shown);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(method, 1);
    // A confirmed choice sets the method back to the first item.
    choose();
    pick(1, &shown);
    EXPECT_EQ(shown, 0);
}

class Thrower : public QObject {
public:
    bool standard = true;
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        if (standard)
            throw std::runtime_error("сбой обработчика");
        throw 42;
    }
};

TEST(ExceptionReport, ShowsTheMessageAndTheProgramGoesOn)
{
    ASSERT_NE(qobject_cast<MonitorApplication*>(qApp), nullptr);
    Thrower thrower;
    QStringList reports;
    for (bool standard : {true, false}) {
        thrower.standard = standard;
        whenModal([&reports](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            reports << box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QEvent event(QEvent::User);
        EXPECT_FALSE(QCoreApplication::sendEvent(&thrower, &event));
    }
    EXPECT_EQ(reports, QStringList({QStringLiteral("сбой обработчика"), QString()}));
}

TEST(QtPrompts, AsksYesOrNoWithTheGivenTexts)
{
    QtUserPrompts prompts;
    for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
        QString title, text;
        whenModal([&, answer](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QStringLiteral("&Да"));
            EXPECT_EQ(box->button(QMessageBox::No)->text(), QStringLiteral("&Нет"));
            box->button(answer)->click();
        });
        EXPECT_EQ(prompts.askYesNo("ВНИМАНИЕ!", "Продолжить?"), answer == QMessageBox::Yes);
        EXPECT_EQ(title, QStringLiteral("ВНИМАНИЕ!"));
        EXPECT_EQ(text, QStringLiteral("Продолжить?"));
    }
}

TEST(MenuMnemonics, EachCaptionTakesAFreeCyrillicLetterAndKeepsItsWords)
{
    struct Case {
        QStringList captions, marked;
    };
    const Case cases[] = {
        {{"Файл", "Устройство"}, {"&Файл", "&Устройство"}},
        // A letter taken: the start of a later word, else a later letter.
        {{"однократная выдача", "остановить выдачу"}, {"&однократная выдача", "остановить &выдачу"}},
        {{"входной", "выходной"}, {"&входной", "в&ыходной"}},
        // A caption marked already keeps its letter and is served first.
        {{"Стимулы", "&Справка"}, {"С&тимулы", "&Справка"}},
        // Latin letters are passed over, and a caption without a free letter stays as it is.
        {{"Экспорт CSV", "Экспорт CSV для Excel"}, {"&Экспорт CSV", "Экспорт CSV &для Excel"}},
        {{"Да", "да", "OK"}, {"&Да", "д&а", "OK"}},
        {{"R&&D отдел"}, {"R&&D &отдел"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withMnemonics(c.captions), c.marked) << c.captions.join(QLatin1Char('|')).toStdString();
}

// As in a Windows program: F10, or Alt pressed alone, selects the first menu
// without opening it, and again gives the keyboard back; Alt with a menu's
// letter opens that menu. Wherever the focus is in the main window.
TEST_F(Shell, F10AndAltSelectTheMenuBarAndAltWithALetterOpensItsMenu)
{
    open();
    choose();
    initialise();
    // Asked of the window system itself: Qt 5's offscreen platform keeps the closed dialogs' focus.
    window->windowHandle()->requestActivate();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
    QMenuBar* bar = window->menuBar();
    for (QWidget* focus : {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(window->Panel5()->DrawGrid2())}) {
        focus->setFocus();
        for (Qt::Key key : {Qt::Key_F10, Qt::Key_Alt}) {
            SCOPED_TRACE(focus->objectName().toStdString() + (key == Qt::Key_F10 ? " F10" : " Alt"));
            const QRect first = bar->actionGeometry(bar->actions().value(0));
            const QImage before = bar->grab(first).toImage();
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_EQ(bar->activeAction(), bar->actions().value(0));
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
            EXPECT_NE(bar->grab(first).toImage(), before) << "the selected menu shows as selected";
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_EQ(bar->activeAction(), nullptr);
        }
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), static_cast<Qt::Key>(QChar(u'У').unicode()),
                            QStringLiteral("у"), Qt::AltModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), find<QMenu>("mmDevice"));
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
}

// Qt's file dialog files its settings under Qt's own name whatever the
// program's names; the program leaves that store as it found it.
TEST(ToolkitSettings, WhatTheFileDialogKeptIsPutBackAsItWasFound)
{
#ifdef _WIN32
    GTEST_SKIP() << "the registry cannot be redirected here; the Windows GUI stage checks the installed monitor";
#else
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    const QString store = config.filePath(ToolkitSettingsRestorer::toolkitOrganisation() + ".conf");
    auto toolkit = [] { return std::make_unique<QSettings>(QSettings::UserScope, "QtProject"); };
    struct Case {
        const char* what;
        bool storeBefore;
    };
    for (const Case& c : {Case{"no store before the run", false}, Case{"another program's settings", true}}) {
        SCOPED_TRACE(c.what);
        QFile::remove(store);
        if (c.storeBefore) {
            toolkit()->setValue("FileDialog/lastVisited", "file:///elsewhere");
            toolkit()->setValue("Qt/customColors", 42);
        }
        {
            const ToolkitSettingsRestorer restorer;
            QFileDialog(nullptr, QString(), config.path()).setViewMode(QFileDialog::Detail);
            ASSERT_EQ(toolkit()->value("FileDialog/viewMode").toString(), "Detail") << "the dialog wrote its own";
        }
        EXPECT_EQ(QFileInfo::exists(store), c.storeBefore);
        if (c.storeBefore) {
            EXPECT_EQ(toolkit()->allKeys(), QStringList({"FileDialog/lastVisited", "Qt/customColors"}));
            EXPECT_EQ(toolkit()->value("FileDialog/lastVisited").toString(), "file:///elsewhere");
            EXPECT_EQ(toolkit()->value("Qt/customColors").toInt(), 42);
        }
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
#endif
}

} // namespace
} // namespace telvar5::widgets_test
