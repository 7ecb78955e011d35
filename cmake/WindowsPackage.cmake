# The Windows packages of what `cmake --install` lays out: an installer made
# with NSIS (Start-menu entries for the monitor and its help, the demo files,
# an uninstaller) and a portable zip of the same folder. `cpack` in the build
# directory makes both; scripts/test-windows-gui.sh checks their file lists
# and installs the installer silently under wine.
set(CPACK_PACKAGE_NAME telvar5)
set(CPACK_PACKAGE_VENDOR "TELVAR-5 monitor developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Monitor and test program for the TELVAR-5 ARINC 429 module")
set(CPACK_PACKAGE_FILE_NAME "telvar5-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "TELVAR-5")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "TELVAR-5")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS ZIP)

# The zip unpacks into one folder of its own.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)

set(CPACK_NSIS_PACKAGE_NAME "TELVAR-5 ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "TELVAR-5 ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit Unicode installer: the Russian names of the shortcuts survive, and
# it runs where only 64-bit programs do (wine64 in the tests).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALLED_ICON_NAME "telvar5-monitor.exe")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "telvar5-monitor.exe")
# The Start-menu folder: the monitor, its help and the demo folder (and the
# uninstaller, which the installer always adds there).
set(CPACK_PACKAGE_EXECUTABLES "telvar5-monitor" "Монитор модуля TELVAR-5")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_MENU_LINKS
  "help/help.html" "Справка монитора TELVAR-5"
  "demo" "Демонстрационные файлы TELVAR-5")

# Without the card: the monitor on the virtual module of the demo, started in
# the demo folder so that it finds the demo's configuration and formats there.
# (NSIS takes single quotes; CPack reads these values twice, hence \\\\.)
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  SetOutPath '$INSTDIR\\\\demo'
  CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Демонстрация без модуля.lnk' '$INSTDIR\\\\telvar5-monitor.exe' '--virtual-module telvar5-vdrv.conf'
  SetOutPath '$INSTDIR'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Демонстрация без модуля.lnk'")

include(CPack)
