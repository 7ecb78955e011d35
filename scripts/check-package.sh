#!/usr/bin/env bash
# Checks the Debian package that `cpack -G DEB` made in a build directory: the
# files it installs (the three programs and nothing else in bin, the desktop
# entry, the icon, the help, the demo files), its Depends (Qt Widgets, QCustomPlot,
# the C++ and C libraries, as dpkg-shlibdeps found them), the icon images, and
# the desktop entry with desktop-file-validate when that is installed.
#
# Usage: scripts/check-package.sh [build-dir | package.deb]   (default: <source>/build)
# Exits non-zero if a check does not pass.
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WHERE="${1:-${SOURCE_DIR}/build}"
if [[ -d "${WHERE}" ]]; then
    DEB="$(find "${WHERE}" -maxdepth 1 -name 'telvar5_*.deb' -type f | sort | tail -n 1)"
else
    DEB="${WHERE}"
fi
if [[ -z "${DEB}" || ! -f "${DEB}" ]]; then
    echo "check-package: no telvar5_*.deb in ${WHERE} (run cpack -G DEB there first)" >&2
    exit 1
fi
echo "package:        ${DEB} ($(stat -c %s "${DEB}") bytes)"

status=0
fail() {
    echo "check-package: $*" >&2
    status=1
}

# Paths as dpkg-deb lists them, without the leading "./".
CONTENTS="$(dpkg-deb -c "${DEB}" | awk '{ print $NF }' | sed 's|^\./|/|')"
for path in /usr/bin/telvar5-monitor /usr/bin/telvar5-cli /usr/bin/telvar5-bench \
            /usr/share/applications/telvar5-monitor.desktop \
            /usr/share/icons/hicolor/16x16/apps/telvar5-monitor.png \
            /usr/share/icons/hicolor/32x32/apps/telvar5-monitor.png \
            /usr/share/doc/telvar5/help.html \
            /usr/share/telvar5/demo/telvar5-vdrv.conf \
            /usr/share/telvar5/demo/TLV5frmt.stt \
            /usr/share/telvar5/demo/demo.si \
            /usr/share/telvar5/demo/adc.so \
            /usr/share/telvar5/demo/climb.gen; do
    if grep -qx "${path}" <<<"${CONTENTS}"; then
        echo "contains:       ${path}"
    else
        fail "the package lacks ${path}"
    fi
done
# Tests, benchmarks, fuzzers, the soak run and the probe stay in the build directory.
PROGRAMS="$(grep -E '^/usr/bin/.' <<<"${CONTENTS}" | sort | tr '\n' ' ')"
if [[ "${PROGRAMS}" != "/usr/bin/telvar5-bench /usr/bin/telvar5-cli /usr/bin/telvar5-monitor " ]]; then
    fail "bin holds other programs than the three: ${PROGRAMS}"
fi

DEPENDS="$(dpkg-deb -f "${DEB}" Depends)"
echo "Depends:        ${DEPENDS}"
for library in libqt6widgets6 libqcustomplot2.1-qt6 libstdc\\+\\+6 libc6; do
    if ! grep -Eq "(^|, )${library}( |,|$)" <<<"${DEPENDS}"; then
        fail "Depends lacks ${library//\\/}"
    fi
done

CONTENT_DIR="$(mktemp -d)"
trap 'rm -rf "${CONTENT_DIR}"' EXIT
dpkg-deb -x "${DEB}" "${CONTENT_DIR}"

for size in 16 32; do
    icon="${CONTENT_DIR}/usr/share/icons/hicolor/${size}x${size}/apps/telvar5-monitor.png"
    if [[ -f "${icon}" ]] && file -b "${icon}" | grep -q "^PNG image data, ${size} x ${size},"; then
        echo "icon ok:        ${size} x ${size} PNG"
    else
        fail "the ${size}x${size} icon is not a ${size} x ${size} PNG image"
    fi
done

DESKTOP="${CONTENT_DIR}/usr/share/applications/telvar5-monitor.desktop"
if [[ -f "${DESKTOP}" ]]; then
    if ! grep -qx 'Exec=telvar5-monitor' "${DESKTOP}" || ! grep -qx 'Icon=telvar5-monitor' "${DESKTOP}"; then
        fail "the desktop entry does not start telvar5-monitor with its icon"
    fi
    if command -v desktop-file-validate >/dev/null 2>&1; then
        if desktop-file-validate "${DESKTOP}"; then
            echo "desktop entry:  valid (desktop-file-validate)"
        else
            fail "desktop-file-validate refuses the desktop entry"
        fi
    else
        echo "desktop entry:  desktop-file-validate not installed, not validated"
    fi
fi

exit "${status}"
