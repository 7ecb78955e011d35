#!/usr/bin/env bash
# Builds Qt 5.15 for 32-bit Windows (mingw-w64 i686, posix threads) from
# Debian's own source package qtbase-opensource-src, of the version Debian
# ships, and QCustomPlot, which draws the trend window, from Debian's source
# package qcustomplot. Qt 5.15 is the last Qt that runs on Windows 7 and on
# 32-bit Windows, where the module's 32-bit driver lives.
#
# Only what the monitor uses: Core, Gui, Widgets, Test, the platform plugins
# and the styles; no Network, SQL, XML, Concurrent, OpenGL, D-Bus, ICU or
# tablet input, and no printing in the plot (packaging/qcustomplot says why);
# zlib, PCRE2, libpng, libjpeg, FreeType and HarfBuzz are Qt's bundled copies,
# so nothing but the mingw runtime is needed beside it. Qt 5's configure
# builds its own host tools (qmake, moc, rcc, uic) for the cross build.
#
# The result is kept in a cache folder named after the Qt version, the
# compiler and the configure options, QCustomPlot installed into it beside Qt under a mark of its own
# version; a later run finds both there and does nothing. The folder holds a
# CMake toolchain file, qt.toolchain.cmake, for builds against this Qt.
# Prints the folder on its last line of output.
#
# Usage: scripts/build-qt-windows.sh [--print-prefix]
#   --print-prefix  print the cache folder and exit (0 if it holds a finished build)
# Environment: TELVAR5_CACHE (default ~/.cache/telvar5), JOBS (default nproc).
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE_ROOT="${TELVAR5_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/telvar5}"
JOBS="${JOBS:-$(nproc)}"
TRIPLE=i686-w64-mingw32

# The version Debian ships, whether or not its Linux package is installed.
debian_version() { apt-cache show --no-all-versions "$1" 2>/dev/null | sed -n 's/^Version: //p' | head -1; }
qt_package_version="$(debian_version qtbase5-dev)"
qt_version="$(sed 's/[+-].*//' <<<"${qt_package_version}")"
if [[ -z "${qt_version}" ]]; then
    echo "build-qt-windows: the archive offers no qtbase5-dev (apt-get update)" >&2
    exit 1
fi
gcc_version="$(${TRIPLE}-gcc-posix -dumpversion 2>/dev/null | sed "s/-posix$//" || true)"
if [[ -z "${gcc_version}" ]]; then
    echo "build-qt-windows: ${TRIPLE}-gcc-posix is not installed (scripts/install-deps.sh --windows)" >&2
    exit 1
fi
# Debian's source lacks src/3rdparty/wintab and sqlite: no tablet input, no SQLite.
CONFIGURE_OPTIONS=(
    -xplatform win32-g++ -device-option CROSS_COMPILE=${TRIPLE}- -platform linux-g++
    -opensource -confirm-license -release -shared -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-feature-tabletevent
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-concurrent
    -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz
)
options_key="$(printf '%s\n' "${CONFIGURE_OPTIONS[@]}" | sha1sum | cut -c1-8)"
PREFIX="${CACHE_ROOT}/qt-${qt_version}-mingw-w64-i686-gcc-${gcc_version}-posix-${options_key}"
STAMP="${PREFIX}/.qtbase-complete"

if [[ "${1:-}" == "--print-prefix" ]]; then
    echo "${PREFIX}"
    [[ -f "${STAMP}" ]]
    exit
fi
qcp_version="$(debian_version libqcustomplot-dev)"
QCP_STAMP="${PREFIX}/.qcustomplot-${qcp_version:-unknown}-complete"
if [[ -f "${STAMP}" && -f "${QCP_STAMP}" ]]; then
    echo "Qt ${qt_version} for 32-bit Windows: cached"
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
    if apt-get source --print-uris -qq qtbase-opensource-src >/dev/null 2>&1; then
        return
    fi
    echo "build-qt-windows: adding deb-src entries for the configured Debian archive"
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "${f}" && "${f}" != *telvar5-deb-src* ]] || continue
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

WORK="${CACHE_ROOT}/work-qt-${qt_version}-i686"
mkdir -p "${WORK}" "${PREFIX}"
started=$(date +%s)

enable_sources
cd "${WORK}"
# Unpacks the source package $1 at version $2 (any version when that one is
# gone); upstream sources as Debian ships them, without the Debian-specific
# patches unless $3 is "patched".
fetch_source() {
    local pkg="$1" version="$2" patches=--skip-patches
    [[ "${3:-}" == patched ]] && patches=
    if ! ls -d "${WORK}/${pkg}"-*/ >/dev/null 2>&1; then
        (cd "${WORK}" && { apt-get source -qq --download-only "${pkg}${version:+=${version}}" \
                           || apt-get source -qq --download-only "${pkg}"; } \
                      && dpkg-source -x ${patches} "${pkg}"_*.dsc >/dev/null)
    fi
    ls -d "${WORK}/${pkg}"-*/ | head -1
}

# Qt's configure calls the cross tools by their plain names (CROSS_COMPILE
# prefix + gcc): these point them at the posix-thread compilers.
tools="${WORK}/cross-tools"
mkdir -p "${tools}"
for tool in gcc g++ cpp; do
    ln -sf "$(command -v ${TRIPLE}-${tool}-posix)" "${tools}/${TRIPLE}-${tool}"
done
export PATH="${tools}:${PATH}"

if [[ ! -f "${STAMP}" ]]; then
    QTBASE_SRC="$(fetch_source qtbase-opensource-src "${qt_package_version}")"
    echo "== qtbase ${qt_version} for 32-bit Windows (${JOBS} jobs) into ${PREFIX}"
    rm -rf "${WORK}/build-qtbase"
    mkdir -p "${WORK}/build-qtbase"
    (cd "${WORK}/build-qtbase" && "${QTBASE_SRC}/configure" -prefix "${PREFIX}" "${CONFIGURE_OPTIONS[@]}") \
        >"${WORK}/configure-qtbase.log" 2>&1 \
        || { tail -40 "${WORK}/configure-qtbase.log" >&2; exit 1; }
    make -C "${WORK}/build-qtbase" -j "${JOBS}" >"${WORK}/make-qtbase.log" 2>&1 \
        || { grep -m20 -B2 -A8 'error' "${WORK}/make-qtbase.log" >&2; tail -20 "${WORK}/make-qtbase.log" >&2; exit 1; }
    make -C "${WORK}/build-qtbase" install >/dev/null
    printf 'qtbase %s: %d min %d s\n' "${qt_version}" $(( ($(date +%s) - started) / 60 )) $(( ($(date +%s) - started) % 60 )) \
        | tee -a "${PREFIX}/build-time.txt"
    touch "${STAMP}"
    rm -rf "${WORK}/build-qtbase" "${WORK}"/qtbase-opensource-src-*/
fi

# The toolchain for builds against this Qt: the project's own, with this folder searched too.
cp "${SOURCE_DIR}/cmake/mingw-w64-i686.cmake" "${PREFIX}/mingw-w64-i686.cmake"
cat >"${PREFIX}/qt.toolchain.cmake" <<EOF
include("\${CMAKE_CURRENT_LIST_DIR}/mingw-w64-i686.cmake")
list(APPEND CMAKE_FIND_ROOT_PATH "\${CMAKE_CURRENT_LIST_DIR}")
list(APPEND CMAKE_PREFIX_PATH "\${CMAKE_CURRENT_LIST_DIR}")
EOF

# QCustomPlot draws the trend window: Debian's sources with Debian's patches,
# built without printing.
if [[ ! -f "${QCP_STAMP}" ]]; then
    QCP_SRC="$(fetch_source qcustomplot "${qcp_version}" patched)"
    echo "== qcustomplot ${qcp_version}"
    qcp_started=$(date +%s)
    rm -rf "${WORK}/build-qcustomplot"
    cmake -S "${SOURCE_DIR}/packaging/qcustomplot" -B "${WORK}/build-qcustomplot" -G Ninja \
        -DQCUSTOMPLOT_SOURCE_DIR="${QCP_SRC}" \
        -DCMAKE_TOOLCHAIN_FILE="${PREFIX}/qt.toolchain.cmake" \
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
