#pragma once
// File dialog filters, from the program's form (description and pattern
// pairs between bars, "Файлы (*.so)|*.so|*.*|*.*") to Qt's name filters
// ("Файлы (*.so)", "Все файлы (*)"). Patterns of one pair are separated by
// ';'; "*.*" means every file, as it does in the program's form, and a pair
// "*.*|*.*" is named "Все файлы". The filter lists the patterns it takes once,
// after the description, in place of a list the description ends with.
#include <QStringList>
#include <string>

namespace telvar5 {

QStringList qtNameFilters(const std::string& barFilter);

} // namespace telvar5
