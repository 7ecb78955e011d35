#!/usr/bin/env bash
# The path to the real card, run end to end under wine: the programs reach the
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
rm -rf "${WORK}"
mkdir -p "${WORK}"
wine_setup "${WORK}"
if [[ -z "${WINE}" ]]; then
    echo "test-windows-standin: wine is not installed (scripts/install-deps.sh)" >&2
    exit 1
fi
WINESERVER="$(dirname "$(readlink -f "${WINE}")")/wineserver"
[[ -x "${WINESERVER}" ]] || WINESERVER=/usr/lib/wine/wineserver

status=0
fail() {
    echo "test-windows-standin: $*" >&2
    status=1
}
tools="${BUILD_DIR}/tools"
standin="${BUILD_DIR}/standin"
run() { "${WINE}" "$@"; }

# --- 1. prefix, driver, host ----------------------------------------------------
# One wine session from the setup on, so the driver stays loaded for every
# program (wine starts the driver's service at each start of a session).
mkdir -p "${WINEPREFIX}"
"${WINESERVER}" -p
"${WINE}" wineboot -i >/dev/null 2>&1
config="${WORK}/demo/telvar5-vdrv.conf"
cp -r "${SOURCE_DIR}/demo" "${WORK}/demo"
(cd "${standin}" && run ./telvar5-standin-setup.exe install --config "$(winpath "${config}")" \
    --inf telvar5standin.inf) || { echo "test-windows-standin: the setup failed" >&2; exit 1; }
# The devices come up at the next start of wine, as they would at a reboot.
"${WINESERVER}" -k
"${WINESERVER}" -w
"${WINESERVER}" -p
echo "prefix and setup: $(( $(date +%s) - started )) s"

journal="${WORK}/journal.txt"
host_log="${WORK}/host.log"
host_pid=""
start_host() {
    rm -f "${WORK}/host-in"
    mkfifo "${WORK}/host-in"
    # The subshell's own note that the host was killed (a test does it) goes nowhere.
    (cd "${WORK}" && "${WINE}" "${standin}/telvar5-standin-host.exe" --config "$(winpath "${config}")" \
        --journal "$(winpath "${journal}.$1")" <"${WORK}/host-in" >>"${host_log}" 2>&1) 2>/dev/null &
    host_pid=$!
    exec 3>"${WORK}/host-in" # kept open: the host reads bench commands from it
    local tries=300 # the host itself waits up to 20 s for the driver
    until grep -q "^serving" "${host_log}" 2>/dev/null || (( tries-- == 0 )); do sleep 0.2; done
}
# One bench command to the host; waits for its answer to end with OK or ERROR.
host_command() {
    local before
    before=$(grep -c -E '^(OK|ERROR)' "${host_log}" || true)
    echo "$1" >&3
    local tries=50
    while (( tries-- > 0 )); do
        (( $(grep -c -E '^(OK|ERROR)' "${host_log}" || true) > before )) && return 0
        sleep 0.1
    done
    fail "the host did not answer \"$1\""
}
stop_host() {
    [[ -n "${host_pid}" ]] || return 0
    echo quit >&3 2>/dev/null || true
    exec 3>&- || true
    wait "${host_pid}" 2>/dev/null || true
    host_pid=""
}
cleanup() {
    stop_host
    "${WINESERVER}" -k 2>/dev/null || true
}
trap cleanup EXIT
start_host 1
grep -q "^serving.*host attached" "${host_log}" || { cat "${host_log}" >&2; fail "the host did not start"; exit 1; }

# --- 2. discovery -----------------------------------------------------------------
# The demo: serial 1021 at 0, interface 1 failing to open (a gap), 2047 at 2, 3003 at 3.
probe="$(run "${tools}/telvar5-probe.exe" 2>&1 | tr -d '\r')" || true
if grep -Eq '^serial number +1021 +ordinal number +0$' <<<"${probe}" \
    && grep -Eq '^serial number +2047 +ordinal number +2$' <<<"${probe}" \
    && grep -Eq '^serial number +3003 +ordinal number +3$' <<<"${probe}" \
    && grep -q '^3 TELVAR-5 module(s) found' <<<"${probe}"; then
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
received="$(cd "${WORK}/demo" && run "${tools}/telvar5-cli.exe" init --in 1=0 --out 1=0 \
    send --channel 1 --file adc.so --cyclic \
    receive --channel 1 --ticks 3 --format csv --formats demo.si 2>&1 | tr -d '\r')" || true
if grep -q ',+35000.000000,фут,' <<<"${received}"; then
    echo "telvar5-cli.exe receive: input 1 reads +35000.000000 фут (label 203) through DeviceIoControl"
else
    fail "telvar5-cli.exe receive did not decode +35000 фут: $(tail -3 <<<"${received}")"
fi
# The other requests: single output, file reception, word updates of the generator.
others="$(cd "${WORK}/demo" && run "${tools}/telvar5-cli.exe" init --in 1=0,2=0 --out 1=0,2=0 \
    send --channel 2 --file irs.so generate --channel 1 --file climb.gen \
    receive --channel 2 --mode file --ticks 2 2>&1 | tr -d '\r')" || fail "the second command-line run failed: ${others}"

# --- 4. the suites through the platform backend -----------------------------------------
export TELVAR5_TEST_BACKEND=platform
run_suite() {
    local name="$1" exe="$2" filter="$3" dir log code=0
    dir="$(dirname "${exe}")"
    log="${WORK}/${name}.log"
    (cd "${WORK}/demo" && timeout 600 "${WINE}" "${exe}" --gtest_filter="${filter}") >"${log}" 2>&1 || code=$?
    if grep -q '^\[  SKIPPED \]' <(tr -d '\r' <"${log}"); then
        fail "${name}: a test was skipped on the platform backend; log: ${log}"
    fi
    report_suite "${name}" "${code}" "${log}" | sed 's/under wine/through the stand-in driver/' || status=1
}
run_suite tests_integration "${BUILD_DIR}/tests/integration/tests_integration.exe" 'SlowPath*'
if [[ -f "${GUI_DIR}/tests/gui/tests_gui.exe" ]]; then
    QT_PREFIX="$("${SOURCE_DIR}/scripts/build-qt-windows.sh" --print-prefix || true)"
    fonts="${WORK}/offscreen-fonts"
    mkdir -p "${fonts}"
    cp /usr/share/fonts/truetype/liberation/Liberation{Mono,Sans}-*.ttf "${fonts}/"
    "${WINE}" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ /d "$(winpath "${fonts}")" /f >/dev/null 2>&1
    mingw_dll_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
    pthread_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")"
    export WINEPATH="$(winpath "${QT_PREFIX}/bin");$(winpath "${mingw_dll_dir}");$(winpath "${pthread_dir}")"
    run_suite tests_gui "${GUI_DIR}/tests/gui/tests_gui.exe" 'DemoWalkthrough.*'
    run_suite tests_gui_stimulus "${GUI_DIR}/tests/gui/tests_gui_stimulus.exe" 'StimulusOnDemo.*'
    unset WINEPATH
else
    echo "widget suites: skipped: no Windows build of the monitor in ${GUI_DIR} (scripts/test-windows-gui.sh makes it)"
fi
unset TELVAR5_TEST_BACKEND

# --- 5. the journal ------------------------------------------------------------------
"${SOURCE_DIR}/scripts/check-standin-journal.py" "${journal}.1" || fail "the journal does not match the request table"
# After the check: this suite sends requests the table does not allow, on purpose.
TELVAR5_TEST_BACKEND=platform run_suite tests_device "${BUILD_DIR}/tests/device/tests_device.exe" 'PlatformPath*'

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
