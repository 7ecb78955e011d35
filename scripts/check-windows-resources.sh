#!/usr/bin/env bash
# Checks that each Windows program given carries the project's resources: an
# icon, version information naming the product, and a manifest that asks for
# no elevation (asInvoker), common controls 6, per-monitor DPI awareness as Qt
# 5.15 handles it (not V2) and Windows 7 to 11 among its supported systems.
# One line per program; exits non-zero when one lacks any of them.
#
# Usage: scripts/check-windows-resources.sh PROGRAM.exe...
set -euo pipefail

OBJDUMP=i686-w64-mingw32-objdump # the programs are 32-bit
status=0
for exe in "$@"; do
    name="$(basename "${exe}")"
    # The types at the top of the resource directory: 0xe icon group, 0x10 version, 0x18 manifest.
    types="$("${OBJDUMP}" -p "${exe}" | sed -n 's/^0[0-9a-f]*   Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p' | tr '\n' ' ')"
    missing=""
    for type in "e:icon" "10:version" "18:manifest"; do
        grep -qw "${type%%:*}" <<<"${types}" || missing+=" ${type#*:}"
    done
    manifest="$(strings -n 8 "${exe}" | tr -d '\r')"
    for needed in 'level="asInvoker"' 'Microsoft.Windows.Common-Controls' '>PerMonitor<' \
                  '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
        grep -q "${needed}" <<<"${manifest}" || missing+=" manifest:${needed}"
    done
    strings -el "${exe}" | grep -qx 'TELVAR-5' || missing+=" product-name"
    if [[ -n "${missing}" ]]; then
        echo "${name}: lacks${missing}" >&2
        status=1
    else
        echo "${name}: icon, version information and manifest (asInvoker, common controls 6, per-monitor DPI, Windows 7 to 11)"
    fi
done
exit "${status}"
