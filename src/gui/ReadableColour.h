#pragma once
// A text colour that stays readable on its background in every colour scheme:
// the colour the program specifies where it stands out enough (contrast ratio
// of at least 3:1, the mark for large text: the titles are large and bold, and
// what this guards against is white on white, 1:1), else black or white,
// whichever stands out more. A high-contrast black scheme thus keeps every
// text legible, and the usual light schemes keep the program's own colours.
#include <QColor>

namespace telvar5 {

QColor readableOn(const QColor& background, const QColor& preferred);
// The contrast ratio of two colours, 1 (none) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

} // namespace telvar5
