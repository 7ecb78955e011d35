#!/usr/bin/env bash
# The Windows side of the tests, from Linux: cross-builds telvar5-probe.exe and
# telvar5-cli.exe with their checks (scripts/cross-build-windows.sh, in the same
# build directory), then the GoogleTest suites of the plain C++ layers and the
# command line with mingw-w64 (GoogleTest itself built from /usr/src/googletest),
# and runs each suite under wine, in a 32-bit Windows 7 prefix, from its own
# working directory. One line per
# suite: "tests_core.exe: 212 tests passed under wine".
#
# Usage: scripts/test-windows.sh [build-dir]   (default: <source>/build-win-tests)
# Exits non-zero if a build or a check fails, or a suite fails or does not run.
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$(realpath -m "${1:-${SOURCE_DIR}/build-win-tests}")"
SUITES=(tests_protocol tests_device tests_vdrv tests_formats tests_demo_formats
        tests_core tests_core_analysis tests_core_stimulus tests_integration tests_cli tests_standin)
SUITE_TIMEOUT_S=600
OBJDUMP=i686-w64-mingw32-objdump

# Configures the build directory too (a Release build without Qt).
"${SOURCE_DIR}/scripts/cross-build-windows.sh" "${BUILD_DIR}"
cmake --build "${BUILD_DIR}" -j 2 --target "${SUITES[@]}"

source "${SOURCE_DIR}/scripts/wine-env.sh"
wine_setup "${BUILD_DIR}"
if [[ -z "${WINE}" ]]; then
    echo "test-windows: wine is not installed, the suites cannot run (scripts/install-deps.sh --tests)" >&2
    exit 1
fi

# Wine makes a console (its conhost) only where it has a display: the CLI's
# console test needs one, so the suites run on a virtual display of their own.
if command -v Xvfb >/dev/null; then
    XVFB_DISPLAY=":$(( 80 + RANDOM % 9 ))"
    Xvfb "${XVFB_DISPLAY}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    trap 'kill "${xvfb_pid}" 2>/dev/null || true' EXIT
    export DISPLAY="${XVFB_DISPLAY}"
    sleep 1
fi

# Name, program and working directory of every cross-built suite, written by tests/CMakeLists.txt.
MANIFEST="${BUILD_DIR}/cross-suites.txt"
LOG_DIR="${BUILD_DIR}/wine-logs"
mkdir -p "${LOG_DIR}"
status=0
started=$(date +%s)
echo "== the suites under ${WINE}"
wine_windows
for suite in "${SUITES[@]}"; do
    exe="" workdir=""
    IFS=$'\t' read -r _ exe workdir < <(awk -F'\t' -v name="${suite}" '$1 == name' "${MANIFEST}") || true
    if [[ -z "${exe}" || ! -f "${exe}" ]]; then
        echo "${suite}.exe: not built" >&2
        status=1
        continue
    fi
    # Self-contained, as the programs are: no mingw C++, gcc or thread runtime DLL.
    dlls="$("${OBJDUMP}" -p "${exe}" | sed -n 's/^[[:space:]]*DLL Name: *//p')"
    if grep -Eiq '^(libstdc\+\+|libgcc|libwinpthread)' <<<"${dlls}"; then
        echo "${suite}.exe: depends on a mingw runtime DLL" >&2
        status=1
    fi
    log="${LOG_DIR}/${suite}.log"
    code=0
    (cd "${workdir}" && timeout "${SUITE_TIMEOUT_S}" "${WINE}" "${exe}") >"${log}" 2>&1 || code=$?
    report_suite "${suite}" "${code}" "${log}" || status=1
done
echo "wine run: $(( $(date +%s) - started )) s"

exit "${status}"
