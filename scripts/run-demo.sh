#!/usr/bin/env bash
# Prepares run/ from install/ and starts the program there with the virtual instrument on COM1.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
mkdir -p run
cp -rn install/. run/
find run -name .keep -delete

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No display found: the program needs a graphical session."
  echo "Without one, run it under a virtual X server:"
  echo "  xvfb-run -a -s '-screen 0 1600x900x24' make run"
  exit 1
fi

sim_pid=""
if [ -x build/krv650-sim ]; then
  # First use: point the program at the virtual instrument's port.
  if [ ! -f run/settings/system_settings.txt ]; then
    printf 'KRV_ComPort=1\r\n' > run/settings/system_settings.txt
  fi
  # An installation comes with its instrument's calibration file; here, the virtual instrument's.
  [ -f run/KRV_cal.txt ] || build/krv650-sim --write-cal run/KRV_cal.txt
  (cd run && exec "$top/build/krv650-sim" --port 1 --dir .) &
  sim_pid=$!
  trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true' EXIT
  sleep 0.5
fi

cd run
"$top/build/krv650"
