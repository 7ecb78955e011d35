#!/usr/bin/env bash
# Cross-builds telvar5-probe.exe and telvar5-cli.exe for 32-bit Windows with
# mingw-w64 (the plain C++ layers, no Qt) and checks each: a 32-bit PE image
# that really calls the module's driver through SetupAPI and the file and
# device-control functions, and needs no mingw runtime DLL. When wine is
# installed, telvar5-cli.exe also runs under it, in a 32-bit Windows 7 prefix: `--help` must succeed and
# `modules` must report that no module is there (wine has no TELVAR-5 driver).
#
# Usage: scripts/cross-build-windows.sh [build-dir]   (default: <source>/build-win)
# Exits non-zero if the configure or build fails or a check does not pass.
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-${SOURCE_DIR}/build-win}"
OBJDUMP=i686-w64-mingw32-objdump
PROGRAMS=(telvar5-probe telvar5-cli)
# telvar5-cli's exit code when no module is found, and the line the device choice shows then.
EXIT_NO_MODULE=3
NO_MODULE_TEXT="модули не обнаружены"

cmake -S "${SOURCE_DIR}" -B "${BUILD_DIR}" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="${SOURCE_DIR}/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DTELVAR5_NO_QT=ON
cmake --build "${BUILD_DIR}" -j 2 --target "${PROGRAMS[@]}"

status=0
fail() {
    echo "cross-build-windows: $*" >&2
    status=1
}

# "DLL-name function" for every function the image imports.
imports_of() {
    "${OBJDUMP}" -p "$1" | awk '
        /^[[:space:]]*DLL Name:/ { dll = toupper($3); next }
        dll != "" && /^[[:space:]]*$/ { dll = ""; next }
        dll != "" && NF >= 3 && $1 ~ /^[0-9a-fA-F]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }
    '
}

check_program() {
    local name="$1" exe imports dlls
    exe="${BUILD_DIR}/tools/${name}.exe"
    if [[ ! -f "${exe}" ]]; then
        fail "${name}.exe was not produced"
        return
    fi
    echo "== ${name}.exe"

    if "${OBJDUMP}" -f "${exe}" | grep -q 'file format pei-i386'; then
        echo "format ok:      PE32 (pei-i386)"
    else
        fail "${name}.exe is not a 32-bit PE image"
    fi

    imports="$(imports_of "${exe}")"
    local dll_func
    for dll_func in "SETUPAPI.DLL SetupDiGetClassDevsA" \
                    "SETUPAPI.DLL SetupDiEnumDeviceInterfaces" \
                    "SETUPAPI.DLL SetupDiGetDeviceInterfaceDetailA" \
                    "SETUPAPI.DLL SetupDiDestroyDeviceInfoList" \
                    "KERNEL32.DLL CreateFileA" \
                    "KERNEL32.DLL DeviceIoControl"; do
        if grep -qx "${dll_func}" <<<"${imports}"; then
            echo "import ok:      ${dll_func}"
        else
            fail "${name}.exe does not import ${dll_func}"
        fi
    done

    # Self-contained: only system DLLs, no mingw C++, gcc or pthread runtime.
    dlls="$(cut -d' ' -f1 <<<"${imports}" | sort -u)"
    echo "DLLs imported:  $(tr '\n' ' ' <<<"${dlls}")"
    if grep -Eiq '^(LIBSTDC\+\+|LIBGCC|LIBWINPTHREAD)' <<<"${dlls}"; then
        fail "${name}.exe depends on a mingw runtime DLL"
    fi
    echo "built:          ${exe} ($(stat -c %s "${exe}") bytes)"
}

for program in "${PROGRAMS[@]}"; do
    check_program "${program}"
done
resource_programs=()
for program in "${PROGRAMS[@]}"; do resource_programs+=("${BUILD_DIR}/tools/${program}.exe"); done
"${SOURCE_DIR}/scripts/check-windows-resources.sh" "${resource_programs[@]}" || fail "a program lacks its resources"
"${SOURCE_DIR}/scripts/check-windows-imports.sh" "${resource_programs[@]}" || fail "a program imports what Windows 7 SP1 lacks"

# Runs telvar5-cli.exe under wine: ARGS... ; sets RUN_CODE, RUN_OUT, RUN_ERR.
run_under_wine() {
    local out_file err_file
    out_file="$(mktemp)"
    err_file="$(mktemp)"
    RUN_CODE=0
    # An empty working directory, so nothing around can stand in for a module.
    (cd "${WINE_WORK}" && "${WINE}" "${CLI_EXE}" "$@" >"${out_file}" 2>"${err_file}") || RUN_CODE=$?
    RUN_OUT="$(tr -d '\r' <"${out_file}")"
    RUN_ERR="$(tr -d '\r' <"${err_file}")"
    rm -f "${out_file}" "${err_file}"
}

source "${SOURCE_DIR}/scripts/wine-env.sh"
wine_setup "${BUILD_DIR}"
CLI_EXE="${BUILD_DIR}/tools/telvar5-cli.exe"
if [[ -z "${WINE}" ]]; then
    echo "wine:           not installed, telvar5-cli.exe is not run (scripts/install-deps.sh --tests installs wine32)"
elif [[ -f "${CLI_EXE}" ]]; then
    echo "== telvar5-cli.exe under ${WINE}"
    WINE_WORK="$(mktemp -d)"
    trap 'rm -rf "${WINE_WORK}"' EXIT

    run_under_wine --help
    if [[ "${RUN_CODE}" -eq 0 && "${RUN_OUT}" == *modules* ]]; then
        echo "wine ok:        --help exits 0 and lists the commands"
    else
        fail "telvar5-cli.exe --help under wine: exit ${RUN_CODE}, output: ${RUN_OUT:0:200}"
    fi

    run_under_wine modules
    if [[ "${RUN_CODE}" -eq "${EXIT_NO_MODULE}" && -z "${RUN_OUT}" && "${RUN_ERR}" == telvar5-cli:*"${NO_MODULE_TEXT}"* ]]; then
        echo "wine ok:        modules exits ${EXIT_NO_MODULE}: ${RUN_ERR}"
    else
        fail "telvar5-cli.exe modules under wine: exit ${RUN_CODE} (expected ${EXIT_NO_MODULE}), stdout '${RUN_OUT}', stderr '${RUN_ERR}'"
    fi
fi

exit "${status}"
