#!/usr/bin/env bash
# The path to the real card, run end to end under wine in a 32-bit prefix set to
# Windows 7 SP1, as on the PC the card sits in, with the stand-in driver built
# for 32-bit Windows: the programs reach the
# module through SetupAPI, CreateFileA and one DeviceIoControl per request, with
# no --virtual-module option, exactly as on a bench with the card. Behind the
# module's device interfaces stands the stand-in kernel driver (standin/),
# whose host answers every request through the virtual driver library and the
# demo configuration.
#
#   1. a fresh wine prefix; the stand-in driver set up for the demo's modules
#      (telvar5-standin-setup), its host started with a journal of every request;
#   2. telvar5-probe.exe and telvar5-cli.exe modules list the demo modules;
#   3. telvar5-cli.exe init, send adc.so cyclic on output 1, receive on input 1:
#      the altitude reads +35000 ft; further runs send the other requests;
#   4. the widget suites' demo walkthrough and stimulus tests, the slow-path
#      test and the device-control checks through the platform backend
#      (TELVAR5_TEST_BACKEND=platform; the widget suites only when the
#      monitor's Windows build is there);
#   5. the journal held against the request table (scripts/check-standin-journal.py);
#   6. faults along the real path: short and random replies, a hung host, a
#      module removed while chosen and added again, the host stopped while a
#      program runs; each program must end saying so, never hang;
#   7. the cost per request and per tick (telvar5-standin-bench.exe), and the
#      driver's counts.
#
# Usage: scripts/test-windows-standin.sh [cross-build-dir] [gui-build-dir]
#   (defaults: <source>/build-win-tests, <source>/build-win-gui)
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$(realpath -m "${1:-${SOURCE_DIR}/build-win-tests}")"
GUI_DIR="$(realpath -m "${2:-${SOURCE_DIR}/build-win-gui}")"
WORK="${BUILD_DIR}/standin-run"
started=$(date +%s)

"${SOURCE_DIR}/scripts/cross-build-windows.sh" "${BUILD_DIR}" >/dev/null
cmake --build "${BUILD_DIR}" -j 2 --target telvar5standin_sys telvar5-standin-host telvar5-standin-setup \
    telvar5-standin-bench tests_integration tests_device >/dev/null

source "${SOURCE_DIR}/scripts/wine-env.sh"
source "${SOURCE_DIR}/scripts/standin-env.sh"
rm -rf "${WORK}"
mkdir -p "${WORK}"
wine_setup "${WORK}" win32
if [[ -z "${WINE}" ]]; then
    echo "test-windows-standin: wine is not installed (scripts/install-deps.sh)" >&2
    exit 1
fi

status=0
fail() {
    echo "test-windows-standin: $*" >&2
    status=1
}
tools="${BUILD_DIR}/tools"
standin="${BUILD_DIR}/standin"
run() { "${WINE}" "$@"; }

# --- 1. prefix, driver, host ----------------------------------------------------
standin_install "${standin}" "${WORK}" || { echo "test-windows-standin: the setup failed" >&2; exit 1; }
config="${CONFIG}"
echo "prefix and setup: $(( $(date +%s) - started )) s; $(wine_windows)"

journal="${WORK}/journal.txt"
host_log="${WORK}/host.log"
trap standin_cleanup EXIT
start_host 1
grep -q "^serving.*host attached" "${host_log}" || { cat "${host_log}" >&2; fail "the host did not start"; exit 1; }

# --- 2. discovery -----------------------------------------------------------------
probe="$(run "${tools}/telvar5-probe.exe" 2>&1 | tr -d '\r')" || true
if probe_lists_demo "${probe}"; then
    echo "telvar5-probe.exe: 3 modules, serial numbers 1021, 2047, 3003 at ordinals 0, 2, 3"
else
    fail "telvar5-probe.exe did not list the demo modules: ${probe}"
fi
modules="$(cd "${WORK}/demo" && run "${tools}/telvar5-cli.exe" modules 2>&1 | tr -d '\r')" || true
if [[ "$(grep -c 'TELVAR-5: серийный №' <<<"${modules}")" -eq 3 ]]; then
    echo "telvar5-cli.exe modules: $(head -1 <<<"${modules}")"
else
    fail "telvar5-cli.exe modules: ${modules}"
fi

# --- 3. the demo through the command line ------------------------------------------
received="$(receive_demo_altitude "${tools}/telvar5-cli.exe")"
if grep -q ',+35000.000000,фут,' <<<"${received}"; then
    echo "telvar5-cli.exe receive: input 1 reads +35000.000000 фут (label 203) through DeviceIoControl"
else
    fail "telvar5-cli.exe receive did not decode +35000 фут: $(tail -3 <<<"${received}")"
fi
# The other requests: single output, file reception, word updates of the generator.
others="$(send_other_requests "${tools}/telvar5-cli.exe")" || fail "the second command-line run failed: ${others}"

# --- 4. the suites through the platform backend -----------------------------------------
run_suite tests_integration "${BUILD_DIR}/tests/integration/tests_integration.exe" 'SlowPath*'
if [[ -f "${GUI_DIR}/tests/gui/tests_gui.exe" ]]; then
    qt_suites_env "$("${SOURCE_DIR}/scripts/build-qt-windows.sh" --print-prefix || true)" "${WORK}/offscreen-fonts"
    export WINEPATH="${SUITE_WINEPATH}"
    run_suite tests_gui "${GUI_DIR}/tests/gui/tests_gui.exe" 'DemoWalkthrough.*'
    run_suite tests_gui_stimulus "${GUI_DIR}/tests/gui/tests_gui_stimulus.exe" 'StimulusOnDemo.*'
    unset WINEPATH
else
    echo "widget suites: skipped: no Windows build of the monitor in ${GUI_DIR} (scripts/test-windows-gui.sh makes it)"
fi

# --- 5. the journal ------------------------------------------------------------------
"${SOURCE_DIR}/scripts/check-standin-journal.py" "${journal}.1" || fail "the journal does not match the request table"
# After the check: this suite sends requests the table does not allow, on purpose.
run_suite tests_device "${BUILD_DIR}/tests/device/tests_device.exe" 'PlatformPath*'

# --- 6. faults along the real path ---------------------------------------------------------
cli() { (cd "${WORK}/demo" && timeout 60 "${WINE}" "${tools}/telvar5-cli.exe" "$@" 2>&1 | tr -d '\r'); }
expect_failure() { # what, exit code, output, what the output must say
    if [[ "$2" -ne 0 ]] && grep -q "$4" <<<"$3"; then
        echo "$1: exit $2, \"$(grep -m1 "$4" <<<"$3")\""
    else
        fail "$1: exit $2, expected a failure saying \"$4\": $(tail -2 <<<"$3")"
    fi
}

# Short replies: the driver reports success with 5 of the 6 bytes; no word is
# taken from them (the demo's input 1 would otherwise print its traffic), and
# the run ends with a failure, as every run in which requests failed does.
host_command "fault 0 short ReqSIreadWord"
code=0; out="$(cli init receive --channel 1 --ticks 2 --format csv)" || code=$?
if [[ "${code}" -ne 0 ]] && ! grep -q '^[0-9]*,[0-9]*,1,' <<<"${out}" \
    && grep -q 'ReqSIreadWord in=6: [0-9a-f ]* out=5/6: .* ok$' "${journal}.1"; then
    echo "short replies: 5-byte ReqSIreadWord replies came through the driver, no word was taken from them, exit ${code}"
else
    fail "short replies: exit ${code}, $(grep -c '^[0-9]*,[0-9]*,1,' <<<"${out}") words taken"
fi
# Every reply of a tick too short: the run stops, saying so.
host_command "fault 0 short 0"
code=0; out="$(cli init receive --channel 1 --ticks 2)" || code=$?
expect_failure "no reply long enough" "${code}" "${out}" "модуль"
host_command "fault 0 clear"
# Random replies: they arrive as the driver sent them; a random serial number is believed.
host_command "fault 0 seed 7"
host_command "fault 0 random ReqSerialNumber"
probe="$(run "${tools}/telvar5-probe.exe" 2>&1 | tr -d '\r')" || true
serial0="$(sed -n 's/^serial number *\([0-9]*\) *ordinal number *0$/\1/p' <<<"${probe}")"
if [[ -n "${serial0}" && "${serial0}" != 1021 ]]; then
    echo "random replies: module 0 reads serial number ${serial0} instead of 1021, as the driver sent it"
else
    fail "random replies: module 0 reads \"${serial0}\""
fi
host_command "fault 0 clear"

# A hung host: requests fail after the timeout, then at once, and serving goes on after it.
kill -STOP "$(pgrep -f 'telvar5-standin-host.exe' | head -1)"
t0=$(date +%s%N); code=0; out="$(cli init receive --channel 1 --ticks 2)" || code=$?
hung_ms=$(( ($(date +%s%N) - t0) / 1000000 ))
kill -CONT "$(pgrep -f 'telvar5-standin-host.exe' | head -1)"
expect_failure "a hung host (${hung_ms} ms)" "${code}" "${out}" "модуль"
code=0; out="$(cli init receive --channel 1 --ticks 1)" || code=$?
[[ "${code}" -eq 0 ]] && echo "a hung host: serves again once it runs" || fail "after a hung host: exit ${code}: ${out}"

# A module removed while chosen, and added again.
(c=0; cli init receive --channel 1 --seconds 5 >"${WORK}/removed.out" || c=$?; echo "exit ${c}" >>"${WORK}/removed.out") &
sleep 2.5
(cd "${standin}" && run ./telvar5-standin-setup.exe remove --module 0) || fail "DIF_REMOVE failed"
wait $! || true
out="$(cat "${WORK}/removed.out")"
expect_failure "module 0 removed while receiving" "$(sed -n 's/^exit //p' <<<"${out}")" "${out}" "перестал отвечать"
run "${tools}/telvar5-probe.exe" 2>&1 | tr -d '\r' | grep -q 'serial number  1021' \
    && fail "module 0 is still listed after DIF_REMOVE" || echo "module 0 removed: no longer listed"
(cd "${standin}" && run ./telvar5-standin-setup.exe add --module 0 --inf telvar5standin.inf >/dev/null) \
    || fail "adding module 0 again failed"
run "${tools}/telvar5-probe.exe" 2>&1 | tr -d '\r' | grep -Eq '^serial number +1021 +ordinal number +0$' \
    && echo "module 0 added again: listed at ordinal 0" || fail "module 0 is not listed after it was added again"

# The host stopped while a program runs: its requests fail at once, the interfaces go.
(c=0; cli init receive --channel 1 --seconds 5 >"${WORK}/stopped.out" || c=$?; echo "exit ${c}" >>"${WORK}/stopped.out") &
sleep 2.5
kill -KILL "$(pgrep -f 'telvar5-standin-host.exe' | head -1)"
wait $! || true
{ wait "${host_pid}"; } 2>/dev/null || true
out="$(cat "${WORK}/stopped.out")"
expect_failure "the host killed while receiving" "$(sed -n 's/^exit //p' <<<"${out}")" "${out}" "перестал отвечать"
exec 3>&- || true
host_pid=""
probe="$(run "${tools}/telvar5-probe.exe" 2>&1 | tr -d '\r')" || true
grep -q 'No TELVAR-5 module found' <<<"${probe}" && echo "without a host: no module is listed" \
    || fail "without a host the modules are still listed: ${probe}"

# --- 7. cost, and the driver's counts -------------------------------------------------------
start_host 2
(cd "${WORK}/demo" && run "${standin}/telvar5-standin-bench.exe" --config "$(winpath "${config}")" 2>&1 | tr -d '\r') \
    || fail "the benchmark of the path failed"
host_command status
grep '^status:' "${host_log}" | tail -1 | sed 's/^status: /stand-in driver: /'
stop_host
echo "stand-in stage: $(( $(date +%s) - started )) s"
exit "${status}"
