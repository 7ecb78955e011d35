#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need, only
# those that are missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libqcustomplot-dev # the trend plots (QCustomPlot for Qt 6)
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev # the fuzz targets: clang-14 and its libFuzzer and sanitizer runtimes
  g++-mingw-w64-x86-64-posix googletest # the Windows cross build and its GoogleTest, built from these sources
  wine64 xvfb xauth xdotool # the Windows programs and suites under wine, the monitor on a virtual display, driven by keys
  nsis zip unzip # the Windows installer (CPack's NSIS generator), the portable zip and its check
  dpkg-dev file desktop-file-utils # the Debian package: its Depends (dpkg-shlibdeps) and its checks
  fonts-liberation fonts-dejavu-core
  python3 # the stand-in driver stage holds its journal against the request table
)
# xvfb is always installed (the Windows checks need a display), so ./run's
# --with-display asks for nothing more; it is still accepted.

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Missing packages (${missing[*]}) and neither root nor sudo is available." >&2
  exit 1
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
