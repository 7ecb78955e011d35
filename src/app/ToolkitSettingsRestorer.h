#pragma once
// Qt's file dialog keeps its history, last folder and view under the
// toolkit's own fixed name, whatever the application's names: on Windows in
// HKCU\Software\QtProject, on Linux in ~/.config/QtProject.conf, shared by
// every Qt program, and no uninstaller removes it. The monitor keeps no
// setting between runs, so what the dialog wrote while it ran is taken back
// when this object goes: the dialog's group as it was found, and the whole
// store when there was none.
#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

namespace telvar5 {

class ToolkitSettingsRestorer {
public:
    // Notes what the store holds now.
    ToolkitSettingsRestorer();
    // Puts it back.
    ~ToolkitSettingsRestorer();
    ToolkitSettingsRestorer(const ToolkitSettingsRestorer&) = delete;
    ToolkitSettingsRestorer& operator=(const ToolkitSettingsRestorer&) = delete;

    // The organisation name Qt's dialogs file their settings under.
    static const QString& toolkitOrganisation();
    // Whether the toolkit's store exists (the registry key or the file).
    static bool storeExists();

private:
    bool storeExisted_ = false;
    std::vector<std::pair<QString, QVariant>> dialogKeys_;
};

} // namespace telvar5
