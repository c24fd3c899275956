#!/usr/bin/env bash
# The README's picture of the main window after a run, made from a real run so that it stays true:
# starts the virtual instrument and the program (both already built in build/) in a scratch copy of
# install/ under a virtual X server, clicks CONNECT and RUN, moves the XA cursor onto the curves, waits
# for the run to end and saves a screenshot of the main window.
# Usage: scripts/readme-picture.sh [DEVICE [OUTPUT [STEP]]]
#   DEVICE  the part in the virtual socket (default npn; nmos-enh selects the NFET preset first)
#   OUTPUT  where the picture goes (default docs/window.png)
#   STEP    a step (0..6 of the presets' six steps) whose KEY row is clicked for the PARAMETERS box
set -uo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
device=${1:-npn}
output=$(realpath -m "${2:-$top/docs/window.png}")
step=${3:-}
program="$top/build/krv650" simulator="$top/build/krv650-sim"

if [ -z "${KRV_PICTURE_INNER:-}" ]; then
  for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
  done
  for built in "$program" "$simulator"; do
    [ -x "$built" ] || { echo "$built is missing: build first (make build)"; exit 1; }
  done
  KRV_PICTURE_INNER=1 exec xvfb-run -a -s '-screen 0 1600x900x24' "$0" "$device" "$output" $step
fi
export QT_QPA_PLATFORM=xcb

work=$(mktemp -d "${TMPDIR:-/tmp}/krv650-picture-XXXXXX")
pid="" sim=""
cleanup() {
  for p in $pid $sim; do
    if kill -0 "$p" 2>/dev/null; then kill "$p"; wait "$p" 2>/dev/null; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
die() { echo "$*" >&2; [ -f "$work/out.txt" ] && cat "$work/out.txt" >&2; exit 1; }

cp -r "$top/install/." "$work/"
find "$work" -name .keep -delete
printf 'KRV_ComPort=1\r\nCheckWebsiteForUpdate=0\r\n' > "$work/settings/system_settings.txt"
"$simulator" --write-cal "$work/KRV_cal.txt"
(cd "$work" && exec "$simulator" --port 1 --dir . --device "$device" --speed 4) > "$work/sim.txt" 2>&1 &
sim=$!
for _ in $(seq 1 50); do [ -e "$work/ports/COM1" ] && break; sleep 0.1; done
[ -e "$work/ports/COM1" ] || die "the virtual instrument did not start"

(cd "$work" && exec "$program") > "$work/out.txt" 2>&1 &
pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name 'Curve Tracer' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || die "the main window did not appear"
sleep 1.5

shot="$work/shot.png"
snap() { import -window "$window" "$shot" 2>/dev/null; }
pixel() {
  convert "$shot" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
green_in() { # x y w h: pixels of (0,255,0), the colour of "CONNECTED" and "RUNNING"
  convert "$shot" -crop "$3x$4+$1+$2" +repage -fill black +opaque "rgb(0,255,0)" -fill white -opaque "rgb(0,255,0)" \
    -format "%[fx:int(mean*w*h+0.5)]" info:
}
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.3; }

# The left column starts under the menu bar; its first header is grey (117,117,117) at y = 10.
menu=""
snap
for y in $(seq 0 80); do
  [ "$(pixel 3 "$y")" == "117,117,117" ] && { menu=$((y - 10)); break; }
done
[ -n "$menu" ] || die "no left column in the window"
width=$(convert "$shot" -format "%w" info:)
panel=$((width - 400))

# A field-effect part needs the gate voltage steps of its preset (NFET button at 96,103).
case "$device" in
  nmos-enh | nmos-dep | njfet) click 120 $((menu + 115)) ;;
esac

click 72 $((menu + 38)) # CONNECT
for _ in $(seq 1 50); do
  snap
  [ "$(green_in 1 $((menu + 26)) 142 25)" -gt 20 ] && break
  sleep 0.1
done
[ "$(green_in 1 $((menu + 26)) 142 25)" -gt 20 ] || die "the link did not open"

click 72 $((menu + 656)) # RUN
started=0 ended=0
for _ in $(seq 1 1200); do
  sleep 0.1
  snap
  if [ "$(green_in 1 $((menu + 644)) 142 25)" -gt 20 ]; then started=1; elif [ "$started" == 1 ]; then ended=1; break; fi
done
[ "$ended" == 1 ] || die "the run did not end within two minutes"
sleep 1

# XA onto the curves: steps of 10 % of the full scale ("10" at 51,27 of the panel), three to the right.
click $((panel + 63)) $((menu + 39))
for _ in 1 2 3; do click $((panel + 186)) $((menu + 115)); done
# Key rows from y = 204, 19 apart, the highest step first.
[ -n "$step" ] && click $((panel + 60)) $((menu + 204 + 19 * (6 - step) + 9))
sleep 1
snap
mkdir -p "$(dirname "$output")"
cp "$shot" "$output"
echo "saved $output"
