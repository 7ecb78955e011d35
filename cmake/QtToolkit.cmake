# The Qt the monitor is built with, and the plot library built for it. Every
# part of the build names Qt through the versionless targets (Qt::Widgets,
# Qt::Test), which Qt 5.15 and Qt 6 both define, and the plot through
# telvar5_qcustomplot: this is the one place that knows which Qt it is.
#
#   Qt 6    Linux, Debian's qt6-base-dev and libqcustomplot-dev (QCustomPlotQt6)
#   Qt 5.15 the Windows package (32-bit, Windows 7 to 11), built by
#           scripts/build-qt-windows.sh; on Linux, Debian's qtbase5-dev and
#           libqcustomplot-dev (QCustomPlot), which ./test builds to catch drift
set(TELVAR5_QT_MAJOR 6 CACHE STRING "The major version of Qt to build the monitor with: 6, or 5 (Qt 5.15)")
set_property(CACHE TELVAR5_QT_MAJOR PROPERTY STRINGS 5 6)

if(TELVAR5_QT_MAJOR EQUAL 6)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
  set(telvar5_plot_package QCustomPlotQt6)
elseif(TELVAR5_QT_MAJOR EQUAL 5)
  find_package(Qt5 5.15 REQUIRED COMPONENTS Core Gui Widgets Test)
  set(telvar5_plot_package QCustomPlot)
else()
  message(FATAL_ERROR "TELVAR5_QT_MAJOR must be 5 or 6, not ${TELVAR5_QT_MAJOR}")
endif()

# QCustomPlot draws the trend window: Debian's library on Linux, which links
# Qt's PrintSupport without looking for it; on Windows the copy that
# scripts/build-qt-windows.sh builds beside its Qt, without printing.
if(NOT WIN32)
  find_package(Qt${TELVAR5_QT_MAJOR} REQUIRED COMPONENTS PrintSupport)
endif()
find_package(${telvar5_plot_package} REQUIRED)
set(TELVAR5_QCUSTOMPLOT_TARGET ${telvar5_plot_package}::${telvar5_plot_package})
add_library(telvar5_qcustomplot INTERFACE)
target_link_libraries(telvar5_qcustomplot INTERFACE ${TELVAR5_QCUSTOMPLOT_TARGET})
