# The Debian package `telvar5` of what `cmake --install` lays out: made by
# `cpack -G DEB` in the build directory, checked by scripts/check-package.sh.
set(TELVAR5_PACKAGE_MAINTAINER "TELVAR-5 monitor developers <maintainers@users.noreply.c-seed-895b3759.example>"
  CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME telvar5)
set(CPACK_PACKAGE_VENDOR "TELVAR-5 monitor developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Monitor and test program for the TELVAR-5 ARINC 429 module")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "The monitor and test program for the TELVAR-5, a PCI module with up to 8 ARINC 429\n"
  "receivers and 8 transmitters: telvar5-monitor (Qt window, Russian interface) sets the\n"
  "bit rates, receives and decodes words, sends output arrays and keeps the format tables;\n"
  "telvar5-cli does the same from the scripts of unattended test benches; telvar5-bench\n"
  "drives the virtual TELVAR-5 driver that stands in for the module on Linux.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY telvar5)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME telvar5)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TELVAR5_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from the libraries the programs really link (dpkg-shlibdeps of dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolkit's own texts (standard buttons, edit menus) in Russian, as the monitor loads them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

set(CPACK_GENERATOR DEB)
include(CPack)
