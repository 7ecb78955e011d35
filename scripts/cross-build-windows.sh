#!/usr/bin/env bash
# Cross-builds telvar5-probe.exe for 64-bit Windows with mingw-w64 and checks
# that it really calls the module's driver through SetupAPI and the file and
# device-control functions, and that it needs no mingw runtime DLL.
#
# Usage: scripts/cross-build-windows.sh [build-dir]   (default: <source>/build-win)
# Exits non-zero if the configure or build fails or a check does not pass.
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-${SOURCE_DIR}/build-win}"
OBJDUMP=x86_64-w64-mingw32-objdump

cmake -S "${SOURCE_DIR}" -B "${BUILD_DIR}" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="${SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DTELVAR5_DEVICE_ONLY=ON
cmake --build "${BUILD_DIR}" --target telvar5-probe

EXE="$(find "${BUILD_DIR}" -name telvar5-probe.exe -type f | head -n 1)"
if [[ -z "${EXE}" ]]; then
    echo "cross-build-windows: telvar5-probe.exe was not produced" >&2
    exit 1
fi

# "DLL-name function" for every imported function.
IMPORTS="$("${OBJDUMP}" -p "${EXE}" | awk '
    /^[[:space:]]*DLL Name:/ { dll = toupper($3); next }
    dll != "" && /^[[:space:]]*$/ { dll = ""; next }
    dll != "" && NF >= 3 && $1 ~ /^[0-9a-fA-F]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }
')"

status=0
check_import() {
    local dll="$1" func="$2"
    if grep -qx "${dll} ${func}" <<<"${IMPORTS}"; then
        echo "import ok:      ${dll} ${func}"
    else
        echo "import MISSING: ${dll} ${func}" >&2
        status=1
    fi
}
check_import SETUPAPI.DLL SetupDiGetClassDevsA
check_import SETUPAPI.DLL SetupDiEnumDeviceInterfaces
check_import SETUPAPI.DLL SetupDiGetDeviceInterfaceDetailA
check_import SETUPAPI.DLL SetupDiDestroyDeviceInfoList
check_import KERNEL32.DLL CreateFileA
check_import KERNEL32.DLL DeviceIoControl

# Self-contained: only system DLLs, no mingw C++, gcc or pthread runtime.
DLLS="$(cut -d' ' -f1 <<<"${IMPORTS}" | sort -u)"
echo "DLLs imported:  $(tr '\n' ' ' <<<"${DLLS}")"
if grep -Eiq '^(LIBSTDC\+\+|LIBGCC|LIBWINPTHREAD)' <<<"${DLLS}"; then
    echo "cross-build-windows: telvar5-probe.exe depends on a mingw runtime DLL" >&2
    status=1
fi

echo "built:          ${EXE} ($(stat -c %s "${EXE}") bytes)"
exit "${status}"
