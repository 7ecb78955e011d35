# The Windows packages of what `cmake --install` lays out: an installer made
# with NSIS (Start-menu entries for the monitor and its help, the demo files,
# an uninstaller) and a portable zip of the same folder. `cpack` in the build
# directory makes both; scripts/test-windows-gui.sh checks their file lists
# and installs the installer silently under wine.
set(CPACK_PACKAGE_NAME telvar5)
# The publisher shown in "Программы и компоненты", and the registry key of the installation.
set(CPACK_PACKAGE_VENDOR "Разработчики монитора TELVAR-5")
# The monitor's own names for Qt (src/app/MonitorApplication.h): the vendor and this.
set(TELVAR5_APPLICATION_NAME "telvar5-monitor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Monitor and test program for the TELVAR-5 ARINC 429 module")
# One package for every Windows from 7 SP1 to 11: a 32-bit program runs on
# 64-bit Windows too (WoW64), and the module's own driver is 32-bit code.
set(CPACK_PACKAGE_FILE_NAME "telvar5-${PROJECT_VERSION}-win32")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "TELVAR-5")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "TELVAR-5")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS ZIP)

# The zip unpacks into one folder of its own.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)

# The installer's name, and so the Start-menu folder it proposes, without the
# version; "Установка и удаление программ" shows the version beside it.
set(CPACK_NSIS_PACKAGE_NAME "TELVAR-5")
set(CPACK_NSIS_DISPLAY_NAME "TELVAR-5 ${PROJECT_VERSION}")
# The Program Files folder of 32-bit programs: "Program Files" on 32-bit
# Windows, "Program Files (x86)" on 64-bit Windows.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
# No licence page: the project ships no licence text of its own, and CPack's
# English placeholder would be the only English page. (CPack fills the page's
# line only where it is not set; an NSIS comment stands in its place.)
set(CPACK_NSIS_LICENSE_PAGE "; no licence page")
# A 32-bit Unicode installer, as the programs it installs: the Russian names
# of the shortcuts survive, and it runs on every Windows the programs run on.
set(CPACK_NSIS_DEFINES "Target x86-unicode")
set(CPACK_NSIS_INSTALLED_ICON_NAME "telvar5-monitor.exe")

# The program's folder is not the user's to write, so every shortcut starts
# the monitor in a folder of the user's documents, laid out on its first start
# from the installed files and never overwritten after (--user-folder, --seed):
# "TELVAR-5" with the decimal formats, "TELVAR-5\Демонстрация" with the whole
# demo. The uninstaller removes what the installer put down only.
set(TELVAR5_MONITOR_ARGS "--user-folder TELVAR-5 --seed demo\\\\TLV5frmt.stt")
set(TELVAR5_DEMO_ARGS "--virtual-module telvar5-vdrv.conf --user-folder TELVAR-5\\\\Демонстрация --seed demo")
set(TELVAR5_MONITOR_LINK "Монитор модуля TELVAR-5.lnk")
set(TELVAR5_DEMO_LINK "Демонстрация без модуля.lnk")

# The Start-menu folder: the monitor, the demonstration, the help (and the
# uninstaller, which the installer always adds there).
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_MENU_LINKS "help/help.html" "Справка монитора TELVAR-5")

# The finish page offers to start the monitor, and a desktop shortcut,
# unchecked. The installer runs with administrator rights, and a program it
# started would inherit them (files saved by the monitor would belong to the
# administrators): the monitor is started through its Start-menu shortcut
# opened by Explorer, which runs it as the desktop's user with the shortcut's
# arguments. Without a Start-menu folder Explorer opens the program itself.
# (Explorer splits its command line at commas, not spaces: the path needs no quotes.)
# (NSIS takes single quotes; CPack reads these values twice, hence \\\\ for
# one backslash.)
set(CPACK_NSIS_INSTALLER_MUI_ICON_CODE "
  !define MUI_FINISHPAGE_RUN
  !define MUI_FINISHPAGE_RUN_TEXT 'Запустить монитор'
  !define MUI_FINISHPAGE_RUN_FUNCTION RunMonitorAsUser
  Function RunMonitorAsUser
    StrCpy $0 '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\${TELVAR5_MONITOR_LINK}'
    IfFileExists $0 +2
      StrCpy $0 '$INSTDIR\\\\telvar5-monitor.exe'
    Exec '$WINDIR\\\\explorer.exe $0'
  FunctionEnd
  !define MUI_FINISHPAGE_SHOWREADME ''
  !define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
  !define MUI_FINISHPAGE_SHOWREADME_TEXT 'Ярлык монитора на рабочем столе'
  !define MUI_FINISHPAGE_SHOWREADME_FUNCTION CreateDesktopShortcut
  Function CreateDesktopShortcut
    CreateShortCut '$DESKTOP\\\\${TELVAR5_MONITOR_LINK}' '$INSTDIR\\\\telvar5-monitor.exe' '${TELVAR5_MONITOR_ARGS}'
  FunctionEnd")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\${TELVAR5_MONITOR_LINK}' '$INSTDIR\\\\telvar5-monitor.exe' '${TELVAR5_MONITOR_ARGS}'
  CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\${TELVAR5_DEMO_LINK}' '$INSTDIR\\\\telvar5-monitor.exe' '${TELVAR5_DEMO_ARGS}'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\${TELVAR5_MONITOR_LINK}'
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\${TELVAR5_DEMO_LINK}'
  Delete '$DESKTOP\\\\${TELVAR5_MONITOR_LINK}'
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
  DeleteRegKey HKCU 'Software\\\\${CPACK_PACKAGE_VENDOR}\\\\${TELVAR5_APPLICATION_NAME}'
  DeleteRegKey /ifempty HKCU 'Software\\\\${CPACK_PACKAGE_VENDOR}'")
# (The vendor's key goes once CPack's uninstaller has removed the program's key
# below it, which it does before it removes the shortcuts. The user's key is
# where Qt files what it keeps for the monitor, under the application object's
# names, src/app/MonitorApplication.h; what Qt's file dialog keeps under its own
# name the monitor puts back itself when it ends.)

# Recordings (.tlvcap) open in the monitor from Explorer: the extension names the
# ProgID "TELVAR5.Recording", whose command starts the monitor as its Start-menu
# shortcut does, with the file after the shortcut's arguments. SHCTX is the
# machine's classes for an installation for all users, the user's otherwise.
# The uninstaller takes the extension back only while it is still ours (another
# program may have claimed it since). The shell is told, so Explorer shows the
# new icon and command at once. (\\\" is one double quote, as CPack reads twice.)
set(TELVAR5_RECORDING_PROGID "TELVAR5.Recording")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegStr SHCTX 'Software\\\\Classes\\\\.tlvcap' '' '${TELVAR5_RECORDING_PROGID}'
  WriteRegStr SHCTX 'Software\\\\Classes\\\\${TELVAR5_RECORDING_PROGID}' '' 'Запись приема TELVAR-5'
  WriteRegStr SHCTX 'Software\\\\Classes\\\\${TELVAR5_RECORDING_PROGID}\\\\DefaultIcon' '' '\\\"$INSTDIR\\\\telvar5-monitor.exe\\\",0'
  WriteRegStr SHCTX 'Software\\\\Classes\\\\${TELVAR5_RECORDING_PROGID}\\\\shell\\\\open\\\\command' '' '\\\"$INSTDIR\\\\telvar5-monitor.exe\\\" ${TELVAR5_MONITOR_ARGS} \\\"%1\\\"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  DeleteRegKey SHCTX 'Software\\\\Classes\\\\${TELVAR5_RECORDING_PROGID}'
  ReadRegStr $0 SHCTX 'Software\\\\Classes\\\\.tlvcap' ''
  StrCmp $0 '${TELVAR5_RECORDING_PROGID}' 0 +2
    DeleteRegKey SHCTX 'Software\\\\Classes\\\\.tlvcap'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'")

include(CPack)
