#!/usr/bin/env bash
# The monitor for Windows (32-bit, Qt 5.15), checked under wine in a 32-bit
# prefix set to Windows 7 SP1:
#   1. cross-built against the Qt that scripts/build-qt-windows.sh makes from
#      Debian's sources, with its widget suites;
#   2. the widget suites run under wine on the offscreen platform;
#   3. the installer (NSIS) and the portable zip made by cpack, their file
#      lists checked, every DLL the programs need found beside them, and no
#      image importing what Windows 7 SP1 lacks (check-windows-imports.sh);
#   4. telvar5-monitor.exe started under wine on a virtual display: the main
#      window shows its caption, the device choice opens (no module under
#      wine), and the program exits cleanly when its window is closed; its
#      start time and memory are printed;
#   5. the installer installed silently (/S) without a folder named, which
#      must land in the Program Files of 32-bit programs, the installed
#      monitor started as its shortcut starts it, a recording (.tlvcap) opened
#      as Explorer opens it, through the association the installer made, and
#      the uninstaller run.
#
# Usage: scripts/test-windows-gui.sh [build-dir]   (default: <source>/build-win-gui)
# Needs the Qt for Windows in its cache; exits 2 if it is not there.
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-${SOURCE_DIR}/build-win-gui}"
JOBS="${JOBS:-$(nproc)}"
CAPTION="Монитор модуля TELVAR-5"
CHOICE_CAPTION="Выбор устройства"
VENDOR="Разработчики монитора TELVAR-5" # the publisher, as cmake/WindowsPackage.cmake names it
RECORDING_PROGID="TELVAR5.Recording" # the ProgID of .tlvcap, as cmake/WindowsPackage.cmake names it
GUI_SUITES=(tests_gui tests_gui_input tests_gui_output tests_gui_analysis tests_gui_stimulus)

if ! QT_PREFIX="$("${SOURCE_DIR}/scripts/build-qt-windows.sh" --print-prefix)"; then
    echo "test-windows-gui: no Qt for Windows in ${QT_PREFIX} (scripts/build-qt-windows.sh builds it)" >&2
    exit 2
fi

status=0
fail() {
    echo "test-windows-gui: $*" >&2
    status=1
}

# --- wine -------------------------------------------------------------------
source "${SOURCE_DIR}/scripts/wine-env.sh"
# The prefix lives in the build folder, which a fresh clone has not made yet.
mkdir -p "${BUILD_DIR}"
wine_setup "${BUILD_DIR}"
if [[ -z "${WINE}" ]]; then
    echo "test-windows-gui: wine is not installed (scripts/install-deps.sh)" >&2
    exit 1
fi
# The fonts the program asks for by their Windows names: wine finds the
# system's fonts through fontconfig, and these replacements give the metric-
# compatible Liberation fonts those names, as fontconfig does on Linux.
prepare_prefix() {
    local name
    for name in "Courier New=Liberation Mono" "Arial=Liberation Sans" "Times New Roman=Liberation Serif"; do
        "${WINE}" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${name%%=*}" /t REG_SZ /d "${name#*=}" /f \
            >/dev/null 2>&1
    done
}
prepare_prefix
wine_windows

# --- 1. build -----------------------------------------------------------------
stage_started=$(date +%s)
# A build folder made against another Qt (another cache folder) starts its configuration afresh.
toolchain="${QT_PREFIX}/qt.toolchain.cmake"
if [[ "$(cat "${BUILD_DIR}/qt-prefix.txt" 2>/dev/null)" != "${QT_PREFIX}" ]]; then
    rm -rf "${BUILD_DIR}/CMakeCache.txt" "${BUILD_DIR}/CMakeFiles"
    echo "${QT_PREFIX}" >"${BUILD_DIR}/qt-prefix.txt"
fi
cmake -S "${SOURCE_DIR}" -B "${BUILD_DIR}" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="${toolchain}" \
    -DTELVAR5_QT_MAJOR=5 \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="${BUILD_DIR}/install" >/dev/null
cmake --build "${BUILD_DIR}" -j "${JOBS}"
echo "built:          $(( $(date +%s) - stage_started )) s"

qt_suites_env "${QT_PREFIX}" "${BUILD_DIR}/offscreen-fonts"

# --- 2. the widget suites -------------------------------------------------------
for suite in "${GUI_SUITES[@]}"; do
    exe="$(find "${BUILD_DIR}/tests" -name "${suite}.exe" | head -1)"
    if [[ -z "${exe}" ]]; then
        fail "${suite}.exe was not built"
        continue
    fi
    log="${BUILD_DIR}/${suite}.wine.log"
    code=0
    (cd "$(dirname "${exe}")" && WINEPATH="${SUITE_WINEPATH}" timeout 900 "${WINE}" "${exe}" >"${log}" 2>&1) || code=$?
    report_suite "${suite}" "${code}" "${log}" || status=1
done

# --- 3. the packages ------------------------------------------------------------
rm -rf "${BUILD_DIR}/_CPack_Packages" "${BUILD_DIR}"/telvar5-*-win{32,64}.{exe,zip}
(cd "${BUILD_DIR}" && cpack >/dev/null) || fail "cpack failed"
installer="$(ls "${BUILD_DIR}"/telvar5-*-win32.exe 2>/dev/null | head -1)"
zip_file="$(ls "${BUILD_DIR}"/telvar5-*-win32.zip 2>/dev/null | head -1)"
[[ -f "${installer}" ]] || fail "the installer was not made"
[[ -f "${zip_file}" ]] || fail "the zip was not made"

# Every program shipped carries its icon, version information and manifest.
"${SOURCE_DIR}/scripts/check-windows-resources.sh" "${BUILD_DIR}/src/app/telvar5-monitor.exe" \
    "${BUILD_DIR}/tools/telvar5-cli.exe" "${BUILD_DIR}/tools/telvar5-probe.exe" || fail "a program lacks its resources"

# What the installed folder must hold, relative to it.
expected_files=(
    telvar5-monitor.exe telvar5-cli.exe telvar5-probe.exe qt.conf
    Qt5Core.dll Qt5Gui.dll Qt5Widgets.dll libQCustomPlot.dll
    platforms/qwindows.dll platforms/qoffscreen.dll styles/qwindowsvistastyle.dll
    libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll
    translations/qtbase_ru.qm help/help.html
    demo/TLV5frmt.stt demo/adc.so demo/irs.so demo/demo.si demo/climb.gen demo/telvar5-vdrv.conf
)

# DLLs of Windows itself: the programs may import these without carrying them
# (which of them Windows 7 SP1 has, and what they export there, is
# check-windows-imports.sh's to say).
SYSTEM_DLLS=(
    KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL SHELL32.DLL OLE32.DLL OLEAUT32.DLL COMDLG32.DLL WINMM.DLL
    WS2_32.DLL IMM32.DLL UXTHEME.DLL DWMAPI.DLL SHLWAPI.DLL VERSION.DLL NETAPI32.DLL USERENV.DLL WTSAPI32.DLL
    SETUPAPI.DLL MPR.DLL MSVCRT.DLL D3D9.DLL D3D11.DLL DXGI.DLL UUID.DLL AUTHZ.DLL CRYPT32.DLL COMCTL32.DLL
    DWRITE.DLL D2D1.DLL BCRYPT.DLL NTDLL.DLL WINSPOOL.DRV
)

# Checks that folder $1 holds every expected file, and that every DLL an
# .exe or .dll there imports is beside it or a system DLL of Windows.
check_folder() {
    local folder="$1" what="$2" file missing=0 dll
    for file in "${expected_files[@]}"; do
        if [[ ! -f "${folder}/${file}" ]]; then
            fail "${what}: ${file} is missing"
            missing=1
        fi
    done
    local system_dlls=" ${SYSTEM_DLLS[*]} "
    local binary
    while IFS= read -r -d '' binary; do
        while read -r dll; do
            [[ "${system_dlls}" == *" ${dll^^} "* ]] && continue
            if [[ -z "$(find "${folder}" -maxdepth 1 -iname "${dll}" -print -quit)" ]]; then
                fail "${what}: $(basename "${binary}") needs ${dll}, which is not beside it"
                missing=1
            fi
        done < <(i686-w64-mingw32-objdump -p "${binary}" | sed -n 's/^[[:space:]]*DLL Name: //p')
    done < <(find "${folder}" \( -iname '*.exe' -o -iname '*.dll' \) -not -iname 'uninstall.exe' -print0)
    if [[ "${missing}" -eq 0 ]]; then
        echo "${what}: ${#expected_files[@]} expected files, every DLL found"
    fi
    "${SOURCE_DIR}/scripts/check-windows-imports.sh" "${folder}" | sed "s/^/${what}: /" \
        || fail "${what}: an image imports what Windows 7 SP1 lacks (the lines above say which)"
}

if [[ -f "${zip_file}" ]]; then
    unpacked="${BUILD_DIR}/zip-check"
    rm -rf "${unpacked}" && mkdir -p "${unpacked}"
    (cd "${unpacked}" && unzip -q "${zip_file}")
    zip_root="$(find "${unpacked}" -mindepth 1 -maxdepth 1 -type d | head -1)"
    echo "zip:            $(basename "${zip_file}"), $(unzip -Z1 "${zip_file}" | grep -vc '/$') files"
    check_folder "${zip_root}" "zip"
fi

# --- 4. and 5. the monitor under wine on a virtual display ----------------------
XVFB_DISPLAY=":$(( 90 + RANDOM % 9 ))"
Xvfb "${XVFB_DISPLAY}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    "${WINESERVER}" -k 2>/dev/null || true
    kill "${xvfb_pid}" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY="${XVFB_DISPLAY}"
sleep 2

# Waits up to $2 seconds for a window named $1; prints its id.
wait_window() {
    local id="" tries=$(( $2 * 2 ))
    while (( tries-- > 0 )); do
        id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)"
        [[ -n "${id}" ]] && { echo "${id}"; return 0; }
        sleep 0.5
    done
    return 1
}

# reg_text KEY: the registry key KEY and everything below it, as UTF-8 text (reg
# export writes UTF-16; reg query would print the Russian names in the console's
# code page). Empty when there is no such key.
reg_text() {
    local file
    file="$(mktemp --suffix=.reg)"
    if "${WINE}" reg export "$1" "$(winpath "${file}")" /y >/dev/null 2>&1; then
        iconv -f UTF-16LE -t UTF-8 "${file}" | tr -d '\r'
    fi
    rm -f "${file}"
}

# The texts of a shortcut (.lnk): its UTF-16 strings, read at either byte alignment.
lnk_text() {
    python3 -c 'import sys
d = open(sys.argv[1], "rb").read()
for text in (d.decode("utf-16-le", "ignore"), d[1:].decode("utf-16-le", "ignore")):
    print("".join(c if c.isprintable() else "\n" for c in text))' "$1"
}

# Starts the monitor at $1 in an empty working directory and walks through it;
# $2 names the run in the messages; the arguments after it go to the monitor.
run_monitor() {
    local exe="$1" what="$2" work pid wid choice code=0
    shift 2
    work="$(mktemp -d)"
    local started_ns shown_ms rss_kib
    started_ns=$(date +%s%N)
    (cd "${work}" && exec "${WINE}" "${exe}" "$@") >"${BUILD_DIR}/monitor-${what}.log" 2>&1 &
    pid=$!
    if ! wid="$(wait_window "${CAPTION}" 90)"; then
        fail "${what}: the main window \"${CAPTION}\" did not appear"
        kill "${pid}" 2>/dev/null || true
        return
    fi
    shown_ms=$(( ($(date +%s%N) - started_ns) / 1000000 ))
    # The program's resident memory once it stands (its wine process, not wine's services).
    sleep 2
    rss_kib="$(awk '/^VmRSS:/ { print $2 }' "/proc/$(pgrep -f 'telvar5-monitor\.exe' | head -1)/status" 2>/dev/null || true)"
    echo "${what}: the main window \"${CAPTION}\" is shown after ${shown_ms} ms; resident memory ${rss_kib:-?} KiB"
    if command -v import >/dev/null; then
        import -window root "${BUILD_DIR}/monitor-${what}.png" 2>/dev/null || true
    fi
    # Устройство -> выбор, by the keyboard as a user without a mouse would.
    xdotool mousemove --window "${wid}" 200 200 2>/dev/null || true
    xdotool windowfocus --sync "${wid}" 2>/dev/null || true
    xdotool key --delay 300 alt Right Down Return
    if choice="$(wait_window "${CHOICE_CAPTION}" 20)"; then
        echo "${what}: the device choice \"${CHOICE_CAPTION}\" opens"
        command -v import >/dev/null && import -window root "${BUILD_DIR}/choice-${what}.png" 2>/dev/null || true
        xdotool windowfocus --sync "${choice}" 2>/dev/null || true
        xdotool key Escape
        sleep 1
    else
        fail "${what}: the device choice did not open"
    fi
    xdotool windowfocus --sync "${wid}" 2>/dev/null || true
    xdotool key alt+F4
    local tries=60
    while kill -0 "${pid}" 2>/dev/null && (( tries-- > 0 )); do sleep 0.5; done
    if kill -0 "${pid}" 2>/dev/null; then
        fail "${what}: the monitor did not exit within 30 s of closing its window"
        kill "${pid}" 2>/dev/null || true
    else
        wait "${pid}" || code=$?
        if [[ "${code}" -eq 0 ]]; then
            echo "${what}: closed, exit code 0"
        else
            fail "${what}: the monitor exited with code ${code}"
        fi
    fi
    rm -rf "${work}"
}

# reg_default KEY: the default value of the registry key KEY, as the program
# reading it sees it (the .reg file's escapes undone); empty when it has none.
reg_default() {
    reg_text "$1" | sed -n '0,/^\[/d; /^\[/q; s/^@="\(.*\)"$/\1/p' | sed 's/\\\(["\\]\)/\1/g'
}

# write_recording FILE: a small recording as the monitor writes it (docs/capture-format.md):
# a climb heard on inputs 1 and 2, 250 refresh ticks of 100 ms, in each the four
# air-data labels 203, 206, 210, 212 of both inputs, laid out as the demo sends
# them (BNR, the sign at bit 29 and BITS below it, SSM 3, odd parity): 2000 words.
write_recording() {
    python3 - "$1" <<'EOF'
import math, struct, sys
def bnr(label, value, bits, resolution):
    code = int(round(value / resolution)) & ((1 << (bits + 1)) - 1)
    word = label | (code << (28 - bits)) | (3 << 29)
    return word | (1 << 31 if bin(word).count("1") % 2 == 0 else 0)
labels = ((0o203, 30000.0, 2500.0, 17, 1.0), (0o206, 250.0, 20.0, 14, 0.0625),
          (0o210, 450.0, 30.0, 15, 0.0625), (0o212, 1800.0, 600.0, 11, 16.0))
start_us = 1796724185000000  # 2026-12-08 10:03:05 UTC
with open(sys.argv[1], "wb") as out:
    out.write(b"TLV5CAP\0" + struct.pack("<HHHHI16siq16x", 1, 64, 20, 0, 1021, bytes(16), 100, start_us))
    for tick in range(250):
        for channel in (1, 2):
            for label, base, swing, bits, resolution in labels:
                word = bnr(label, base + swing * math.sin(tick / 40.0 + channel), bits, resolution)
                out.write(struct.pack("<QIIBBH", tick * 100000 + channel * 250, tick + 1, word, channel, label, 0))
EOF
}

# open_recording FILE: opens FILE as Explorer does, ShellExecute through the
# association in the registry (wine's "start", which waits for the program and
# returns its exit code), waits for the word log titled with the file's name,
# takes a screenshot and closes the monitor through its main window.
open_recording() {
    local file="$1" title work pid wid code=0
    title="Поток слов — $(basename "${file}")"
    work="$(mktemp -d)"
    (cd "${work}" && exec "${WINE}" start /wait /unix "${file}") >"${BUILD_DIR}/monitor-recording.log" 2>&1 &
    pid=$!
    if wait_window "${title}" 90 >/dev/null; then
        echo "recording: opened through its association, the window \"${title}\" is shown"
        sleep 2
        command -v import >/dev/null && import -window root "${BUILD_DIR}/recording-installed.png" 2>/dev/null || true
    else
        fail "recording: the window \"${title}\" did not appear when $(basename "${file}") was opened through its association"
    fi
    # The word log opened last and is the active window, which alt+F4 would close
    # alone: a click on the main window's status bar makes it the active one (the
    # keyboard focus alone does not, under wine without a window manager).
    if wid="$(wait_window "${CAPTION}" 5)"; then
        local WIDTH=0 HEIGHT=0
        eval "$(xdotool getwindowgeometry --shell "${wid}" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=[0-9]+$')"
        xdotool mousemove --window "${wid}" $(( WIDTH / 2 )) $(( HEIGHT - 6 )) click 1 2>/dev/null || true
        sleep 1
        xdotool windowfocus --sync "${wid}" 2>/dev/null || true
        xdotool key alt+F4
    fi
    local tries=60
    while kill -0 "${pid}" 2>/dev/null && (( tries-- > 0 )); do sleep 0.5; done
    if kill -0 "${pid}" 2>/dev/null; then
        fail "recording: the monitor did not exit within 30 s of closing its main window"
        # The monitor is not this script's child: the prefix's server ends it.
        "${WINESERVER}" -k 2>/dev/null || true
        kill "${pid}" 2>/dev/null || true
    else
        wait "${pid}" || code=$?
        if [[ "${code}" -eq 0 ]]; then
            echo "recording: closed, exit code 0"
        else
            fail "recording: the monitor exited with code ${code}"
        fi
    fi
    rm -rf "${work}"
}

if [[ -n "${zip_root:-}" ]]; then
    run_monitor "${zip_root}/telvar5-monitor.exe" "portable"
fi

if [[ -f "${installer}" ]]; then
    # No folder named: the installer proposes the Program Files of 32-bit
    # programs, "Program Files" on this 32-bit Windows ("Program Files (x86)"
    # on a 64-bit one, where a 32-bit installer is handed that folder).
    install_dir="${WINEPREFIX}/drive_c/Program Files/TELVAR-5"
    rm -rf "${install_dir}"
    code=0
    (cd "${BUILD_DIR}" && timeout 300 "${WINE}" "${installer}" /S) || code=$?
    if [[ "${code}" -ne 0 || ! -f "${install_dir}/telvar5-monitor.exe" ]]; then
        fail "the silent install failed or did not land in C:\\Program Files\\TELVAR-5 (exit ${code}; found: $(find "${WINEPREFIX}/drive_c" -name telvar5-monitor.exe -printf '%h ' 2>/dev/null))"
    else
        echo "installer:      $(basename "${installer}") /S installed $(find "${install_dir}" -type f | wc -l) files into C:\\Program Files\\TELVAR-5"
        check_folder "${install_dir}" "installed"
        # The publisher "Установка и удаление программ" shows, in Russian, and its key (which the uninstaller must remove).
        publisher="$(reg_text 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TELVAR-5' \
            | sed -n 's/^"Publisher"="\(.*\)"$/\1/p')"
        software="$(reg_text 'HKLM\Software')"
        if [[ "${publisher}" == "${VENDOR}" ]] && grep -qxF "[HKEY_LOCAL_MACHINE\\Software\\${VENDOR}]" <<<"${software}"; then
            echo "installed: publisher \"${VENDOR}\", its key in HKLM\\Software"
        else
            fail "installed: the publisher is \"${publisher:-not set}\", not \"${VENDOR}\", or its key is missing"
        fi
        [[ -f "${install_dir}/Uninstall.exe" ]] || fail "installed: no uninstaller"
        menu="$(find "${WINEPREFIX}/drive_c" -path '*Start Menu/Programs/TELVAR-5*' -name '*.lnk' 2>/dev/null | sort)"
        menu_folder="$(xargs -d '\n' -n1 dirname <<<"${menu}" | sort -u)"
        if grep -q "${CAPTION}.lnk" <<<"${menu}" && grep -q 'Uninstall.lnk' <<<"${menu}" \
            && [[ "$(basename "${menu_folder}")" == "TELVAR-5" ]]; then
            echo "installed: Start menu \"TELVAR-5\": $(xargs -d '\n' -n1 basename <<<"${menu}" | tr '\n' ' ')"
        else
            fail "installed: the Start-menu entries are missing (found: ${menu:-none})"
        fi
        # Each shortcut starts the monitor in a folder of the user's documents (the
        # program's folder is not the user's to write), laid out from the installed files.
        demo_link="$(grep 'Демонстрация без модуля.lnk' <<<"${menu}" | head -1)"
        monitor_link="$(grep "${CAPTION}.lnk" <<<"${menu}" | head -1)"
        demo_args="--virtual-module telvar5-vdrv.conf --user-folder TELVAR-5\\Демонстрация --seed demo"
        # Each shortcut's text is read whole before it is searched: a search that
        # stops at its first match would cut the reader off under pipefail.
        for link in "${demo_link}" "${monitor_link}"; do
            link_text="$([[ -n "${link}" ]] && lnk_text "${link}")" || link_text=""
            if grep -q -- '--user-folder TELVAR-5' <<<"${link_text}"; then
                echo "installed: $(basename "${link}") starts in $(grep -o -- '--user-folder [^ ]*' <<<"${link_text}" | head -1)"
            else
                fail "installed: $(basename "${link:-a shortcut}") does not start in a folder of the user's documents"
            fi
        done
        demo_text="$([[ -n "${demo_link}" ]] && lnk_text "${demo_link}")" || demo_text=""
        grep -qF -- "${demo_args}" <<<"${demo_text}" || fail "installed: the demo shortcut's arguments differ from what this check runs"
        # Qt's file dialogs of the widget suites kept their settings under Qt's own
        # name in this prefix; the installed monitor must leave none of its own.
        "${WINE}" reg delete 'HKCU\Software\QtProject' /f >/dev/null 2>&1 || true
        # shellcheck disable=SC2086 # the shortcut's arguments, one word each
        run_monitor "${install_dir}/telvar5-monitor.exe" "installed" ${demo_args}
        documents="$(find "${WINEPREFIX}/drive_c/users" -maxdepth 2 -name Documents -type d | head -1)"
        user_demo="${documents}/TELVAR-5/Демонстрация"
        if [[ -f "${user_demo}/TLV5frmt.stt" && -f "${user_demo}/telvar5-vdrv.conf" && ! -L "${documents}" ]]; then
            echo "installed: the first start laid out Documents\TELVAR-5\Демонстрация ($(ls "${user_demo}" | wc -l) files)"
            printf 'edited by the user' >"${user_demo}/TLV5frmt.stt"
        else
            fail "installed: the demo's working folder was not laid out in the prefix's Documents (${user_demo})"
        fi
        # A recording in the user's documents, opened from Explorer: .tlvcap names the
        # ProgID, whose command starts the installed monitor as its shortcut does,
        # with the file quoted last (the name below has a space in it).
        assoc_type="$(reg_default 'HKCR\.tlvcap')"
        assoc_command="$(reg_default "HKCR\\${RECORDING_PROGID}\\shell\\open\\command")"
        installed_exe='"C:\Program Files\TELVAR-5\telvar5-monitor.exe"'
        if [[ "${assoc_type}" == "${RECORDING_PROGID}" && "${assoc_command}" == "${installed_exe} --user-folder TELVAR-5 "* \
            && "${assoc_command}" == *' "%1"' ]]; then
            echo "installed: .tlvcap opens with ${assoc_command}"
        else
            fail "installed: .tlvcap is \"${assoc_type}\", its command \"${assoc_command}\", not the installed monitor with \"%1\""
        fi
        # (Written only into the prefix's own Documents, never elsewhere.)
        if [[ -n "${documents}" && -d "${documents}" ]]; then
            recording="${documents}/Набор высоты.tlvcap"
            write_recording "${recording}"
            open_recording "${recording}"
        else
            fail "recording: the prefix has no Documents folder to put a recording in"
        fi
        # The uninstaller runs a copy of itself from the temporary folder and returns at once.
        "${WINE}" "${install_dir}/Uninstall.exe" /S || true
        tries=60
        while [[ -e "${install_dir}/telvar5-monitor.exe" ]] && (( tries-- > 0 )); do sleep 0.5; done
        if [[ -e "${install_dir}/telvar5-monitor.exe" ]]; then
            fail "the uninstaller left the program in place"
        else
            echo "uninstalled:    $(find "${install_dir}" -type f 2>/dev/null | wc -l) files left in C:\\Program Files\\TELVAR-5"
        fi
        if [[ "$(cat "${user_demo}/TLV5frmt.stt" 2>/dev/null)" == "edited by the user" ]]; then
            echo "uninstalled:    the user's files in Documents\\TELVAR-5 stay"
        else
            fail "uninstalled: the user's edited formats in Documents\\TELVAR-5 are gone"
        fi
        software="$(reg_text 'HKLM\Software'; reg_text 'HKCU\Software')"
        # The vendor's keys (the installation's, and the user's where Qt files the
        # monitor's settings) and Qt's own, which the monitor puts back as it found it.
        # And the recordings' ProgID, with the extension while it still names it.
        left="$(grep -oE "^\[HKEY_[A-Z_]+\\\\Software\\\\(${VENDOR}|QtProject|Classes\\\\${RECORDING_PROGID//./\\.})\]" \
            <<<"${software}" || true)"
        [[ "$(reg_default 'HKCR\.tlvcap')" == "${RECORDING_PROGID}" ]] && left+=" HKEY_CLASSES_ROOT\\.tlvcap"
        if [[ -n "${left}" ]]; then
            fail "uninstalled: registry keys left behind: $(tr '\n' ' ' <<<"${left}")"
        else
            echo "uninstalled:    no registry key left behind (the vendor's, Qt's own, the recordings' association)"
        fi
    fi
fi

exit "${status}"
