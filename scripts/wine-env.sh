# Sourced by the scripts that run Windows programs under wine.
#
# wine_setup BUILD_DIR [win32|win64]: gives BUILD_DIR a quiet wine prefix of
# its own, without the Mono and Gecko installers and with its own user folders
# (made on the first call, about 10 s), and sets WINE to the loader that runs
# the Windows package's programs there, empty when wine is not installed.
#   win32 (the default)  a 32-bit Windows 7 SP1 (WINEARCH=win32, the 32-bit
#                        loader of Debian's wine32): the PC the card sits in
#   win64                a 64-bit Windows 10 with WoW64: WINE runs 32-bit and
#                        64-bit programs alike (the 64-bit loader hands 32-bit
#                        ones to the 32-bit loader)
# WINESERVER is the server of both; WINE_ARCH says which prefix it is.
wine_setup() {
    WINE_ARCH="${2:-win32}"
    if [[ "${WINE_ARCH}" == win32 ]]; then
        WINE=/usr/lib/wine/wine
        export WINEPREFIX="$1/wineprefix"
    else
        WINE=/usr/lib/wine/wine64
        export WINEPREFIX="$1/wineprefix-win64"
    fi
    [[ -x "${WINE}" ]] || WINE=""
    WINESERVER=/usr/lib/wine/wineserver
    # winemenubuilder off: wine writes no menu entries, .desktop files or icons into the user's desktop folders.
    export WINEARCH="${WINE_ARCH}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    [[ -n "${WINE}" ]] && wine_own_folders
}

# wine_own_folders: wine maps the user's "Documents", "Desktop" and the like
# to the home folder; the tests write there (per-user working folders), so
# the prefix gets folders of its own instead and nothing lands outside it.
wine_own_folders() {
    # A prefix of the other kind (an older build folder's) cannot be reused.
    if [[ -f "${WINEPREFIX}/system.reg" ]] && ! grep -q "^#arch=${WINE_ARCH}\$" "${WINEPREFIX}/system.reg"; then
        rm -rf "${WINEPREFIX}"
    fi
    if [[ ! -f "${WINEPREFIX}/system.reg" ]]; then
        "${WINE}" wineboot -i >/dev/null 2>&1 || true
        # The Windows the package is checked on: 7 SP1 where the card sits, 10 for WoW64.
        if [[ "${WINE_ARCH}" == win32 ]]; then
            "${WINE}" winecfg -v win7 >/dev/null 2>&1 || true
        else
            "${WINE}" winecfg -v win10 >/dev/null 2>&1 || true
        fi
        # The session ends before the caller's own begins (the stand-in stage starts a persistent one).
        "${WINESERVER}" -w 2>/dev/null || true
    fi
    local link
    for link in "${WINEPREFIX}"/drive_c/users/*/*; do
        if [[ -L "${link}" ]]; then
            rm -f "${link}"
            mkdir -p "${link}"
        fi
    done
}

# wine_windows: one line naming the prefix's kind and the Windows it reports,
# "32-bit prefix: Microsoft Windows 6.1.7601" (Windows 7 SP1).
wine_windows() {
    local version
    version="$("${WINE}" cmd /c ver 2>/dev/null | tr -d '\r' | grep -m1 . || true)"
    echo "${WINE_ARCH/win/}-bit prefix: ${version:-no answer}"
}

# qt_suites_env QT_PREFIX FONT_DIR: what the widget suites need to run from
# their build folder. The offscreen platform on Windows reads its fonts from
# QT_QPA_FONTDIR only: the Liberation fonts, copied into FONT_DIR, which the
# suites name "Courier New" and "Arial". Wine hands a Windows program no QT_*
# variable of Linux's, so it is set in the prefix's own environment (the suites
# choose offscreen themselves). SUITE_WINEPATH names the Qt and mingw DLLs, for
# WINEPATH; the programs themselves run from their own folder.
qt_suites_env() {
    local mingw_runtime_dir pthread_dir
    mkdir -p "$2"
    cp -u /usr/share/fonts/truetype/liberation/Liberation{Mono,Sans}-*.ttf "$2/"
    "${WINE}" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ /d "$(winpath "$2")" /f >/dev/null 2>&1
    mingw_runtime_dir="$(dirname "$(i686-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
    pthread_dir="$(dirname "$(i686-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")"
    SUITE_WINEPATH="$(winpath "$1/bin");$(winpath "${mingw_runtime_dir}");$(winpath "${pthread_dir}")"
}

# winpath PATH: a Linux path as wine sees it (drive Z: is the root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# report_suite NAME EXIT_CODE LOG: one line for a GoogleTest suite run under
# wine, "NAME.exe: N tests passed under wine (M skipped)" on stdout, or why it
# failed and its failed tests on stderr; returns 1 when it failed or ran nothing.
report_suite() {
    local suite="$1" code="$2" log="$3" summary passed skipped
    summary="$(tr -d '\r' <"${log}")"
    passed="$(sed -n 's/^\[  PASSED  \] \([0-9][0-9]*\) tests\{0,1\}\..*/\1/p' <<<"${summary}" | tail -n 1)"
    skipped="$(sed -n 's/^\[  SKIPPED \] \([0-9][0-9]*\) tests\{0,1\},.*/\1/p' <<<"${summary}" | tail -n 1)"
    if [[ "${code}" -eq 0 && "${passed:-0}" -gt 0 ]] && ! grep -q '^\[  FAILED  \]' <<<"${summary}"; then
        echo "${suite}.exe: ${passed} tests passed under wine${skipped:+ (${skipped} skipped)}"
        return 0
    fi
    echo "${suite}.exe: failed under wine (exit ${code}${passed:+, ${passed} passed}); log: ${log}" >&2
    grep -E '^\[  FAILED  \] [A-Za-z0-9_/.]+$' <<<"${summary}" >&2 || true
    return 1
}
