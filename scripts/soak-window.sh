#!/usr/bin/env bash
# The monitor itself, window and all, under the soak's load for MINUTES
# (default 10): a virtual module with 8 inputs and 8 outputs, every rate at
# 100 kHz, the refresh period at 100 ms, address reception on all 8 inputs and
# the test array sent cyclically on all 8 outputs (each output is wired to the
# input of its number). It runs on a private Xvfb display and is driven with
# xdotool as a user would drive it; telvar5-bench checks through the bench
# socket that every input receives and every output transmits.
#
# Reports the monitor's CPU share (utime + stime from /proc/PID/stat over the
# wall time, in % of one core) and its resident memory (VmRSS) at the start and
# the end of the measured minutes, a line a minute, and leaves two screenshots
# (after the setup, at the end) with the report in the output folder.
#
#   scripts/soak-window.sh [MINUTES]
#   TELVAR5_BUILD   build folder with src/app/telvar5-monitor and tools/telvar5-bench (default build/)
#   TELVAR5_SOAK_OUT output folder (default: a new one under $TMPDIR or /tmp)
#
# Needs Xvfb, xdotool and ImageMagick's import (installed with apt-get when
# missing and run as root). Exit status 0 when the setup held and the monitor
# lived through the minutes; 1 otherwise.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-10}
[[ $minutes =~ ^[0-9]+$ && $minutes -ge 1 ]] || { echo "usage: $0 [MINUTES]" >&2; exit 2; }
build=${TELVAR5_BUILD:-$root/build}
[[ $build = /* ]] || build=$root/$build
monitor=$build/src/app/telvar5-monitor
bench=$build/tools/telvar5-bench
for f in "$monitor" "$bench"; do
  [ -x "$f" ] || { echo "missing $f: build telvar5-monitor and telvar5-bench first" >&2; exit 1; }
done

missing=()
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v import >/dev/null || missing+=(imagemagick)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "missing packages: ${missing[*]} (apt-get install them)" >&2
    exit 1
  fi
fi

out=${TELVAR5_SOAK_OUT:-$(mktemp -d "${TMPDIR:-/tmp}/telvar5-soak-window.XXXXXX")}
mkdir -p "$out/work" "$out/runtime"
chmod 700 "$out/runtime"
cat >"$out/work/telvar5-vdrv.conf" <<'EOF'
# One module with 8 inputs and 8 outputs; output k is wired to input k.
bench-socket bench/telvar5-bench.sock
interface 0 serial 1021 inputs 8 outputs 8
EOF
conf=$out/work/telvar5-vdrv.conf
report=$out/report.txt
: >"$report"
say() { echo "$*" | tee -a "$report"; }

# A display of our own: the first free number from 90 on.
xvfb_pid= monitor_pid=
cleanup() {
  [ -n "$monitor_pid" ] && kill "$monitor_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for n in $(seq 90 150); do
  [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
  Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  if kill -0 "$xvfb_pid" 2>/dev/null && [ -e /tmp/.X11-unix/X$n ]; then
    export DISPLAY=:$n
    break
  fi
  xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "no free X display in :90..:150" >&2; exit 1; }

# Positions in the 1280x1024 window (no window manager: it fills the screen from 0,0).
tool_y=35                 # toolbar row
tb_choice=53 tb_ini=82 tb_si_address=147 tb_so_cyclic=270 tb_so_test=364 tb_timer=516
rate_x_in=500 rate_x_out=600 rate_y1=331 rate_dy=30 # the bit-rate lists, channels 1..8, before initialisation
tab_y=62 si_tab_x1=39 si_tab_dx=79                  # input tabs "Вх.канал k"
so_tabs_x=1163                                      # over the output tab strip: the wheel steps its tabs

click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.4}"; }
shot() { import -window root "$out/$1.png"; say "screenshot: $out/$1.png"; }

(cd "$out/work" && unset QT_QPA_PLATFORM && XDG_RUNTIME_DIR=$out/runtime exec "$monitor") >"$out/monitor.log" 2>&1 &
monitor_pid=$!
for _ in $(seq 100); do
  xdotool search --name "Монитор модуля TELVAR-5" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1

# The module: the choice dialog's Enter applies, the warning's Enter answers "Да".
click $tb_choice $tool_y 1
xdotool key Return; sleep 1
xdotool key Return; sleep 1
# Every rate at 100 kHz: the last item of each of the 16 lists.
for k in 0 1 2 3 4 5 6 7; do
  for x in $rate_x_in $rate_x_out; do
    click "$x" $((rate_y1 + rate_dy * k)) 0.3
    xdotool key End Return; sleep 0.2
  done
done
# The refresh period: 100 ms.
click $tb_timer $tool_y 1
xdotool key ctrl+a; xdotool type 100; xdotool key Return; sleep 0.5
click $tb_ini $tool_y 1
# Address reception on every input tab.
for k in 0 1 2 3 4 5 6 7; do
  click $((si_tab_x1 + si_tab_dx * k)) $tab_y 0.5
  click $tb_si_address $tool_y 0.3
done
# On every output tab (the wheel over the strip steps them): the test array, sent cyclically.
xdotool mousemove $so_tabs_x $tab_y
for _ in 1 2 3 4 5 6 7 8; do xdotool click 4; sleep 0.05; done
for k in 1 2 3 4 5 6 7 8; do
  [ $k -gt 1 ] && { xdotool mousemove $so_tabs_x $tab_y click 5; }
  sleep 0.5 # the buttons follow the tab at the next tick
  click $tb_so_test $tool_y 0.3
  click $tb_so_cyclic $tool_y 0.3
done
sleep 2
shot setup

modules=$("$bench" -c "$conf" modules)
echo "$modules" >"$out/modules-start.txt"
receiving=$(grep -cE '^  in [1-8]: address reception, code 2 ' <<<"$modules" || true)
sending=$(grep -cE '^  out [1-8] -> in [1-8]: cyclic, 256 words per run, code 2 ' <<<"$modules" || true)
say "telvar5-bench modules: $receiving of 8 inputs in address reception at 100 kHz, $sending of 8 outputs cyclic at 100 kHz"
if [ "$receiving" -ne 8 ] || [ "$sending" -ne 8 ]; then
  echo "$modules" >&2
  echo "the setup did not take: see $out/setup.png" >&2
  exit 1
fi

# The measured minutes.
hz=$(getconf CLK_TCK)
cpu_ticks() { sed 's/.*) //' "/proc/$monitor_pid/stat" | awk '{print $12 + $13}'; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$monitor_pid/status"; }
now() { date +%s.%N; }
t0=$(now) c0=$(cpu_ticks) rss0=$(rss_kb)
say "monitor pid $monitor_pid on display $DISPLAY; $(nproc) cores; $minutes minutes from $(date '+%F %T')"
say "start: RSS $rss0 kB"
t_prev=$t0 c_prev=$c0
for m in $(seq "$minutes"); do
  sleep 60
  kill -0 "$monitor_pid" 2>/dev/null || { say "the monitor died in minute $m"; exit 1; }
  t=$(now) c=$(cpu_ticks)
  say "$(awk -v m="$m" -v dc=$((c - c_prev)) -v hz="$hz" -v dt="$(awk -v a="$t" -v b="$t_prev" 'BEGIN{print a-b}')" \
    -v rss="$(rss_kb)" 'BEGIN{printf "minute %2d: CPU %5.1f%%, RSS %d kB", m, 100 * dc / hz / dt, rss}')"
  t_prev=$t c_prev=$c
done
t1=$(now) c1=$(cpu_ticks) rss1=$(rss_kb)
shot end
"$bench" -c "$conf" modules >"$out/modules-end.txt"
say "$(awk -v dc=$((c1 - c0)) -v hz="$hz" -v t0="$t0" -v t1="$t1" \
  'BEGIN{printf "CPU share over %.0f s: %.1f%% of one core (%.2f s of CPU)", t1 - t0, 100 * dc / hz / (t1 - t0), dc / hz}')"
say "RSS: $rss0 kB at start, $rss1 kB at end ($((rss1 - rss0)) kB)"
say "modules at the end: $out/modules-end.txt; report: $report"
