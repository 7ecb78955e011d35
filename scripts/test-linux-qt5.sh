#!/usr/bin/env bash
# The monitor built against Qt 5.15 on Linux (Debian's qtbase5-dev and
# libqcustomplot-dev), the Qt of the Windows package: what compiles on Qt 6
# alone, or behaves otherwise on Qt 5, shows here on every run rather than
# only where Qt for Windows is built. Builds the monitor and the widget
# suites and runs each suite offscreen; one line a suite.
#
# Usage: scripts/test-linux-qt5.sh [build-dir]   (default: <source>/build-qt5)
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$(realpath -m "${1:-${SOURCE_DIR}/build-qt5}")"
SUITES=(tests_gui tests_gui_input tests_gui_output tests_gui_analysis tests_gui_stimulus)

cmake -S "${SOURCE_DIR}" -B "${BUILD_DIR}" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTELVAR5_QT_MAJOR=5 -DTELVAR5_BUILD_TESTS=ON >/dev/null
cmake --build "${BUILD_DIR}" -j "$(nproc)" --target telvar5-monitor "${SUITES[@]}"

export QT_QPA_PLATFORM=offscreen
status=0
for suite in "${SUITES[@]}"; do
    exe="$(find "${BUILD_DIR}/tests" -name "${suite}" -type f -executable | head -1)"
    log="${BUILD_DIR}/${suite}.log"
    code=0
    (cd "$(dirname "${exe}")" && timeout 900 "${exe}") >"${log}" 2>&1 || code=$?
    passed="$(sed -n 's/^\[  PASSED  \] \([0-9][0-9]*\) tests\{0,1\}\..*/\1/p' "${log}" | tail -n 1)"
    if [[ "${code}" -eq 0 && "${passed:-0}" -gt 0 ]] && ! grep -q '^\[  FAILED  \]' "${log}"; then
        echo "${suite}: ${passed} tests passed on Qt 5"
    else
        echo "${suite}: failed on Qt 5 (exit ${code}); log: ${log}" >&2
        grep -E '^\[  FAILED  \] [A-Za-z0-9_/.]+$' "${log}" >&2 || true
        status=1
    fi
done
exit "${status}"
