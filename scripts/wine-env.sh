# Sourced by the scripts that run Windows programs under wine.
#
# wine_setup BUILD_DIR: sets WINE to wine's loader, empty when wine is not
# installed (Debian's wine64 package alone leaves it off the PATH, in
# /usr/lib/wine), and gives BUILD_DIR a quiet wine prefix of its own, without
# the Mono and Gecko installers and with its own user folders (made on the
# first call, about 10 s).
wine_setup() {
    WINE="$(command -v wine64 || command -v wine || true)"
    if [[ -z "${WINE}" && -x /usr/lib/wine/wine64 ]]; then
        WINE=/usr/lib/wine/wine64
    fi
    # winemenubuilder off: wine writes no menu entries, .desktop files or icons into the user's desktop folders.
    export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    [[ -n "${WINE}" ]] && wine_own_folders
}

# wine_own_folders: wine maps the user's "Documents", "Desktop" and the like
# to the home folder; the tests write there (per-user working folders), so
# the prefix gets folders of its own instead and nothing lands outside it.
wine_own_folders() {
    if [[ ! -f "${WINEPREFIX}/system.reg" ]]; then
        "${WINE}" wineboot -i >/dev/null 2>&1 || true
        # The session ends before the caller's own begins (the stand-in stage starts a persistent one).
        local server
        server="$(dirname "$(readlink -f "${WINE}")")/wineserver"
        [[ -x "${server}" ]] || server=wineserver
        "${server}" -w 2>/dev/null || true
    fi
    local link
    for link in "${WINEPREFIX}"/drive_c/users/*/*; do
        if [[ -L "${link}" ]]; then
            rm -f "${link}"
            mkdir -p "${link}"
        fi
    done
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
