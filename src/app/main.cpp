// The monitor of the TELVAR-5: the application object, the working folder a
// shortcut asked for, the device bus of this platform, the main window and its
// dialogs, then the event loop. The program reads no environment variable or
// registry key of its own (it only puts back what Qt's file dialog kept, see
// ToolkitSettingsRestorer), and of its command line only its own options
// (core/MonitorArguments.h).
#include <QCoreApplication>
#include <QStandardPaths>
#include <QTranslator>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>

#include "app/MonitorApplication.h"
#include "app/ToolkitSettingsRestorer.h"
#include "core/MonitorArguments.h"
#include "core/ProgramArguments.h"
#include "core/UserWorkingFolder.h"
#include "formats/ReplaceFile.h"
#include "device/PlatformDeviceBus.h"
#include "gui/QtCompat.h"
#include "gui/QtUserPrompts.h"
#include "gui/TMainFrm.h"
#include "gui/analysis/AnalysisMenu.h"

int main(int argc, char** argv)
{
    // Qt is given the program's name only, so no argument reaches the toolkit.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    telvar5::MonitorApplication app(qtArgc, qtArgv);
    // Declared before the windows, so it goes after every file dialog has written its settings.
    const telvar5::ToolkitSettingsRestorer toolkitSettings;
    // The toolkit's own texts (edit menus, standard buttons) in Russian, like the rest of the program.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_ru"), telvar5::qtcompat::translationsPath()))
        app.installTranslator(&toolkitTexts);
    try {
        const telvar5::MonitorArguments arguments =
            telvar5::MonitorArguments::parse(telvar5::programArguments(argc, argv));
        // A configuration that cannot be read leaves no module installed: the device
        // choice dialog then lists none, as on a computer without the card.
        telvar5::QtUserPrompts prompts;
        // Named relative to the folder the program was started in, before it enters the user's.
        std::optional<std::filesystem::path> recording;
        if (arguments.recording) {
            std::error_code error;
            recording = std::filesystem::absolute(*arguments.recording, error);
            if (error)
                recording = arguments.recording;
        }
        if (arguments.userFolder) {
            // Before the formats settings file and the virtual module's configuration are read from it.
            const auto documents = telvar5::pathFromUtf8(
                QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
            const auto program = telvar5::pathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
            std::vector<std::filesystem::path> seeds;
            for (const std::filesystem::path& seed : arguments.seeds)
                seeds.push_back(program / seed);
            const std::string problem = telvar5::enterUserFolder(documents / *arguments.userFolder, seeds);
            if (!problem.empty())
                prompts.showError(telvar5::kProgramTitle, problem);
        }
        const telvar5::PlatformDeviceBus platform = telvar5::createPlatformDeviceBus(arguments.virtualModuleConfig);
        telvar5::TMainFrm window(*platform.bus, prompts);
        // A slow driver's reads go on off the UI thread: the window answers whatever a request costs.
        window.useDeviceThread();
        window.show();
        if (recording)
            window.analysisMenu()->openRecording(*recording); // a file it cannot read is said in its window
        app.exec();
    } catch (const std::exception& e) {
        telvar5::MonitorApplication::showException(QString::fromUtf8(e.what()));
    } catch (...) {
        telvar5::MonitorApplication::showException(QString());
    }
    return 0;
}
