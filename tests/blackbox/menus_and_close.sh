#!/usr/bin/env bash
# Starts the real program under a virtual X server, chooses menu items by clicking at their pixel
# positions, and checks the settings file, the log, the message boxes and a clean end on close.
# Usage: menus_and_close.sh PROGRAM CLOSE-WINDOW-HELPER INSTALL-DIR
set -uo pipefail

program=$1 closer=$2 install=$3

. "$(dirname "$0")/xvfb_session.sh" "$0" "$@"
work=$(mktemp -d "${TMPDIR:-/tmp}/krv650-blackbox-XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; wait "$pid" 2>/dev/null; fi
  rm -rf "$work" "$work.out"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check_eq() { [ "$2" == "$3" ] && echo "ok: $1" || fail "$1: expected '$3', got '$2'"; }

cp -r "$install/." "$work/"
find "$work" -name .keep -delete
# No update check: the test must not reach for the network.
printf 'CheckWebsiteForUpdate=0\r\n' > "$work/settings/system_settings.txt"
settings="$work/settings/system_settings.txt"

(cd "$work" && exec "$program") > "$work.out" 2>&1 &
pid=$!

window=$(main_window_id)
[ -n "$window" ] || no_main_window "$work.out"
# The settings are complete once the menu bar answers; give the first passes a moment.
sleep 1.5

check_eq "window title" "$(xdotool getwindowname "$window")" "Halvane - KRV650 Curve Tracer V25.004"
check_eq "window size" "$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')" "1402x832"
check_eq "settings lines after start" "$(grep -c $'\r$' "$settings")" "57"

setting() { grep -a "^$1=" "$settings" | tr -d '\r'; }

# menu title x, then for a submenu its row y (0 for none), then the item's x and y, then the expected line.
choose() {
  xdotool mousemove "$1" 8 click 1
  sleep 0.3
  if [ "$2" != 0 ]; then
    xdotool mousemove $(($1 + 30)) "$2" click 1
    sleep 0.3
  fi
  xdotool mousemove "$3" "$4" click 1
  sleep 0.3
}

toggles=(
  "20 0 64 75 KRV_AutoSave=No"
  "20 0 64 75 KRV_AutoSave=Yes"
  "20 0 100 99 KRV_DefaultTestSetupOnStart=No"
  "192 0 240 29 KRV_HVAutoOff=On"
  "330 0 400 29 KRV_Step0Enabled=0"
  "330 0 400 53 KRV_BaseGate_ClampMenuOption=0"
  "389 29 590 51 KRV_Scope1GraticuleMode=Major"
  "389 51 590 51 KRV_Scope1GraticuleColour=White"
  "389 73 590 95 KRV_Scope1BackgroundColour=DarkGrey"
  "389 95 590 95 KRV_Scope1KeyDirection=Rising"
  "444 29 700 73 KRV_LiveReadings=Raw"
  "444 0 500 53 KRV_AlternateDisplayColours=Yes"
  "503 0 560 75 CheckWebsiteForUpdate=1"
)
# Waits up to two seconds for a settings line.
written() {
  for _ in $(seq 1 20); do
    [ "$(setting "${1%%=*}")" == "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
for entry in "${toggles[@]}"; do
  read -r menu sub x y line <<< "$entry"
  choose "$menu" "$sub" "$x" "$y"
  if ! written "$line"; then
    # A busy machine may open the menu too late for the click; close whatever is open and try once more.
    xdotool key Escape Escape Escape
    sleep 0.5
    choose "$menu" "$sub" "$x" "$y"
    written "$line"
  fi
  check_eq "menu click writes ${line%%=*}" "$(setting "${line%%=*}")" "$line"
done

# A box is the focused window; Return closes it.
expect_box() {
  local title=$1 focused=""
  for _ in $(seq 1 50); do
    focused=$(xdotool getwindowname "$(xdotool getwindowfocus)" 2>/dev/null)
    [ "$focused" == "$title" ] && break
    sleep 0.1
  done
  check_eq "box shown" "$focused" "$title"
  xdotool key Return
  sleep 0.4
}
# Help sits right of Analysis; its Support submenu opens beside the menu's right edge.
choose 617 0 650 29
expect_box "About"
choose 617 51 780 51
expect_box "Support"
# No instrument on COM0: the link warning is logged and shown.
choose 78 0 100 29
expect_box "Warning #xxxx"
log_pattern='^\[[0-9]{2}-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\] Warning #xxxx USB/COM service unable to start - Please check instrument is connected via USB and COM port number is correct\.'$'\r''$'
if [ "$(wc -l < "$work/log.txt")" == 1 ] && grep -Eq "$log_pattern" "$work/log.txt"; then
  echo "ok: log line"
else
  fail "log.txt: $(cat -A "$work/log.txt")"
fi

# Closing the window ends the program with code 0 and writes nothing.
before=$(cd "$work" && find . -type f -exec md5sum {} + | sort)
"$closer" "$window"
ended=0
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || { ended=1; break; }
  sleep 0.1
done
if [ "$ended" == 1 ]; then
  wait "$pid"
  check_eq "exit code after close" "$?" "0"
  pid=""
else
  fail "the program did not end after the close request"
fi
after=$(cd "$work" && find . -type f -exec md5sum {} + | sort)
check_eq "files unchanged by shutdown" "$after" "$before"

[ "$failures" == 0 ] && echo "all black-box checks passed"
exit $((failures > 0))
