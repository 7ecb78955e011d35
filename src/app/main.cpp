// The monitor of the TELVAR-5: the application object, the device bus of this
// platform, the main window and its dialogs, then the event loop. The program
// reads no command line, environment variable or registry key of its own.
#include <QLibraryInfo>
#include <QTranslator>
#include <exception>
#include <memory>

#include "app/MonitorApplication.h"
#include "gui/QtUserPrompts.h"
#include "gui/TMainFrm.h"
#include "device/PlatformDeviceBus.h"

int main(int argc, char** argv)
{
    // Qt is given the program's name only, so no argument reaches the toolkit either.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    telvar5::MonitorApplication app(qtArgc, qtArgv);
    // The toolkit's own texts (edit menus, standard buttons) in Russian, like the rest of the program.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkitTexts);
    try {
        const std::unique_ptr<telvar5::DeviceBus> bus = telvar5::createPlatformDeviceBus();
        telvar5::QtUserPrompts prompts;
        telvar5::TMainFrm window(*bus, prompts);
        window.show();
        app.exec();
    } catch (const std::exception& e) {
        telvar5::MonitorApplication::showException(QString::fromUtf8(e.what()));
    } catch (...) {
        telvar5::MonitorApplication::showException(QString());
    }
    return 0;
}
