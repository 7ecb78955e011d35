// The refresh period dialog through the command "период обновления экрана":
// what it shows, how typed text becomes the period, and Timer1 afterwards.
#include <QLineEdit>
#include <QPushButton>

#include "MainWindowFixture.h"
#include "gui/TFrmTimerPeriod.h"

namespace telvar5::widgets_test {
namespace {

class TimerPeriodDialog : public MainWindowTest {
protected:
    // Opens the dialog, notes what it shows, types text and applies (or cancels).
    QString enter(const QString& text, bool apply = true)
    {
        QString shown;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TFrmTimerPeriod*>(modal);
            ASSERT_NE(dialog, nullptr);
            shown = dialog->Edit1()->text();
            dialog->Edit1()->setText(text);
            child<QPushButton>(dialog, apply ? "Button1" : "Button2")->click();
        });
        command(Command::TimerPeriod)->trigger();
        return shown;
    }
    int period() const { return window->monitor().run().refreshPeriodMs; }
};

TEST_F(TimerPeriodDialog, LooksAsDescribed)
{
    open();
    TFrmTimerPeriod* dialog = window->FrmTimerPeriod();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Период обновления экрана, мс"));
    EXPECT_EQ(dialog->height(), 117);
    EXPECT_GE(dialog->width(), 264) << "wider only where the title needs it";
    EXPECT_EQ(dialog->Edit1()->geometry(), QRect(64, 16, 97, 21));
    EXPECT_EQ(child<QPushButton>(dialog, "Button1")->text(), QStringLiteral("Применить"));
    EXPECT_EQ(child<QPushButton>(dialog, "Button1")->pos(), QPoint(32, 48));
    EXPECT_EQ(child<QPushButton>(dialog, "Button2")->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(child<QPushButton>(dialog, "Button2")->pos(), QPoint(160, 48));
}

TEST_F(TimerPeriodDialog, TypedTextsBecomePeriodsWithinTheLimits)
{
    open();
    struct Case {
        const char* text;
        int period;
    };
    const Case cases[] = {
        {"50", 100},    {"0", 100},        {"-5", 100},      {"100", 100},   {"9999", 9999},
        {"10000", 10000}, {"99999999", 10000}, {"12345abc", 10000}, {"12ab", 100}, {" 250 ", 10000},
        {" 250", 250},  {"+300", 300},
    };
    for (const Case& c : cases) {
        enter(QString::fromUtf8(c.text));
        EXPECT_EQ(period(), c.period) << '"' << c.text << '"';
        EXPECT_EQ(window->Timer1()->interval(), c.period) << '"' << c.text << '"';
    }
}

TEST_F(TimerPeriodDialog, TextWithoutANumberKeepsThePeriod)
{
    open();
    enter("700");
    enter("");
    EXPECT_EQ(period(), 700);
    enter("ab");
    EXPECT_EQ(period(), 700);
}

TEST_F(TimerPeriodDialog, TheLengthLimitCountsCharactersNotBytes)
{
    open();
    enter("700");
    // Four characters, seven bytes in UTF-8: read as a number, not cut to the upper limit.
    enter(QStringLiteral("123ж"));
    EXPECT_EQ(period(), 123);
    enter(QStringLiteral("жж"));
    EXPECT_EQ(period(), 123);
    enter(QStringLiteral("ввввв"));
    EXPECT_EQ(period(), 10000);
    // A character outside the basic plane counts once.
    enter(QString::fromUcs4(U"12\U0001F600"));
    EXPECT_EQ(period(), 100);
}

TEST_F(TimerPeriodDialog, ShowsTheStoredValueAndCancelChangesNothing)
{
    open();
    EXPECT_EQ(enter("50"), QStringLiteral("500"));
    EXPECT_EQ(enter("3000", false), QStringLiteral("100"));
    EXPECT_EQ(period(), 100);
    EXPECT_EQ(enter("250"), QStringLiteral("100"));
    EXPECT_EQ(enter("250", false), QStringLiteral("250"));

    // The close box cancels too.
    whenModal([](QWidget* modal) {
        qobject_cast<QLineEdit*>(modal->findChild<QLineEdit*>(QStringLiteral("Edit1")))->setText("900");
        modal->close();
    });
    command(Command::TimerPeriod)->trigger();
    EXPECT_EQ(period(), 250);
    EXPECT_EQ(window->Timer1()->interval(), 250);
}

TEST_F(TimerPeriodDialog, ChangeWhileRunningRetimesTheRunningTimer)
{
    open();
    choose();
    initialise();
    enter("200");
    EXPECT_TRUE(window->Timer1()->isActive());
    EXPECT_EQ(window->Timer1()->interval(), 200);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->monitor().run().refreshCounter >= 1; }, 3000));
    stop();
    enter("400");
    EXPECT_FALSE(window->Timer1()->isActive());
    EXPECT_EQ(window->Timer1()->interval(), 400);
}

} // namespace
} // namespace telvar5::widgets_test
