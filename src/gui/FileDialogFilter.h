#pragma once
// File dialog filters, from the program's form (description and pattern
// pairs between bars, "Файлы (*.so)|*.so|*.*|*.*") to Qt's name filters
// ("Файлы (*.so) (*.so)", "*.* (*)"). Patterns of one pair are separated by
// ';'; "*.*" means every file, as it does in the program's form.
#include <QStringList>
#include <string>

namespace telvar5 {

QStringList qtNameFilters(const std::string& barFilter);

} // namespace telvar5
