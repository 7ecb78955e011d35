# Sourced by the scripts that run Windows programs under wine.
#
# wine_setup BUILD_DIR: sets WINE to wine's loader, empty when wine is not
# installed (Debian's wine64 package alone leaves it off the PATH, in
# /usr/lib/wine), and gives BUILD_DIR a quiet wine prefix of its own, without
# the Mono and Gecko installers (the first start makes it, about 10 s).
wine_setup() {
    WINE="$(command -v wine64 || command -v wine || true)"
    if [[ -z "${WINE}" && -x /usr/lib/wine/wine64 ]]; then
        WINE=/usr/lib/wine/wine64
    fi
    export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# winpath PATH: a Linux path as wine sees it (drive Z: is the root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }
