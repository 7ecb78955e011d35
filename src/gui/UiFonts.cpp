#include "gui/UiFonts.h"

namespace telvar5::ui {

QFont fixedFont(int pixelSize)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

QFont titleFont()
{
    QFont font = fixedFont(19);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

QFont sansFont(int pixelSize)
{
    // Arial's metrics (Liberation Sans where Arial is missing) keep the status lines and list items within their widths.
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace telvar5::ui
