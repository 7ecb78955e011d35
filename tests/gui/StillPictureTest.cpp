// The grids' scroll bars and frames repaint from pictures while they look the
// same: a picture must be exactly what the style draws, the style must not be
// asked again while nothing changed, and a change must show at once.
#include <QProxyStyle>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "gui/FixedColumnGrid.h"
#include "gui/PicturedScrollBar.h"

using namespace telvar5;

namespace {

// The default style, counting the scroll bars and frames it draws.
class CountingStyle : public QProxyStyle {
public:
    mutable int drawn = 0;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        drawn += control == CC_ScrollBar;
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        drawn += element == CE_ShapedFrame;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// The widget alone, without background or children, as on a screen of 32-bit pixels.
QImage rendered(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

std::unique_ptr<QWidget> scrollBar(Qt::Orientation orientation, int value, bool enabled)
{
    auto bar = std::make_unique<PicturedScrollBar>(orientation);
    bar->setRange(0, 200);
    bar->setPageStep(40);
    bar->setValue(value);
    bar->setEnabled(enabled);
    bar->resize(orientation == Qt::Vertical ? QSize(16, 300) : QSize(300, 16));
    return bar;
}

} // namespace

TEST(StillPicture, RepaintsAsTheStyleDrawsUntilTheLookChanges)
{
    struct Case {
        const char* what;
        std::function<std::unique_ptr<QWidget>()> make;
        std::function<void(QWidget&)> change;
    };
    const Case cases[] = {
        {"a vertical scroll bar, scrolled", [] { return scrollBar(Qt::Vertical, 0, true); },
         [](QWidget& w) { static_cast<QScrollBar&>(w).setValue(120); }},
        {"a horizontal scroll bar, enabled", [] { return scrollBar(Qt::Horizontal, 30, false); },
         [](QWidget& w) { w.setEnabled(true); }},
        {"a grid's frame, resized",
         [] {
             auto grid = std::make_unique<FixedColumnGrid>();
             grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
             grid->resize(200, 300);
             return std::unique_ptr<QWidget>(std::move(grid));
         },
         [](QWidget& w) { w.resize(230, 280); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountingStyle style;
        const std::unique_ptr<QWidget> widget = c.make();
        widget->setStyle(&style);
        for (const char* look : {"first", "changed"}) {
            SCOPED_TRACE(look);
            const QImage drawn = rendered(*widget); // a new look: the style draws it
            EXPECT_EQ(rendered(*widget), drawn);    // the same look: its picture
            const int asked = style.drawn;
            EXPECT_EQ(rendered(*widget), drawn);
            EXPECT_EQ(style.drawn, asked) << "the style drew what the picture holds";
            c.change(*widget);
        }
    }
}
