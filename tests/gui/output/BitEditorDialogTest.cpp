// The word bit editor TFrmSObinParam over the core's copy of a word: where
// its boxes stand, how they show a word, and apply against cancel.
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "core/RunState.h"
#include "core/output/WordBitEditor.h"
#include "gui/output/TFrmSObinParam.h"

using namespace telvar5;

namespace {

class BitEditorDialog : public ::testing::Test {
protected:
    std::unique_ptr<RunState> run = std::make_unique<RunState>();
    WordBitEditor editor{*run};
    TFrmSObinParam dialog{editor};

    std::uint32_t& word(int k) { return run->outputRecord[2].words[static_cast<std::size_t>(k)]; }
    void showWord(int k, std::uint32_t value)
    {
        run->curOutputIndex = 2;
        run->wordIndex = static_cast<std::uint16_t>(k);
        word(k) = value;
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    std::uint32_t ticks() const
    {
        std::uint32_t shown = 0;
        for (int box = 1; box <= 32; ++box)
            if (dialog.CheckBox(box)->isChecked())
                shown |= 1u << (32 - box);
        return shown;
    }
};

struct Place {
    const char* name;
    QRect rect;
    bool inPanel;
};

const Place kPlaces[] = {
    {"CheckBox1", {16, 44, 17, 17}, false},  {"CheckBox2", {17, 28, 17, 17}, true},
    {"CheckBox17", {280, 28, 17, 17}, true}, {"CheckBox24", {404, 28, 17, 17}, true},
    {"CheckBox25", {448, 28, 17, 17}, true}, {"CheckBox32", {571, 28, 17, 17}, true},
    {"Panel1", {48, 16, 601, 73}, false},    {"Button1", {416, 96, 75, 25}, false},
    {"Button2", {512, 96, 75, 25}, false},
};

} // namespace

TEST_F(BitEditorDialog, ComponentsWhereTheFormPutsThem)
{
    for (const Place& p : kPlaces) {
        auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(widget, nullptr) << p.name;
        EXPECT_EQ(widget->geometry(), p.rect) << p.name;
        EXPECT_EQ(widget->parentWidget(), p.inPanel ? dialog.Panel1() : static_cast<QWidget*>(&dialog)) << p.name;
    }
    EXPECT_EQ(dialog.Button1()->text(), QStringLiteral("Применить"));
    EXPECT_EQ(dialog.Button2()->text(), QStringLiteral("Отмена"));
    const std::pair<const char*, QPoint> labels[] = {
        {"Label1", {22, 8}}, {"Label2", {18, 24}}, {"Label3", {470, 48}}, {"Label4", {134, 47}}};
    for (const auto& [name, at] : labels) {
        auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->pos(), at) << name;
        // No text is cut off.
        EXPECT_GE(label->width(), label->sizeHint().width()) << name;
        EXPECT_LE(label->geometry().right(), label->parentWidget()->width()) << name;
    }
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label3"))->text(), QStringLiteral("Адрес Параметра"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Код Параметра"));
    EXPECT_TRUE(dialog.isModal());
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST_F(BitEditorDialog, BoxesShowTheWordAndTheCaptionItsIndex)
{
    const std::pair<int, std::uint32_t> words[] = {{0, 0x80000001u}, {255, 0x000000FFu}, {7, 0x5A5AA5A5u}};
    for (const auto& [index, value] : words) {
        showWord(index, value);
        EXPECT_EQ(ticks(), value) << index;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Задание кода выходного параметра (индекс %1)").arg(index));
        dialog.reject();
    }
    showWord(0, 0x80000001u);
    EXPECT_TRUE(dialog.CheckBox(1)->isChecked());
    EXPECT_TRUE(dialog.CheckBox(32)->isChecked());
    dialog.reject();
}

TEST_F(BitEditorDialog, ApplyWritesTheTicksBackAndEveryOtherWayOutDoesNot)
{
    enum class Close { Apply, Cancel, CloseBox };
    struct Case {
        const char* name;
        std::uint32_t word;
        std::vector<int> clicks;
        Close close;
        std::uint32_t after;
    };
    const Case cases[] = {
        {"bit 9 on a zero word", 0, {24}, Close::Apply, 0x00000100u},
        {"apply without a change", 0x12345678u, {}, Close::Apply, 0x12345678u},
        {"two boxes cancelled", 0x12345678u, {1, 32}, Close::Cancel, 0x12345678u},
        {"closed by the close box", 0xFFu, {25}, Close::CloseBox, 0xFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        showWord(9, c.word);
        for (int box : c.clicks)
            QTest::mouseClick(dialog.CheckBox(box), Qt::LeftButton, {}, QPoint(6, 8));
        if (c.close == Close::Apply)
            QTest::mouseClick(dialog.Button1(), Qt::LeftButton);
        else if (c.close == Close::Cancel)
            QTest::mouseClick(dialog.Button2(), Qt::LeftButton);
        else
            dialog.close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), c.close == Close::Apply ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(word(9), c.after);
        EXPECT_EQ(word(10), 0u);
    }
}

TEST_F(BitEditorDialog, EnterNeitherAppliesNorCloses)
{
    const std::pair<const char*, Qt::Key> presses[] = {{"CheckBox24", Qt::Key_Return},
                                                       {"CheckBox24", Qt::Key_Enter},
                                                       {"Button1", Qt::Key_Return},
                                                       {"Button2", Qt::Key_Enter}};
    for (const auto& [focus, key] : presses) {
        SCOPED_TRACE(focus);
        showWord(9, 0);
        QTest::mouseClick(dialog.CheckBox(24), Qt::LeftButton, {}, QPoint(6, 8));
        auto* target = dialog.findChild<QWidget*>(QString::fromLatin1(focus));
        ASSERT_NE(target, nullptr);
        target->setFocus();
        QTest::keyClick(target, key);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(word(9), 0u) << "the ticked bit went into the array";
        EXPECT_EQ(ticks(), 0x00000100u) << "the tick is still there to apply";
        dialog.reject();
    }
}
