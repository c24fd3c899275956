#!/usr/bin/env bash
# What the program costs while nobody uses it: the real program under a virtual X server, 30 s per
# scene (not connected; connected to the idle virtual instrument; with the Save Options window open;
# with the COM port window open), CPU from /proc/<pid>/stat and per-thread wake-ups from the voluntary
# context switches in /proc/<pid>/task/*/status.
# Usage: scripts/measure-idle.sh [PROGRAM [SIMULATOR [SECONDS]]]
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$here/build/krv650}") simulator=$(realpath "${2:-$here/build/krv650-sim}")
seconds=${3:-30}
closer=$(dirname "$program")/x11-close-window

if [ -z "${KRV_MEASURE_INNER:-}" ]; then
  KRV_MEASURE_INNER=1 exec xvfb-run -a -s '-screen 0 1600x900x24' "$0" "$program" "$simulator" "$seconds"
fi
export QT_QPA_PLATFORM=xcb

work=$(mktemp -d "${TMPDIR:-/tmp}/krv650-idle-XXXXXX")
pid="" sim=""
cleanup() {
  for p in $pid $sim; do
    if kill -0 "$p" 2>/dev/null; then kill "$p"; wait "$p" 2>/dev/null; fi
  done
  rm -rf "$work" "$work.out" "$work.sim"
}
trap cleanup EXIT

cp -r "$here/install/." "$work/"
find "$work" -name .keep -delete
printf 'KRV_ComPort=1\r\nCheckWebsiteForUpdate=0\r\n' > "$work/settings/system_settings.txt"
"$simulator" --write-cal "$work/KRV_cal.txt"
(cd "$work" && exec "$simulator" --port 1 --dir .) > "$work.sim" 2>&1 &
sim=$!
for _ in $(seq 1 50); do [ -e "$work/ports/COM1" ] && break; sleep 0.1; done
(cd "$work" && exec "$program") > "$work.out" 2>&1 &
pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name 'Curve Tracer' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the main window did not appear: $(cat "$work.out")"; exit 1; }
sleep 2

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# "tid name switches" per thread.
switches() {
  for t in /proc/"$pid"/task/*; do
    echo "$(basename "$t") $(tr ' ' '_' < "$t/comm") $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$t/status")"
  done
}

measure() {
  local scene=$1 before after
  before=$(cpu_ticks)
  local threads_before
  threads_before=$(switches)
  sleep "$seconds"
  after=$(cpu_ticks)
  awk -v s="$scene" -v b="$before" -v a="$after" -v t="$ticks" -v d="$seconds" \
    'BEGIN { printf "%-34s CPU %.2f %% of a core (%d ticks in %d s)\n", s, 100 * (a - b) / t / d, a - b, d }'
  join <(echo "$threads_before" | sort) <(switches | sort) |
    awk -v d="$seconds" -v p="$pid" '{ if ($5 - $3 >= d / 10) printf "    thread %-7s %-16s %7.1f wake-ups/s%s\n", $1, $2, ($5 - $3) / d, $1 == p ? " (window thread)" : "" }'
}

# The File menu's "Save Options / Graph Title" and the Instrument menu's "Select COM Port".
choose() {
  xdotool mousemove "$1" 8 click 1
  sleep 0.4
  xdotool mousemove "$2" "$3" click 1
  sleep 1
}

measure "not connected"
# CONNECT sits at the top of the left column, below the menu bar.
xdotool mousemove --window "$window" 72 60 click 1
sleep 3
measure "connected, idle instrument"
choose 20 64 53
xdotool search --name 'Save Options' >/dev/null 2>&1 || echo "    (the Save Options window did not open)"
measure "connected, Save Options open"
wid=$(xdotool search --name 'Save Options' 2>/dev/null | head -1)
[ -n "$wid" ] && "$closer" "$wid"
sleep 1.5
choose 78 120 75
xdotool search --name 'COM port select' >/dev/null 2>&1 || echo "    (the COM port window did not open)"
measure "connected, COM port window open"
