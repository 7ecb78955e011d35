#include "gui/FileDialogFilter.h"

#include <QRegularExpression>
#include <algorithm>

namespace telvar5 {

namespace {
// "*.*" means every file in the program's form; Qt's own dialog takes "*" for that.
#ifdef _WIN32
const QString kEveryFile = QStringLiteral("*.*");
#else
const QString kEveryFile = QStringLiteral("*");
#endif

// The description without a list of patterns at its end ("Файлы (*.so)" gives
// "Файлы"): the filter shows the patterns it really takes after it, so a list
// of the description's own would show twice, or show patterns it does not take.
// A closing parenthesis that holds no pattern is part of the name and stays.
QString withoutPatternList(const QString& description)
{
    if (!description.endsWith(QLatin1Char(')')))
        return description;
    const qsizetype open = description.lastIndexOf(QLatin1Char('('));
    if (open < 0)
        return description;
    static const QRegularExpression separators(QStringLiteral("[\\s;,]+"));
    const QStringList listed =
        description.mid(open + 1, description.size() - open - 2).split(separators, Qt::SkipEmptyParts);
    const bool patterns = !listed.isEmpty() && std::all_of(listed.begin(), listed.end(), [](const QString& p) {
        return p.contains(QLatin1Char('*')) || p.contains(QLatin1Char('?'));
    });
    return patterns ? description.left(open).trimmed() : description;
}
} // namespace

QStringList qtNameFilters(const std::string& barFilter)
{
    const QStringList parts = QString::fromStdString(barFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            patterns << (trimmed == QLatin1String("*.*") ? kEveryFile : trimmed);
        }
        if (patterns.isEmpty())
            continue;
        // The every-file pair without a description of its own gets one.
        const QString description = parts[i].trimmed() == QLatin1String("*.*") && patterns == QStringList{kEveryFile}
            ? QStringLiteral("Все файлы")
            : withoutPatternList(parts[i].trimmed());
        const QString listed = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        filters << (description.isEmpty() ? listed : description + QLatin1Char(' ') + listed);
    }
    return filters;
}

} // namespace telvar5
