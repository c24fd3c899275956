#!/usr/bin/env bash
# A new user's first sweep: starts the virtual instrument and the real program in a fresh working
# directory under a virtual X server, clicks CONNECT and then RUN at their places in the left column,
# waits for the run to end and checks the sample-run copy, the saved picture and the saved data file.
# Usage: connect_and_run.sh PROGRAM SIMULATOR INSTALL-DIR
set -uo pipefail

program=$(realpath "$1") simulator=$(realpath "$2") install=$(realpath "$3")

KRV_BLACKBOX_TOOLS="import convert" . "$(dirname "$0")/xvfb_session.sh" "$0" "$@"
work=$(mktemp -d "${TMPDIR:-/tmp}/krv650-first-run-XXXXXX")
pid="" sim=""
cleanup() {
  for p in $pid $sim; do
    if kill -0 "$p" 2>/dev/null; then kill "$p"; wait "$p" 2>/dev/null; fi
  done
  rm -rf "$work" "$work.out" "$work.sim" "$work.png"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

cp -r "$install/." "$work/"
find "$work" -name .keep -delete
# What `make run` seeds on first use; no update check, so nothing reaches for the network.
printf 'KRV_ComPort=1\r\nCheckWebsiteForUpdate=0\r\n' > "$work/settings/system_settings.txt"
"$simulator" --write-cal "$work/KRV_cal.txt"

(cd "$work" && exec "$simulator" --port 1 --dir .) > "$work.sim" 2>&1 &
sim=$!
for _ in $(seq 1 50); do [ -e "$work/ports/COM1" ] && break; sleep 0.1; done
[ -e "$work/ports/COM1" ] || { fail "the virtual instrument did not link ports/COM1: $(cat "$work.sim")"; exit 1; }

(cd "$work" && exec "$program") > "$work.out" 2>&1 &
pid=$!
window=$(main_window_id)
[ -n "$window" ] || no_main_window "$work.out"
sleep 1.5

snap() { import -window "$window" "$work.png" 2>/dev/null; }
# The colour of one pixel of the last picture taken, as "r,g,b".
pixel() {
  convert "$work.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
# Pixels of one colour inside a rectangle of the last picture taken.
count_colour() { # x y w h r,g,b
  convert "$work.png" -crop "$3x$4+$1+$2" +repage -fill black +opaque "rgb($5)" -fill white -opaque "rgb($5)" \
    -format "%[fx:int(mean*w*h+0.5)]" info:
}

# The left column starts right below the menu bar; its first header is grey (117,117,117) at y = 10.
menu=""
snap
for y in $(seq 0 80); do
  if [ "$(pixel 3 "$y")" == "117,117,117" ]; then
    menu=$((y - 10))
    break
  fi
done
[ -n "$menu" ] || { fail "no CONNECT STATUS header in the left column"; exit 1; }
ok "left column below a menu bar of $menu pixels"

# CONNECT (control 273 at 1,26, 142 x 25) and RUN (control 278 at 1,644).
xdotool mousemove --window "$window" 72 $((menu + 38)) click 1
connected=0
for _ in $(seq 1 50); do
  sleep 0.1
  snap
  # "CONNECTED" is drawn in (0,255,0).
  if [ "$(count_colour 1 $((menu + 26)) 142 25 0,255,0)" -gt 20 ]; then connected=1; break; fi
done
[ "$connected" == 1 ] && ok "CONNECT shows CONNECTED" || { fail "the link did not open: $(cat "$work.out")"; exit 1; }

xdotool mousemove --window "$window" 72 $((menu + 656)) click 1
started=0 ended=0
for _ in $(seq 1 600); do
  sleep 0.1
  snap
  # "RUNNING" is green, "RUN" white.
  running=$(count_colour 1 $((menu + 644)) 142 25 0,255,0)
  if [ "$running" -gt 20 ]; then started=1; elif [ "$started" == 1 ]; then ended=1; break; fi
done
[ "$started" == 1 ] && ok "RUN shows RUNNING" || fail "the run did not start"
[ "$ended" == 1 ] && ok "the run ended" || fail "the run did not end within a minute"

# The automatic save writes the sample-run copy, the picture and the data file at the end of the run.
for _ in $(seq 1 50); do
  [ -f "$work/sampleruns/0001.csv" ] && [ -n "$(ls "$work/savedimages/"*.png 2>/dev/null)" ] &&
    [ -n "$(ls "$work/saveddata/"*.csv 2>/dev/null)" ] && break
  sleep 0.1
done
sample="$work/sampleruns/0001.csv"
picture=$(ls "$work/savedimages/"*.png 2>/dev/null | head -1)
data=$(ls "$work/saveddata/"*.csv 2>/dev/null | head -1)

header="Step,Entry,Entries,VR,VB,VC,IR,IB,IC,TIB,TVB,BGmode,VCmax,VCres,ICmax,IBstep,IBoffset,VBstep,VBoffset,StepQty,Cpulse,BGpulse,SampleRate,BaseClamping,GraphType,Notes1,Notes2"
if [ -f "$sample" ]; then
  [ "$(head -1 "$sample" | tr -d '\r')" == "$header" ] && ok "sample run header" || fail "sample run header: $(head -1 "$sample")"
  # Six steps with step 0 enabled are steps 0..6, each with samples; steps 7..24 were not run.
  steps=$(tr -d '\r' < "$sample" | awk -F, 'NR > 1 && $2 == 0 { if ($3 > 0) run++; else idle++ } END { print run + 0 "/" idle + 0 }')
  [ "$steps" == "7/18" ] && ok "steps 0..6 with samples" || fail "steps with/without samples: $steps"
  [ "$(tr -d '\r' < "$sample" | awk -F, 'NR == 2 { print $20 }')" == "6" ] && ok "StepQty 6" || fail "StepQty"
  # Step 0 ramps the collector up from 0 V.
  peak=$(tr -d '\r' < "$sample" | awk -F, 'NR > 2 && $1 == 0 && $6 > max { max = $6 } END { print max + 0 }')
  awk -v v="$peak" 'BEGIN { exit !(v > 1 && v <= 100) }' && ok "step 0 reaches $peak V" || fail "step 0 peak Vc $peak"
else
  fail "no sampleruns/0001.csv"
fi

if [ -n "$picture" ] && [ "$(head -c 8 "$picture" | od -An -tx1 | tr -d ' \n')" == "89504e470d0a1a0a" ] &&
  identify "$picture" >/dev/null 2>&1; then
  ok "picture $(basename "$picture")"
else
  fail "no readable PNG in savedimages/"
fi

# The data file holds the same samples as the sample-run copy.
if [ -n "$data" ] && [ -f "$sample" ] &&
  diff <(cut -d, -f1-11 "$data") <(cut -d, -f1-11 "$sample") >/dev/null; then
  ok "data file $(basename "$data") holds the run"
else
  fail "no CSV in saveddata/ with the run's samples"
fi

[ "$failures" == 0 ] && echo "all first-run checks passed"
exit $((failures > 0))
