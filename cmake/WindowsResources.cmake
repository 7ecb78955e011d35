# telvar5_windows_resources(TARGET DESCRIPTION): a Windows program of the
# project carries the project's icon, version information (product, version,
# DESCRIPTION) and a manifest (common controls 6, per-monitor DPI awareness,
# asInvoker). Nothing elsewhere. DESCRIPTION is UTF-8; the resource compiler
# is told so.
function(telvar5_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(TELVAR5_RC_TARGET ${target})
  set(TELVAR5_RC_DESCRIPTION "${description}")
  set(TELVAR5_RC_ICON "${PROJECT_SOURCE_DIR}/packaging/windows/telvar5.ico")
  set(TELVAR5_RC_MANIFEST "${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest")
  # Four numbers for the version resources: 1.0 -> 1,0,0,0 and 1.0.0.0.
  set(parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR})
  foreach(part ${PROJECT_VERSION_PATCH} ${PROJECT_VERSION_TWEAK})
    list(APPEND parts ${part})
  endforeach()
  list(LENGTH parts count)
  while(count LESS 4)
    list(APPEND parts 0)
    math(EXPR count "${count} + 1")
  endwhile()
  list(JOIN parts "," TELVAR5_RC_VERSION_COMMAS)
  list(JOIN parts "." TELVAR5_RC_VERSION_DOTS)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/telvar5.manifest.in ${TELVAR5_RC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}.rc PROPERTIES COMPILE_OPTIONS "-c65001")
endfunction()
