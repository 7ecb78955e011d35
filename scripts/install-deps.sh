#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing, as root or through sudo.
#
#   scripts/install-deps.sh          what the Linux monitor needs to build and run
#                                    (./run): the compiler, Qt 6, the plot, fonts,
#                                    and a virtual display for machines without one
#   scripts/install-deps.sh --tests  and everything ./test needs besides: the test
#                                    libraries, clang for the fuzzers, Qt 5 for the
#                                    drift check, mingw-w64, wine (32-bit, which adds
#                                    Debian's i386 architecture), NSIS and the checks
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libqcustomplot-dev # the trend plots (QCustomPlot for Qt 6, and for Qt 5)
  fonts-liberation fonts-dejavu-core
  xvfb xauth # the monitor on a virtual display where there is none
)
tests=no
case "${1:-}" in
  --tests) tests=yes ;;
  "") ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac
if [[ "${tests}" == yes ]]; then
  packages+=(
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev # the fuzz targets: clang-14 and its libFuzzer and sanitizer runtimes
    qtbase5-dev # the monitor built against Qt 5.15 on Linux too, so the Windows package's Qt cannot drift
    g++-mingw-w64-i686-posix googletest # the Windows package (32-bit) and its GoogleTest, built from these sources
    g++-mingw-w64-x86-64-posix # the 64-bit stand-in driver, for the 32-bit programs on 64-bit Windows (WoW64)
    wine64 wine32:i386 xdotool # the Windows programs and suites under wine (32-bit and 64-bit prefixes), driven by keys
    nsis zip unzip # the Windows installer (CPack's NSIS generator), the portable zip and its check
    qttranslations5-l10n # Qt 5's own Russian texts, shipped in the Windows package
    dpkg-dev file desktop-file-utils # the Debian package: its Depends (dpkg-shlibdeps) and its checks
    python3 # the stand-in driver stage holds its journal against the request table
  )
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  as_root=(false)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [[ "${as_root[*]}" == false ]]; then
  echo "Missing packages (${missing[*]}) and neither root nor sudo is available." >&2
  exit 1
fi
# wine32 is an i386 package: Debian installs it beside the amd64 system once
# the architecture is added (./test only; ./run never asks for it).
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
