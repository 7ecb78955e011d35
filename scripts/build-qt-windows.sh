#!/usr/bin/env bash
# Builds Qt 6 for 64-bit Windows (mingw-w64, posix threads) from Debian's own
# source package qt6-base, of the same version as the host's Qt tools, which
# the cross build runs (moc, rcc, uic: -qt-host-path /usr), and QCustomPlot,
# which draws the trend window, from Debian's source package qcustomplot.
#
# Only what the monitor uses: Core, Gui, Widgets, Test, the windows and
# offscreen platform plugins and the Windows style. No OpenGL, D-Bus, ICU or
# printing (packaging/qcustomplot/CMakeLists.txt says why the plot needs none);
# zlib, PCRE2, libpng, libjpeg, FreeType, HarfBuzz and double-conversion are
# Qt's bundled copies, so nothing but the mingw runtime is needed beside it.
#
# The result is kept in a cache folder named after the Qt version and the
# compiler, QCustomPlot installed into it beside Qt under a mark of its own
# version; a later run finds both there and does nothing. Prints the folder on
# its last line of output.
#
# Usage: scripts/build-qt-windows.sh [--print-prefix]
#   --print-prefix  print the cache folder and exit (0 if it holds a finished build)
# Environment: TELVAR5_CACHE (default ~/.cache/telvar5), JOBS (default nproc).
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE_ROOT="${TELVAR5_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/telvar5}"
JOBS="${JOBS:-$(nproc)}"
CC_POSIX=x86_64-w64-mingw32-gcc-posix

qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null | sed 's/[+-].*//')"
if [[ -z "${qt_version}" ]]; then
    echo "build-qt-windows: qt6-base-dev-tools is not installed (scripts/install-deps.sh)" >&2
    exit 1
fi
gcc_version="$(${CC_POSIX} -dumpversion 2>/dev/null | sed "s/-posix$//" || true)"
if [[ -z "${gcc_version}" ]]; then
    echo "build-qt-windows: ${CC_POSIX} is not installed (scripts/install-deps.sh)" >&2
    exit 1
fi
PREFIX="${CACHE_ROOT}/qt-${qt_version}-mingw-w64-x86_64-gcc-${gcc_version}-posix"
STAMP="${PREFIX}/.qtbase-complete"

if [[ "${1:-}" == "--print-prefix" ]]; then
    echo "${PREFIX}"
    [[ -f "${STAMP}" ]]
    exit
fi
qcp_version="$(apt-cache show --no-all-versions libqcustomplot-dev 2>/dev/null | sed -n 's/^Version: //p' | head -1)"
QCP_STAMP="${PREFIX}/.qcustomplot-${qcp_version:-unknown}-complete"
if [[ -f "${STAMP}" && -f "${QCP_STAMP}" ]]; then
    echo "Qt ${qt_version} for Windows: cached"
    echo "${PREFIX}"
    exit 0
fi

as_root=()
if [[ "$(id -u)" -ne 0 ]]; then
    as_root=(sudo)
fi

# apt-get source needs deb-src entries for the Debian archive the deb entries
# name: a copy of each Debian entry with its type changed, keeping its keyring.
enable_sources() {
    if apt-get source --print-uris -qq qt6-base >/dev/null 2>&1; then
        return
    fi
    echo "build-qt-windows: adding deb-src entries for the configured Debian archive"
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "${f}" ]] || continue
        { grep -h '^deb .*debian\.org' "${f}" || true; } | sed 's/^deb /deb-src /'
    done | "${as_root[@]}" tee /etc/apt/sources.list.d/telvar5-deb-src.list >/dev/null
    for f in /etc/apt/sources.list.d/*.sources; do
        [[ -f "${f}" && "${f}" != *telvar5-deb-src* ]] || continue
        # deb822: one paragraph per entry; keep those of a Debian archive.
        awk -v RS= -v ORS='\n\n' '/debian\.org/ && /Types:[^\n]*deb/' "${f}" \
            | sed -E 's/^Types:.*/Types: deb-src/'
    done | "${as_root[@]}" tee /etc/apt/sources.list.d/telvar5-deb-src.sources >/dev/null
    "${as_root[@]}" apt-get update -qq
}

WORK="${CACHE_ROOT}/work-qt-${qt_version}"
mkdir -p "${WORK}"
started=$(date +%s)

enable_sources
cd "${WORK}"
# Unpacks the source package $1 at the version of the installed package $2;
# upstream sources as Debian ships them, without the Debian-specific patches
# unless $3 is "patched".
fetch_source() {
    local pkg="$1" version patches=--skip-patches
    [[ "${3:-}" == patched ]] && patches=
    if ! ls -d "${WORK}/${pkg}"-*/ >/dev/null 2>&1; then
        version="$(dpkg-query -W -f='${Version}' "$2" 2>/dev/null || true)"
        (cd "${WORK}" && { apt-get source -qq --download-only "${pkg}${version:+=${version}}" \
                           || apt-get source -qq --download-only "${pkg}"; } \
                      && dpkg-source -x ${patches} "${pkg}"_*.dsc >/dev/null)
    fi
    ls -d "${WORK}/${pkg}"-*/ | head -1
}
# The toolchain file goes with the build: Qt's own toolchain file chain-loads it.
mkdir -p "${PREFIX}"
cp "${SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake" "${PREFIX}/mingw-w64-x86_64.cmake"

if [[ ! -f "${STAMP}" ]]; then
    QTBASE_SRC="$(fetch_source qt6-base qt6-base-dev-tools)"
    echo "== qtbase ${qt_version} for mingw-w64 (${JOBS} jobs) into ${PREFIX}"
    cmake -S "${QTBASE_SRC}" -B "${WORK}/build-qtbase" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="${PREFIX}/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="${PREFIX}" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DINPUT_opengl=no -DFEATURE_opengl=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_icu=OFF \
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_tabletevent=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
        -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_doubleconversion=OFF \
        >"${WORK}/configure-qtbase.log" 2>&1 \
        || { tail -40 "${WORK}/configure-qtbase.log" >&2; exit 1; }
    cmake --build "${WORK}/build-qtbase" -j "${JOBS}"
    cmake --install "${WORK}/build-qtbase" >/dev/null
    printf 'qtbase %s: %d min %d s\n' "${qt_version}" $(( ($(date +%s) - started) / 60 )) $(( ($(date +%s) - started) % 60 )) \
        | tee -a "${PREFIX}/build-time.txt"
    touch "${STAMP}"
    rm -rf "${WORK}/build-qtbase" "${WORK}"/qt6-base-*/
fi

# QCustomPlot draws the trend window: Debian's sources with Debian's patches
# (one of them makes it build with Qt 6), built without printing.
if [[ ! -f "${QCP_STAMP}" ]]; then
    QCP_SRC="$(fetch_source qcustomplot libqcustomplot-dev patched)"
    echo "== qcustomplot ${qcp_version}"
    qcp_started=$(date +%s)
    rm -rf "${WORK}/build-qcustomplot"
    cmake -S "${SOURCE_DIR}/packaging/qcustomplot" -B "${WORK}/build-qcustomplot" -G Ninja \
        -DQCUSTOMPLOT_SOURCE_DIR="${QCP_SRC}" \
        -DCMAKE_TOOLCHAIN_FILE="${PREFIX}/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="${PREFIX}" \
        >"${WORK}/configure-qcustomplot.log" 2>&1 \
        || { tail -40 "${WORK}/configure-qcustomplot.log" >&2; exit 1; }
    cmake --build "${WORK}/build-qcustomplot" -j "${JOBS}"
    cmake --install "${WORK}/build-qcustomplot" >/dev/null
    printf 'qcustomplot %s: %d s\n' "${qcp_version}" $(( $(date +%s) - qcp_started )) | tee -a "${PREFIX}/build-time.txt"
    rm -f "${PREFIX}"/.qcustomplot-*-complete
    touch "${QCP_STAMP}"
    rm -rf "${WORK}/build-qcustomplot" "${WORK}"/qcustomplot-*/
fi

echo "${PREFIX}"
