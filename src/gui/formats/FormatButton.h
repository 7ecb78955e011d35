#pragma once
// The push buttons of the format editors: never a default button, so Enter
// typed into a grid cell presses none of them. The "+" and "-" buttons are set
// in bold 27-pixel sans-serif.
#include <QPushButton>

namespace telvar5 {

QPushButton* makeFormatButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);

} // namespace telvar5
