// Writes the monitor's window icon, as the program's own IconSet draws it, into
// an icon theme folder: DIR/16x16/apps/telvar5-monitor.png and
// DIR/32x32/apps/telvar5-monitor.png, the sizes the icon set draws exactly.
// Run at build time, with no display.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "gui/IconSet.h"
#include "gui/QtCompat.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("Usage: telvar5-icon-export DIR\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    // The main window takes the same icon for itself.
    const QIcon icon = telvar5::IconSet().at(telvar5::icon::DeviceInit);
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 32}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QPixmap pixmap = telvar5::qtcompat::pixmapOfSize(icon, QSize(size, size));
        const QString file = root.filePath(folder + QStringLiteral("/telvar5-monitor.png"));
        if (pixmap.size() != QSize(size, size) || !root.mkpath(folder) || !pixmap.save(file, "PNG")) {
            std::fprintf(stderr, "telvar5-icon-export: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
