// Texts stay legible in a dark high-contrast scheme: the page selectors' text
// and the side titles stand out on their backgrounds, while a light scheme
// keeps the colours the program was made with.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <gtest/gtest.h>

#include "gui/DataPanel.h"
#include "gui/ReadableColour.h"

using namespace telvar5;

namespace {

// Windows' "High Contrast Black": white text on black, white light shades.
QPalette highContrastBlack()
{
    QPalette p(Qt::white, Qt::black);
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::Dark})
        p.setColor(role, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Light})
        p.setColor(role, Qt::white);
    p.setColor(QPalette::Link, QColor(0x80, 0x80, 0xFF));
    return p;
}

class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette) : saved_(QApplication::palette()) { QApplication::setPalette(palette); }
    ~PaletteScope() { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

void expectLegible(const QWidget& w, QPalette::ColorRole text, QPalette::ColorRole background)
{
    EXPECT_GE(contrastRatio(w.palette().color(text), w.palette().color(background)), 3.0)
        << w.objectName().toStdString() << ": " << w.palette().color(text).name().toStdString() << " on "
        << w.palette().color(background).name().toStdString();
}

} // namespace

TEST(ColourScheme, EveryTextStandsOutInADarkScheme)
{
    const PaletteScope dark(highContrastBlack());
    DataPanel panel;
    for (const QComboBox* chooser : {panel.ComboBox1(), panel.ComboBox2()}) {
        expectLegible(*chooser, QPalette::ButtonText, QPalette::Button);
        expectLegible(*chooser, QPalette::Text, QPalette::Base);
    }
    expectLegible(*panel.StaticText3(), QPalette::WindowText, QPalette::Window);
    expectLegible(*panel.StaticText4(), QPalette::WindowText, QPalette::Window);
}

TEST(ColourScheme, ALightSchemeKeepsTheTitlesColours)
{
    QPalette light(Qt::black, QColor(0xF0, 0xF0, 0xF0));
    light.setColor(QPalette::Link, QColor(0, 0, 0xFF));
    const PaletteScope scope(light);
    DataPanel panel;
    EXPECT_EQ(panel.StaticText3()->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));
    EXPECT_EQ(panel.StaticText4()->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}
