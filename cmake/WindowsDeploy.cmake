# The monitor on Windows, built with a Qt kit of the Qt Online Installer.
#
# The monitor is a window program: no console opens beside it.
set_target_properties(telvar5-monitor PROPERTIES WIN32_EXECUTABLE ON)

# An installed telvar5-monitor.exe runs from its folder alone once the Qt DLLs,
# the platform and style plugins, the compiler's runtime DLLs and the Russian
# texts of the toolkit lie beside it: windeployqt of the same Qt kit copies
# them at `cmake --install`. Without windeployqt the install says so and
# copies the program only.
find_program(TELVAR5_WINDEPLOYQT windeployqt
  HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "$ENV{QT_DIR}/bin"
  DOC "windeployqt of the Qt kit the monitor is built with")

if(TELVAR5_WINDEPLOYQT)
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
else()
  install(CODE "message(WARNING \"windeployqt was not found: copy the Qt DLLs beside telvar5-monitor.exe by hand\")")
endif()
