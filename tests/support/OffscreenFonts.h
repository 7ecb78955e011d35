#pragma once
// On Windows the offscreen platform sees only the fonts in its own font folder
// (QT_QPA_FONTDIR), never the system's, so "Courier New" and "Arial" are not
// there. The Windows test run puts the metric-compatible Liberation fonts in
// that folder, and this gives them the Windows names, as fontconfig does on Linux.
#include <QFont>
#include <QGuiApplication>

namespace telvar5::test {

inline void nameOffscreenFonts()
{
#ifdef _WIN32
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    }
#endif
}

} // namespace telvar5::test
