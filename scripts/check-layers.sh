#!/usr/bin/env bash
# The layer rule: includes run downward only (app -> gui -> core -> {device,
# formats} -> protocol; vdrv uses protocol only), and no file below gui
# includes a Qt header. Prints every offending include; fails if there is one.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

# folder : the project folders its files may include from
rules=(
  "src/protocol:protocol"
  "vdrv:protocol vdrv"
  "src/device:protocol device vdrv"
  "src/formats:protocol formats"
  "src/core:protocol device formats core"
  "src/gui:protocol device formats core gui"
  "src/app:protocol device formats core gui app"
  "tools:protocol device formats core vdrv"
  "fuzz:protocol device formats core vdrv"
  "standin:protocol device formats core vdrv standin"
)
qt_free="src/protocol vdrv src/device src/formats src/core tools fuzz standin"

status=0
for rule in "${rules[@]}"; do
  folder=${rule%%:*}
  allowed=" ${rule#*:} "
  while IFS= read -r hit; do
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$hit")
    top=${target%%/*}
    [ "$top" = "$target" ] && continue # a file beside it
    if [[ "$allowed" != *" $top "* ]]; then
      echo "upward or sideways include: $hit"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include "' "$folder" --include='*.h' --include='*.cpp')
done
for folder in $qt_free; do
  if grep -rnE '^[[:space:]]*#[[:space:]]*include <(Q[A-Za-z]|qt)' "$folder" --include='*.h' --include='*.cpp'; then
    echo "Qt include below the gui layer (above)"
    status=1
  fi
done
[ $status -eq 0 ] && echo "layer rule holds"
exit $status
