#include "gui/FileDialogFilter.h"

namespace telvar5 {

namespace {
// "*.*" means every file in the program's form; Qt's own dialog takes "*" for that.
#ifdef _WIN32
const QString kEveryFile = QStringLiteral("*.*");
#else
const QString kEveryFile = QStringLiteral("*");
#endif
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
            : parts[i].trimmed();
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

} // namespace telvar5
