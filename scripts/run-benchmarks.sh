#!/usr/bin/env bash
# Builds and runs every benchmark of the project and prints one table: each
# timing (the median where a benchmark repeats itself) beside its baseline
# measured in the same run, and the goal where there is one.
#
# Usage: scripts/run-benchmarks.sh [build-dir]   (default: <source>/build)
# The JSON of each program is kept in <build-dir>/bench-results/.
set -euo pipefail
SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-${SOURCE_DIR}/build}"
RESULTS="${BUILD_DIR}/bench-results"

cmake -S "${SOURCE_DIR}" -B "${BUILD_DIR}" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "${BUILD_DIR}" --target telvar5-bench-core telvar5-bench-ui >&2
mkdir -p "${RESULTS}"
export QT_QPA_PLATFORM=offscreen
for program in telvar5-bench-core telvar5-bench-ui; do
    echo "running ${program} ..." >&2
    "${BUILD_DIR}/bench/${program}" --benchmark_format=json --benchmark_out="${RESULTS}/${program}.json" \
        --benchmark_out_format=json >/dev/null
done

python3 "${SOURCE_DIR}/scripts/bench-table.py" "${RESULTS}/telvar5-bench-core.json" "${RESULTS}/telvar5-bench-ui.json"
