#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (build-fuzz/) and runs each
# for SECONDS (default 15), as many at once as there are cores. Each run starts
# from a scratch copy of its seed corpus, so the committed corpus never changes.
# Prints the executions of every target; fails when any target finds a crash,
# a sanitizer report or a broken invariant, and keeps the input that did it in
# build-fuzz/artifacts/<target>/.
#
#   scripts/run-fuzzers.sh        15 s a target, as ./test runs it
#   scripts/run-fuzzers.sh 600    a longer session
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds per target]" >&2
  exit 2
fi
scripts/install-deps.sh

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTELVAR5_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Leaks count as findings; undefined behaviour stops the run (the build does not recover from it).
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_target() {
  local target=$1 dir=$scratch/$1
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp -R "fuzz/corpus/$target/." "$dir/corpus/"
  # -timeout: one input running longer is a finding too (a hang).
  "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=25 -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/" "$dir/corpus" >"$dir/log" 2>&1
}

mapfile -t targets <build-fuzz/fuzz/targets.txt
status=0
report() {
  local target=$1 rc=$2 dir=$scratch/$1 runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)
  if [ "$rc" -eq 0 ] && ! grep -qE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|runtime error|broken invariant' "$dir/log"; then
    printf '%-26s %10s executions in %s s\n' "$target" "${runs:-?}" "$seconds"
    return
  fi
  status=1
  mkdir -p "build-fuzz/artifacts/$target"
  cp -R "$dir/artifacts/." "build-fuzz/artifacts/$target/"
  echo "$target FAILED (exit $rc); the input that did it is in build-fuzz/artifacts/$target/:"
  grep -E 'ERROR|SUMMARY|runtime error|broken invariant|^ +#[0-9]' "$dir/log" | head -n 40 || tail -n 40 "$dir/log"
}

# One target per core at a time; each reports as it finishes.
declare -A running=() # pid -> target
finish_one() {
  local pid rc=0
  wait -n -p pid "${!running[@]}" || rc=$?
  report "${running[$pid]}" "$rc"
  unset "running[$pid]"
}
for target in "${targets[@]}"; do
  [ "${#running[@]}" -ge "$(nproc)" ] && finish_one
  run_target "$target" &
  running[$!]=$target
done
while [ "${#running[@]}" -gt 0 ]; do
  finish_one
done

if [ $status -ne 0 ]; then
  echo "Fuzzing found faults (above)."
  exit 1
fi
echo "Fuzzing: ${#targets[@]} targets, no findings."
