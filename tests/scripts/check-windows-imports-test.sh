#!/usr/bin/env bash
# Tests scripts/check-windows-imports.sh on tiny Windows images built here with
# mingw-w64, each made to pass or to fail one check. Run by ./test's windows stage.
# One line per case; exits non-zero when a case gives another exit code or
# lacks the line it should print.
set -euo pipefail

SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
CHECK="${SOURCE_DIR}/scripts/check-windows-imports.sh"
CC32=(nice -n 10 i686-w64-mingw32-gcc-posix -O1)
CC64=(nice -n 10 x86_64-w64-mingw32-gcc-posix -O1)
WORK="$(mktemp -d)"
trap 'rm -rf "${WORK}"' EXIT
cd "${WORK}"

cat >plain.c <<'EOF'
#include <windows.h>
int main(void) { MessageBoxW(NULL, L"up", L"TELVAR-5", MB_OK); return (int)(GetTickCount64() & 1); }
EOF
cat >precise.c <<'EOF'
#include <windows.h>
int main(void) { FILETIME t; GetSystemTimePreciseAsFileTime(&t); return (int)(t.dwLowDateTime & 1); }
EOF
cat >pointer.c <<'EOF'
#include <windows.h>
int main(void) { POINTER_INPUT_TYPE type; return GetPointerType(1, &type); }
EOF
cat >foo.c <<'EOF'
__declspec(dllexport) int foo_add(int a, int b) { return a + b; }
EOF
cat >uses-foo.c <<'EOF'
__declspec(dllimport) int foo_add(int a, int b);
int main(void) { return foo_add(1, 2); }
EOF
printf 'LIBRARY USER32.dll\nEXPORTS\nGetPointerType@8\n' >user32-delay.def

"${CC32[@]}" -D_WIN32_WINNT=0x0601 plain.c -o plain.exe -luser32
"${CC32[@]}" -D_WIN32_WINNT=0x0602 precise.c -o precise.exe
"${CC32[@]}" -D_WIN32_WINNT=0x0601 plain.c -o subsystem62.exe -luser32 \
    -Wl,--major-subsystem-version,6,--minor-subsystem-version,2
"${CC32[@]}" -D_WIN32_WINNT=0x0601 plain.c -o os62.exe -luser32 -Wl,--major-os-version,6,--minor-os-version,2
"${CC32[@]}" -shared foo.c -o foo.dll -Wl,--out-implib,libfoo.a
"${CC32[@]}" uses-foo.c -o uses-foo.exe libfoo.a
mkdir -p package/bin
cp uses-foo.exe package/
cp foo.dll package/bin/Foo.Dll
"${CC64[@]}" -D_WIN32_WINNT=0x0601 plain.c -o plain64.exe -luser32

# GetPointerType delay-loaded from USER32. ld leaves the delay import directory
# empty and the descriptor in .text, so the directory is pointed at it here,
# as Microsoft's linker would have it.
i686-w64-mingw32-dlltool -k -d user32-delay.def -y libuser32-delay.a
"${CC32[@]}" -D_WIN32_WINNT=0x0602 pointer.c -o pointer.exe libuser32-delay.a
descriptor=$((16#$(i686-w64-mingw32-nm pointer.exe | awk '/__DELAY_IMPORT_DESCRIPTOR_/ { print $1 }') - 0x400000))
pe_header=$(od -An -t u4 -j 60 -N 4 pointer.exe)
# Data directory 13 (delay imports) of a PE32 optional header: RVA, size.
directory_entry="$(printf '\\x%02x' $((descriptor & 255)) $((descriptor >> 8 & 255)) $((descriptor >> 16 & 255)) 0 32 0 0 0)"
printf '%b' "${directory_entry}" |
    dd of=pointer.exe bs=1 seek=$((pe_header + 24 + 96 + 13 * 8)) conv=notrunc status=none

# expected exit | text the output must hold (a glob) | arguments
CASES=(
    "0|plain.exe: PE32 x86, subsystem *, OS *, 3 DLLs, * functions: loads on Windows 7 SP1|plain.exe"
    "1|precise.exe imports KERNEL32.DLL!GetSystemTimePreciseAsFileTime (Windows 8)|precise.exe"
    "1|subsystem62.exe has subsystem version 6.2 (newer than Windows 7's 6.1|subsystem62.exe"
    "1|os62.exe has OS version 6.2 (newer than Windows 7's 6.1|os62.exe"
    "1|uses-foo.exe imports FOO.DLL (neither among the checked images nor a Windows 7 SP1 system DLL)|uses-foo.exe"
    "0|windows-7 imports: 2 images checked, all load on Windows 7 SP1|uses-foo.exe foo.dll"
    "0|windows-7 imports: 2 images checked, all load on Windows 7 SP1|package"
    "1|plain64.exe is PE32+ x64 (pei-x86-64), not 32-bit x86|plain64.exe"
    "0|plain64.exe: PE32+ x64, subsystem *: loads on Windows 7 SP1|--arch any plain64.exe"
    "1|pointer.exe imports USER32.DLL!GetPointerType, delay-loaded (Windows 8)|pointer.exe"
    "1|windows-7 imports: 3 images checked, 2 refused|plain.exe precise.exe uses-foo.exe"
    "2|usage: |--arch x86"
    "2|missing.exe: no such file or folder|plain.exe missing.exe"
)

failures=0
for case in "${CASES[@]}"; do
    IFS='|' read -r expected_exit expected_text arguments <<<"${case}"
    read -r -a args <<<"${arguments}"
    code=0
    output="$("${CHECK}" "${args[@]}" 2>&1)" || code=$?
    if [[ "${code}" -eq "${expected_exit}" && "${output}" == *${expected_text}* ]]; then
        echo "ok:   exit ${code}, ${arguments}"
    else
        echo "FAIL: ${arguments}: exit ${code} (expected ${expected_exit}), output lacks '${expected_text}':" >&2
        echo "      ${output//$'\n'/$'\n'      }" >&2
        failures=$((failures + 1))
    fi
done
echo "check-windows-imports: ${#CASES[@]} cases, ${failures} failed"
((failures == 0))
