#pragma once
// The fonts of the main window and its dialogs, all in pixel sizes so they look
// the same on every screen: a fixed-pitch face for grids, titles and lists of
// numbers, a sans-serif face for tabs, the bit-rate panel and the status bars.
#include <QFont>

namespace telvar5::ui {

// "Courier New" (fontconfig maps it to Liberation Mono where it is missing).
QFont fixedFont(int pixelSize);
// The titles over the grids and over the bit-rate panel: fixed pitch, bold italic, 19 px.
QFont titleFont();
QFont sansFont(int pixelSize);

inline constexpr int kGridFontPx = 13;
inline constexpr int kSmallFontPx = 11;

} // namespace telvar5::ui
