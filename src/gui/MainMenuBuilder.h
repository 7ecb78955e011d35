#pragma once
// Builds the main window's commands, its menu bar and its toolbar from one
// table: captions, hints, icons, the names of the menu items and tool buttons.
#include <QMainWindow>

#include "gui/IconSet.h"
#include "gui/MainCommands.h"

namespace telvar5 {

class MainMenuBuilder {
public:
    MainMenuBuilder(QMainWindow& window, const IconSet& icons);
    // Creates everything once; the commands are children of the window.
    MainCommands build();

private:
    void buildCommands();
    void buildMenus();
    void buildToolBar();

    QMainWindow& window_;
    const IconSet& icons_;
    MainCommands commands_;
};

} // namespace telvar5
