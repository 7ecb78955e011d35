#pragma once
// The program's Windows-1251 texts (tags, units, typed cells) as the widgets
// show and take them, through the program's own table: the toolkit's
// converters for this code page need ICU, which a Qt built without it lacks.
#include <QChar>
#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

#include "formats/Cp1251.h"

namespace telvar5 {

// Where a character has no byte in the code page, as the toolkit's converter
// gave it: the ASCII substitute character, one byte for one character.
inline constexpr char kCp1251Substitute = '\x1A';

inline QChar qcharFromCp1251(char byte) { return QChar(charFromCp1251(static_cast<std::uint8_t>(byte))); }

// One character per byte.
QString textFromCp1251(std::string_view bytes);

// One byte per character, a surrogate pair counting as one character.
std::string cp1251FromText(QStringView text);

} // namespace telvar5
