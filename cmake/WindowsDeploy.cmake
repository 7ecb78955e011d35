# The monitor on Windows: what must lie beside telvar5-monitor.exe for it to
# run from its folder alone, and the help and demo files.
#
# The monitor is a window program: no console opens beside it.
set_target_properties(telvar5-monitor PROPERTIES WIN32_EXECUTABLE ON)

install(FILES ${PROJECT_SOURCE_DIR}/help/help.html DESTINATION help)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION demo)

# Two ways to gather the toolkit: windeployqt of a Qt kit installed on Windows
# (the Qt Online Installer's MinGW kit), or, for the cross build against the Qt
# that scripts/build-qt-windows.sh makes from Debian's sources, the same files
# copied here by name (windeployqt does not run on Linux).
find_program(TELVAR5_WINDEPLOYQT windeployqt
  HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "$ENV{QT_DIR}/bin"
  NO_CMAKE_FIND_ROOT_PATH
  DOC "windeployqt of the Qt kit the monitor is built with")
if(CMAKE_HOST_WIN32 AND TELVAR5_WINDEPLOYQT)
  # windeployqt gathers Qt's own modules only: the plot library goes beside them by hand.
  install(FILES $<TARGET_FILE:${TELVAR5_QCUSTOMPLOT_TARGET}> DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(CODE "
    set(monitor_exe \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/telvar5-monitor.exe\")
    message(STATUS \"windeployqt: \${monitor_exe}\")
    execute_process(
      COMMAND \"${TELVAR5_WINDEPLOYQT}\" --compiler-runtime --translations ru \"\${monitor_exe}\"
      RESULT_VARIABLE deploy_result)
    if(NOT deploy_result EQUAL 0)
      message(FATAL_ERROR \"windeployqt failed (\${deploy_result})\")
    endif()
  ")
  return()
endif()

# The Qt libraries the monitor links (and the plot library), and the plugins it loads: the Windows
# platform, the Windows style, and the offscreen platform for runs without a
# desktop (QT_QPA_PLATFORM=offscreen).
set(qt Qt${TELVAR5_QT_MAJOR})
set(telvar5_qt_libraries ${qt}::Core ${qt}::Gui ${qt}::Widgets ${TELVAR5_QCUSTOMPLOT_TARGET})
foreach(library IN LISTS telvar5_qt_libraries)
  install(FILES $<TARGET_FILE:${library}> DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
install(FILES $<TARGET_FILE:${qt}::QWindowsIntegrationPlugin> $<TARGET_FILE:${qt}::QOffscreenIntegrationPlugin>
  DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
if(TARGET ${qt}::QWindowsVistaStylePlugin)
  install(FILES $<TARGET_FILE:${qt}::QWindowsVistaStylePlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
endif()

# The mingw-w64 runtime the Qt DLLs and the monitor were built with: its gcc
# runtime unwinds with DWARF tables on 32-bit x86 and with SEH on x86-64.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(telvar5_gcc_runtime libgcc_s_dw2-1.dll)
else()
  set(telvar5_gcc_runtime libgcc_s_seh-1.dll)
endif()
set(telvar5_mingw_runtime_dlls)
foreach(dll libstdc++-6.dll ${telvar5_gcc_runtime} libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "The mingw-w64 runtime ${dll} was not found (${CMAKE_CXX_COMPILER} -print-file-name)")
  endif()
  list(APPEND telvar5_mingw_runtime_dlls "${dll_path}")
endforeach()
set(TELVAR5_MINGW_RUNTIME_DLLS ${telvar5_mingw_runtime_dlls} CACHE INTERNAL "The mingw-w64 runtime DLLs")
install(FILES ${telvar5_mingw_runtime_dlls} DESTINATION ${CMAKE_INSTALL_BINDIR})

# The toolkit's own texts in Russian (standard buttons, edit menus); .qm files
# are the same on every platform, so the host's copy serves.
find_file(TELVAR5_QTBASE_RU qtbase_ru.qm
  PATHS /usr/share/qt${TELVAR5_QT_MAJOR}/translations "${QT6_INSTALL_PREFIX}/translations"
  NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(TELVAR5_QTBASE_RU)
  install(FILES ${TELVAR5_QTBASE_RU} DESTINATION ${CMAKE_INSTALL_BINDIR}/translations)
endif()

# qt.conf makes the folder of the program Qt's prefix: the plugins in
# platforms\ and styles\ beside it, the texts in translations\.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION ${CMAKE_INSTALL_BINDIR})
