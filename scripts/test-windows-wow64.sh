#!/usr/bin/env bash
# The Windows package on 64-bit Windows: its 32-bit programs, in a 64-bit wine
# prefix (Windows 10, WoW64), reach a 64-bit kernel driver, as they would a
# 64-bit build of the module's driver. The request records hold no pointers,
# so the same bytes cross from a 32-bit program to a 64-bit driver.
#
#   1. the stand-in driver, its host and its setup built for 64-bit Windows;
#   2. a 64-bit prefix, the driver set up for the demo's modules, the host started;
#   3. the 32-bit telvar5-probe.exe lists the demo's modules, and the 32-bit
#      telvar5-cli.exe receives the demo's altitude through DeviceIoControl and
#      sends the other requests;
#   4. the 32-bit widget suite's demo walkthrough through the platform backend
#      (when the monitor's Windows build is there);
#   5. the cost per request and per tick from a 32-bit program (telvar5-standin-bench.exe).
#
# Usage: scripts/test-windows-wow64.sh [cross-build-dir] [gui-build-dir] [win64-build-dir]
#   (defaults: <source>/build-win-tests, <source>/build-win-gui, <source>/build-win64-standin)
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$(realpath -m "${1:-${SOURCE_DIR}/build-win-tests}")"
GUI_DIR="$(realpath -m "${2:-${SOURCE_DIR}/build-win-gui}")"
WIN64_DIR="$(realpath -m "${3:-${SOURCE_DIR}/build-win64-standin}")"
started=$(date +%s)

# --- 1. the 32-bit programs, and the 64-bit stand-in -----------------------------------
"${SOURCE_DIR}/scripts/cross-build-windows.sh" "${BUILD_DIR}" >/dev/null
cmake --build "${BUILD_DIR}" -j 2 --target telvar5-standin-bench >/dev/null
cmake -S "${SOURCE_DIR}" -B "${WIN64_DIR}" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="${SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTELVAR5_NO_QT=ON -DTELVAR5_BUILD_TESTS=OFF >/dev/null
cmake --build "${WIN64_DIR}" -j 2 --target telvar5standin_sys telvar5-standin-host telvar5-standin-setup >/dev/null

source "${SOURCE_DIR}/scripts/wine-env.sh"
source "${SOURCE_DIR}/scripts/standin-env.sh"
WORK="${WIN64_DIR}/wow64-run"
rm -rf "${WORK}"
mkdir -p "${WORK}"
wine_setup "${WORK}" win64
if [[ -z "${WINE}" ]]; then
    echo "test-windows-wow64: wine64 is not installed (scripts/install-deps.sh --tests)" >&2
    exit 1
fi

status=0
fail() {
    echo "test-windows-wow64: $*" >&2
    status=1
}
tools="${BUILD_DIR}/tools"
for image in "${WIN64_DIR}/standin/telvar5standin.sys" "${tools}/telvar5-probe.exe"; do
    echo "$(basename "${image}"): $(file -b "${image}" | cut -d, -f1)"
done

# --- 2. prefix, driver, host -------------------------------------------------------------
standin_install "${WIN64_DIR}/standin" "${WORK}" || { echo "test-windows-wow64: the setup failed" >&2; exit 1; }
echo "prefix and setup: $(( $(date +%s) - started )) s; $(wine_windows)"
trap standin_cleanup EXIT
start_host 1
grep -q "^serving.*host attached" "${HOST_LOG}" || { cat "${HOST_LOG}" >&2; fail "the host did not start"; exit 1; }

# --- 3. the 32-bit programs ----------------------------------------------------------------
probe="$("${WINE}" "${tools}/telvar5-probe.exe" 2>&1 | tr -d '\r')" || true
if probe_lists_demo "${probe}"; then
    echo "32-bit telvar5-probe.exe through WoW64: 3 modules, serial numbers 1021, 2047, 3003 at ordinals 0, 2, 3"
else
    fail "the 32-bit telvar5-probe.exe did not list the demo modules through WoW64: ${probe}"
fi
received="$(receive_demo_altitude "${tools}/telvar5-cli.exe")"
if grep -q ',+35000.000000,фут,' <<<"${received}"; then
    echo "32-bit telvar5-cli.exe receive through WoW64: input 1 reads +35000.000000 фут (label 203)"
else
    fail "the 32-bit telvar5-cli.exe receive through WoW64 did not decode +35000 фут: $(tail -3 <<<"${received}")"
fi
others="$(send_other_requests "${tools}/telvar5-cli.exe")" \
    || fail "the second command-line run through WoW64 failed: ${others}"

# --- 4. the demo walkthrough -----------------------------------------------------------------
if [[ -f "${GUI_DIR}/tests/gui/tests_gui.exe" ]]; then
    qt_suites_env "$("${SOURCE_DIR}/scripts/build-qt-windows.sh" --print-prefix || true)" "${WORK}/offscreen-fonts"
    export WINEPATH="${SUITE_WINEPATH}"
    run_suite tests_gui "${GUI_DIR}/tests/gui/tests_gui.exe" 'DemoWalkthrough.*'
    unset WINEPATH
else
    echo "demo walkthrough: skipped: no Windows build of the monitor in ${GUI_DIR} (scripts/test-windows-gui.sh makes it)"
fi
"${SOURCE_DIR}/scripts/check-standin-journal.py" "${JOURNAL}.1" | sed 's/^/WoW64 /' \
    || fail "the journal through WoW64 does not match the request table"

# --- 5. cost ----------------------------------------------------------------------------------
(cd "${WORK}/demo" && "${WINE}" "${BUILD_DIR}/standin/telvar5-standin-bench.exe" --config "$(winpath "${CONFIG}")" 2>&1 \
    | tr -d '\r' | sed 's/^/WoW64: /') || fail "the benchmark of the path through WoW64 failed"
stop_host
echo "WoW64 stage: $(( $(date +%s) - started )) s"
exit "${status}"
