# Sourced by the scripts that run the programs through the stand-in kernel
# driver under wine (after scripts/wine-env.sh and wine_setup).
#
# standin_install STANDIN_DIR WORK: in the prefix wine_setup made, sets up the
# stand-in driver of STANDIN_DIR (telvar5standin.sys, .inf and the setup
# program, built for the prefix's Windows) for the demo's modules, copied
# into WORK/demo, and leaves a persistent wine session running with the
# devices up, as after a reboot. Sets STANDIN, WORK and CONFIG.
standin_install() {
    STANDIN="$1" WORK="$2"
    CONFIG="${WORK}/demo/telvar5-vdrv.conf"
    mkdir -p "${WINEPREFIX}"
    # One wine session from the setup on, so the driver stays loaded for every
    # program (wine starts the driver's service at each start of a session).
    "${WINESERVER}" -p
    "${WINE}" wineboot -i >/dev/null 2>&1
    rm -rf "${WORK}/demo"
    cp -r "${SOURCE_DIR}/demo" "${WORK}/demo"
    (cd "${STANDIN}" && "${WINE}" ./telvar5-standin-setup.exe install --config "$(winpath "${CONFIG}")" \
        --inf telvar5standin.inf) || return 1
    # The devices come up at the next start of wine, as they would at a reboot.
    "${WINESERVER}" -k
    "${WINESERVER}" -w
    "${WINESERVER}" -p
}

# start_host N: starts the stand-in's host (from STANDIN), its requests
# journalled into WORK/journal.txt.N and its output in WORK/host.log; bench
# commands go to it through host_command. Waits until it serves.
host_pid=""
start_host() {
    HOST_LOG="${WORK}/host.log"
    JOURNAL="${WORK}/journal.txt"
    rm -f "${WORK}/host-in"
    mkfifo "${WORK}/host-in"
    # The subshell's own note that the host was killed (a test does it) goes nowhere.
    (cd "${WORK}" && "${WINE}" "${STANDIN}/telvar5-standin-host.exe" --config "$(winpath "${CONFIG}")" \
        --journal "$(winpath "${JOURNAL}.$1")" <"${WORK}/host-in" >>"${HOST_LOG}" 2>&1) 2>/dev/null &
    host_pid=$!
    exec 3>"${WORK}/host-in" # kept open: the host reads bench commands from it
    local tries=300 # the host itself waits up to 20 s for the driver
    until grep -q "^serving" "${HOST_LOG}" 2>/dev/null || (( tries-- == 0 )); do sleep 0.2; done
}

# host_command COMMAND: one bench command to the host; waits for its answer to end with OK or ERROR.
host_command() {
    local before
    before=$(grep -c -E '^(OK|ERROR)' "${HOST_LOG}" || true)
    echo "$1" >&3
    local tries=50
    while (( tries-- > 0 )); do
        (( $(grep -c -E '^(OK|ERROR)' "${HOST_LOG}" || true) > before )) && return 0
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

# probe_lists_demo OUTPUT: whether telvar5-probe.exe's OUTPUT lists the demo's
# modules: serial 1021 at 0, interface 1 failing to open (a gap), 2047 at 2, 3003 at 3.
probe_lists_demo() {
    grep -Eq '^serial number +1021 +ordinal number +0$' <<<"$1" \
        && grep -Eq '^serial number +2047 +ordinal number +2$' <<<"$1" \
        && grep -Eq '^serial number +3003 +ordinal number +3$' <<<"$1" \
        && grep -q '^3 TELVAR-5 module(s) found' <<<"$1"
}

# receive_demo_altitude CLI.EXE: the demo through the command line (init, adc.so
# cyclic on output 1, receive on input 1); prints what it received.
receive_demo_altitude() {
    (cd "${WORK}/demo" && "${WINE}" "$1" init --in 1=0 --out 1=0 \
        send --channel 1 --file adc.so --cyclic \
        receive --channel 1 --ticks 3 --format csv --formats demo.si 2>&1 | tr -d '\r') || true
}

# send_other_requests CLI.EXE: the requests the demo's reception leaves out:
# single output, file reception, the generator's word updates.
send_other_requests() {
    (cd "${WORK}/demo" && "${WINE}" "$1" init --in 1=0,2=0 --out 1=0,2=0 \
        send --channel 2 --file irs.so generate --channel 1 --file climb.gen \
        receive --channel 2 --mode file --ticks 2 2>&1 | tr -d '\r')
}

# standin_cleanup: the host stopped and the wine session ended (an EXIT trap).
standin_cleanup() {
    stop_host
    "${WINESERVER}" -k 2>/dev/null || true
}

# run_suite NAME EXE FILTER: a GoogleTest suite through the platform backend,
# from the demo folder; a skipped test is a failure here.
run_suite() {
    local name="$1" exe="$2" filter="$3" log code=0
    log="${WORK}/${name}.log"
    (cd "${WORK}/demo" && TELVAR5_TEST_BACKEND=platform timeout 600 "${WINE}" "${exe}" --gtest_filter="${filter}") \
        >"${log}" 2>&1 || code=$?
    if grep -q '^\[  SKIPPED \]' <(tr -d '\r' <"${log}"); then
        fail "${name}: a test was skipped on the platform backend; log: ${log}"
    fi
    report_suite "${name}" "${code}" "${log}" | sed 's/under wine/through the stand-in driver/' || status=1
}
