#!/usr/bin/env bash
# Checks that shipped Windows images (.exe and .dll) load on Windows 7 SP1:
# - the subsystem and OS versions in the PE optional header are 6.1 or lower;
# - every imported DLL, delay-loaded ones included, is one of the checked images
#   (matched by file name, case-insensitively) or a DLL that Windows 7 SP1 ships;
# - no function is imported from the system that Windows 7 SP1 lacks;
# - with --arch x86 (the default), every image is 32-bit x86 (PE32, pei-i386).
# Folders are searched recursively for *.exe and *.dll. One line per image that
# passes, one line on stderr per refusal, then a summary line.
#
# Usage: scripts/check-windows-imports.sh [--arch x86|any] PATH...
# Exits 0 when every image passes and at least one was checked, 1 otherwise,
# 2 on a usage error (no PATH, a PATH that does not exist, a bad option).
set -euo pipefail

OBJDUMP32=i686-w64-mingw32-objdump
OBJDUMP64=x86_64-w64-mingw32-objdump
PROG="check-windows-imports"

USAGE="usage: scripts/check-windows-imports.sh [--arch x86|any] PATH..."
usage() {
    echo "${USAGE}" >&2
    exit 2
}

# DLLs that every edition of Windows 7 SP1 has in System32 (lower case).
SYSTEM_DLLS=(
    kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comdlg32 comctl32
    winmm ws2_32 wsock32 mswsock imm32 uxtheme dwmapi shlwapi shfolder version
    netapi32 userenv wtsapi32 setupapi cfgmgr32 newdev hid winusb mpr msvcrt
    ntdll rpcrt4 secur32 sspicli credui cryptui crypt32 bcrypt ncrypt wintrust
    authz iphlpapi dnsapi wldap32 winhttp wininet urlmon winscard
    d3d9 d3d10 d3d10_1 d3d11 dxgi dxva2 dwrite d2d1 windowscodecs gdiplus
    opengl32 glu32 msimg32 usp10 mscms oleacc uiautomationcore propsys
    psapi powrprof dbghelp imagehlp pdh wevtapi avrt ktmw32 normaliz msi
    dsound dinput8 xinput9_1_0 msacm32 msvfw32 avifil32 cabinet rasapi32
)
declare -A SYSTEM_DLL=()
for dll in "${SYSTEM_DLLS[@]}"; do SYSTEM_DLL["${dll}.dll"]=1; done
SYSTEM_DLL["winspool.drv"]=1

# Why a DLL cannot be relied on under Windows 7 SP1 (lower-case name), or nothing.
dll_refusal() {
    case "$1" in
        api-ms-win-crt-*) echo "Universal CRT API set ${1%.dll}: not on a plain Windows 7 SP1" ;;
        api-ms-win-* | ext-ms-*) echo "API set ${1%.dll}: Windows 7 SP1 resolves only a few early sets" ;;
        ucrtbase*.dll | vcruntime140*.dll | msvcp140*.dll | concrt140*.dll)
            echo "Universal CRT: not on a plain Windows 7 SP1" ;;
        kernelbase.dll) echo "on Windows 7, but most of its exports are newer; import KERNEL32 instead" ;;
        shcore.dll) echo "Windows 8.1" ;;
        d3d12.dll | dxcore.dll) echo "Windows 10" ;;
        dcomp.dll | combase.dll | ninput.dll | coremessaging.dll | wintypes.dll | windows.ui*.dll | twinapi*.dll)
            echo "Windows 8" ;;
    esac
}

# Functions that Windows 7 SP1 lacks, with the Windows that brought them.
declare -A NEWER_FUNCTION=()
newer() {
    local since="$1"
    shift
    local function
    for function in "$@"; do NEWER_FUNCTION["${function}"]="${since}"; done
}
newer "Windows 8" GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2 GetOverlappedResultEx \
    WaitOnAddress WakeByAddressSingle WakeByAddressAll \
    InitializeSynchronizationBarrier EnterSynchronizationBarrier DeleteSynchronizationBarrier \
    GetCurrentThreadStackLimits PrefetchVirtualMemory SetProcessMitigationPolicy GetProcessMitigationPolicy \
    GetProcessInformation SetProcessInformation GetThreadInformation SetThreadInformation \
    GetFirmwareType GetAppContainerNamedObjectPath GetMemoryErrorHandlingCapabilities \
    RegisterBadMemoryNotification UnregisterBadMemoryNotification \
    CreateFileMappingFromApp MapViewOfFileFromApp LoadPackagedLibrary \
    GetPackageFamilyName GetCurrentPackageFullName GetCurrentPackageId GetCurrentPackageFamilyName \
    RoInitialize RoUninitialize RoGetActivationFactory WindowsCreateString WindowsDeleteString \
    CoIncrementMTAUsage CoDecrementMTAUsage CoWaitForMultipleObjects \
    EnableMouseInPointer IsMouseInPointerEnabled GetPointerType GetPointerCursorId GetPointerInfo \
    GetPointerInfoHistory GetPointerFrameInfo GetPointerFrameInfoHistory GetPointerPenInfo \
    GetPointerPenInfoHistory GetPointerFramePenInfo GetPointerFramePenInfoHistory GetPointerTouchInfo \
    GetPointerTouchInfoHistory GetPointerFrameTouchInfo GetPointerFrameTouchInfoHistory \
    GetPointerDevices GetPointerDevice GetPointerDeviceRects GetPointerDeviceProperties \
    GetPointerDeviceCursors GetRawPointerDeviceData RegisterPointerDeviceNotifications \
    InitializeTouchInjection InjectTouchInput RegisterPointerInputTarget UnregisterPointerInputTarget \
    SkipPointerFrameMessages RegisterTouchHitTestingWindow EvaluateProximityToRect \
    EvaluateProximityToPolygon GetUnpredictedMessagePos GetCurrentInputMessageSource GetCIMSSM \
    GetDisplayAutoRotationPreferences SetDisplayAutoRotationPreferences IsImmersiveProcess \
    GetWindowFeedbackSetting SetWindowFeedbackSetting SetCoalescableTimer \
    RegisterSuspendResumeNotification UnregisterSuspendResumeNotification \
    GetAddrInfoExCancel GetAddrInfoExOverlappedResult EventSetInformation BCryptKeyDerivation
newer "Windows 8.1" GetDpiForMonitor SetProcessDpiAwareness GetProcessDpiAwareness \
    GetScaleFactorForMonitor GetDpiForShellUIComponent \
    LogicalToPhysicalPointForPerMonitorDPI PhysicalToLogicalPointForPerMonitorDPI \
    DiscardVirtualMemory OfferVirtualMemory ReclaimVirtualMemory GetPointerInputTransform \
    RoGetAgileReference CreateDXGIFactory2 BCryptCreateMultiHash BCryptProcessMultiOperations
newer "Windows 10" GetDpiForWindow GetDpiForSystem GetSystemDpiForProcess GetDpiFromDpiAwarenessContext \
    GetAwarenessFromDpiAwarenessContext SetProcessDpiAwarenessContext GetDpiAwarenessContextForProcess \
    SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext GetWindowDpiAwarenessContext \
    AreDpiAwarenessContextsEqual IsValidDpiAwarenessContext EnableNonClientDpiScaling \
    SetThreadDpiHostingBehavior GetThreadDpiHostingBehavior GetWindowDpiHostingBehavior \
    SetDialogDpiChangeBehavior GetDialogDpiChangeBehavior \
    SetDialogControlDpiChangeBehavior GetDialogControlDpiChangeBehavior \
    SetThreadDescription GetThreadDescription MapViewOfFile3 VirtualAlloc2 VirtualAllocFromApp \
    CreateDispatcherQueueController IsWow64Process2 QueryInterruptTime QueryInterruptTimePrecise \
    QueryUnbiasedInterruptTimePrecise GetSystemCpuSetInformation GetProcessDefaultCpuSets \
    SetProcessDefaultCpuSets GetThreadSelectedCpuSets SetThreadSelectedCpuSets \
    CreateSyntheticPointerDevice InjectSyntheticPointerInput D3D11On12CreateDevice BCryptHash
newer "Windows 11" GetTempPath2A GetTempPath2W
newer "Windows 8, or Windows 7 with update KB2533623" SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory

# Why Windows 7 SP1 lacks a function, or nothing.
function_refusal() {
    if [[ -n "${NEWER_FUNCTION[$1]:-}" ]]; then
        echo "${NEWER_FUNCTION[$1]}"
    elif [[ "$1" == *ForDpi ]]; then
        echo "Windows 10"
    fi
}

arch=x86
paths=()
while (($#)); do
    case "$1" in
        --arch) [[ $# -ge 2 ]] || usage; arch="$2"; shift 2 ;;
        --arch=*) arch="${1#--arch=}"; shift ;;
        -h | --help) echo "${USAGE}"; exit 0 ;;
        --) shift; paths+=("$@"); break ;;
        -*) echo "${PROG}: unknown option $1" >&2; usage ;;
        *) paths+=("$1"); shift ;;
    esac
done
[[ "${arch}" == x86 || "${arch}" == any ]] || { echo "${PROG}: --arch is x86 or any" >&2; usage; }
((${#paths[@]})) || usage

images=()
declare -A seen=() shipped=()
add_image() {
    local real
    real="$(realpath "$1")"
    [[ -z "${seen[${real}]:-}" ]] || return 0
    seen["${real}"]=1
    images+=("$1")
    local base="${1##*/}"
    shipped["${base,,}"]=1
}
for path in "${paths[@]}"; do
    if [[ -d "${path}" ]]; then
        while IFS= read -r -d '' found; do
            add_image "${found}"
        done < <(find "${path}" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 | sort -z)
    elif [[ -f "${path}" ]]; then
        add_image "${path}"
    else
        echo "${PROG}: ${path}: no such file or folder" >&2
        exit 2
    fi
done

# Imports of the image dumped by `objdump -p` (on stdin), one record a line:
# "dll NAME", then "fn NAME FUNCTION" or "ord NAME ORDINAL" for each import.
imports_of() {
    awk '
        /^[[:space:]]*DLL Name:/ { dll = toupper($3); print "dll", dll; next }
        dll != "" && /^[[:space:]]*$/ { dll = ""; next }
        dll != "" && NF >= 3 && $1 ~ /^[0-9a-fA-F]+$/ && $2 ~ /^[0-9]+$/ {
            if ($3 == "<none>") print "ord", dll, $2 + 0
            else print "fn", dll, $3
        }
    '
}

# Delay-load imports, which objdump does not list: read from the delay import
# directory (IMAGE, dump of `objdump -p`, objdump to use), in the records of imports_of.
delay_imports_of() {
    local image="$1" dump="$2" objdump="$3"
    local dir_rva dir_size image_base wide=0
    read -r dir_rva dir_size < <(awk '$1 == "Entry" && $2 == "d" { print $3, $4 }' <<<"${dump}")
    [[ -n "${dir_rva}" && $((16#${dir_rva})) -ne 0 ]] || return 0
    image_base=$((16#$(awk '$1 == "ImageBase" { print $2 }' <<<"${dump}")))
    grep -q '(PE32+)' <<<"${dump}" && wide=1

    local -a section_rva=() section_size=() section_offset=()
    local idx name size vma offset rest
    while read -r idx name size vma _ offset rest; do
        [[ "${idx}" =~ ^[0-9]+$ && "${offset}" =~ ^[0-9a-fA-F]+$ ]] || continue
        section_rva+=($((16#${vma} - image_base)))
        section_size+=($((16#${size})))
        section_offset+=($((16#${offset})))
    done < <("${objdump}" -h "${image}")

    # File offset of an RVA, in OFFSET; fails when no section holds it.
    local OFFSET
    to_offset() {
        local i
        for i in "${!section_rva[@]}"; do
            if (($1 >= section_rva[i] && $1 < section_rva[i] + section_size[i])); then
                OFFSET=$(($1 - section_rva[i] + section_offset[i]))
                return 0
            fi
        done
        return 1
    }
    # The NUL-terminated string at an RVA, in TEXT.
    local TEXT
    text_at() {
        to_offset "$1" || return 1
        TEXT=""
        IFS= read -r -d '' TEXT < <(dd if="${image}" bs=256 count=1 iflag=skip_bytes skip="${OFFSET}" status=none) || true
        [[ -n "${TEXT}" ]]
    }

    local descriptor=$((16#${dir_rva})) end=$((16#${dir_rva} + 16#${dir_size})) fields adjust dll thunk_rva thunk_size=4 thunk
    ((wide)) && thunk_size=8
    # Up to a descriptor of zeros or the end of the directory.
    while ((descriptor + 32 <= end)); do
        to_offset "${descriptor}" || { echo "bad delay-load table"; return; }
        # Attributes, DLL name, module handle, address table, name table (4 bytes each).
        read -r -a fields < <(od -An -v -w20 -t u4 -j "${OFFSET}" -N 20 "${image}")
        ((fields[1] != 0)) || return 0
        # Without the "addresses are RVAs" attribute, the old layout holds addresses.
        adjust=0
        ((fields[0] & 1)) || adjust=${image_base}
        text_at $((fields[1] - adjust)) || { echo "bad delay-load table"; return; }
        dll="${TEXT^^}"
        echo "dll ${dll} delay"
        thunk_rva=$((fields[4] - adjust))
        while to_offset "${thunk_rva}"; do
            thunk="$(od -An -v -t "x${thunk_size}" -j "${OFFSET}" -N "${thunk_size}" "${image}" | tr -d ' ')"
            [[ -n "${thunk}" && ! "${thunk}" =~ ^0+$ ]] || break
            if [[ "${thunk:0:1}" == [89a-fA-F] ]]; then
                echo "ord ${dll} $((16#${thunk: -4}))"
            elif text_at $((16#${thunk} + 2 - adjust)); then
                echo "fn ${dll} ${TEXT}"
            else
                echo "bad delay-load table"
                return
            fi
            thunk_rva=$((thunk_rva + thunk_size))
        done
        descriptor=$((descriptor + 32))
    done
}

# "pei-i386" or "pei-x86-64" as objdump names the image's format, or nothing.
format_of() {
    local format objdump
    for objdump in "${OBJDUMP32}" "${OBJDUMP64}"; do
        format="$("${objdump}" -f "$1" 2>/dev/null | sed -n 's/.*file format \(pei-[a-z0-9-]*\).*/\1/p')" || true
        if [[ -n "${format}" ]]; then
            echo "${format}"
            return
        fi
    done
}

checked=0
refused=0
check_image() {
    local image="$1" name format objdump label dump refusals=0
    name="${image##*/}"
    checked=$((checked + 1))
    refuse() {
        echo "$*" >&2
        refusals=$((refusals + 1))
    }

    format="$(format_of "${image}")"
    case "${format}" in
        pei-i386) objdump="${OBJDUMP32}" label="PE32 x86" ;;
        pei-x86-64) objdump="${OBJDUMP64}" label="PE32+ x64" ;;
        *)
            refuse "${name} is not an x86 Windows image (objdump reads no pei-i386 or pei-x86-64 format)"
            refused=$((refused + 1))
            return
            ;;
    esac
    if [[ "${arch}" == x86 && "${format}" != pei-i386 ]]; then
        refuse "${name} is ${label} (${format}), not 32-bit x86"
    fi

    dump="$("${objdump}" -p "${image}")"
    local -A version=()
    local key value
    while read -r key value; do
        version["${key}"]="${value}"
    done < <(awk '$1 ~ /^(Major|Minor)(OSystem|Subsystem)Version$/ { print $1, $2 }' <<<"${dump}")
    local subsystem="${version[MajorSubsystemVersion]:-?}.${version[MinorSubsystemVersion]:-?}"
    local os="${version[MajorOSystemVersion]:-?}.${version[MinorOSystemVersion]:-?}"
    for key in subsystem:Subsystem OS:OSystem; do
        local major="${version[Major${key#*:}Version]:-}" minor="${version[Minor${key#*:}Version]:-}"
        if [[ ! "${major}.${minor}" =~ ^[0-9]+\.[0-9]+$ ]]; then
            refuse "${name}: objdump shows no ${key%%:*} version"
        elif ((major > 6 || (major == 6 && minor > 1))); then
            refuse "${name} has ${key%%:*} version ${major}.${minor} (newer than Windows 7's 6.1: Windows 7 refuses to start it)"
        fi
    done

    local records kind dll item delay reason
    records="$(imports_of <<<"${dump}")"$'\n'"$(delay_imports_of "${image}" "${dump}" "${objdump}")"
    local -A dlls=() delayed=() refused_dll=()
    local functions=0 ordinals=()
    while read -r kind dll item; do
        case "${kind}" in
            dll)
                delay="${item}"
                [[ -z "${dlls[${dll}]:-}" ]] || continue
                dlls["${dll}"]=1
                [[ "${delay}" != delay ]] || delayed["${dll}"]=1
                [[ -z "${shipped[${dll,,}]:-}" ]] || continue
                reason="$(dll_refusal "${dll,,}")"
                if [[ -z "${reason}" && -z "${SYSTEM_DLL[${dll,,}]:-}" ]]; then
                    reason="neither among the checked images nor a Windows 7 SP1 system DLL"
                fi
                if [[ -n "${reason}" ]]; then
                    refused_dll["${dll}"]=1
                    refuse "${name} imports ${dll}${delay:+, delay-loaded} (${reason})"
                fi
                ;;
            fn)
                functions=$((functions + 1))
                [[ -z "${shipped[${dll,,}]:-}" && -z "${refused_dll[${dll}]:-}" ]] || continue
                reason="$(function_refusal "${item}")"
                [[ -z "${reason}" ]] || refuse "${name} imports ${dll}!${item}${delay:+, delay-loaded} (${reason})"
                ;;
            ord)
                functions=$((functions + 1))
                ordinals+=("${dll}#${item}")
                ;;
            bad)
                refuse "${name}: its delay-load table cannot be read"
                ;;
        esac
    done <<<"${records}"

    if ((refusals)); then
        refused=$((refused + 1))
        return
    fi
    local dll_note="" function_note=""
    ((${#delayed[@]} == 0)) || dll_note=" (${#delayed[@]} delay-loaded)"
    ((${#ordinals[@]} == 0)) || function_note=" (${#ordinals[@]} by ordinal: ${ordinals[*]})"
    echo "${name}: ${label}, subsystem ${subsystem}, OS ${os}, ${#dlls[@]} DLLs${dll_note}," \
        "${functions} functions${function_note}: loads on Windows 7 SP1"
}

for image in "${images[@]}"; do
    check_image "${image}"
done

if ((checked == 0)); then
    echo "windows-7 imports: no .exe or .dll found in ${paths[*]}" >&2
    exit 1
elif ((refused)); then
    echo "windows-7 imports: ${checked} images checked, ${refused} refused (they do not load on Windows 7 SP1)" >&2
    exit 1
fi
echo "windows-7 imports: ${checked} images checked, all load on Windows 7 SP1"
