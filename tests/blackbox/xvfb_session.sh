# Sourced by the black-box tests: without a display of their own they run again inside a virtual X
# server (or skip when the tools are missing); on it, the program's windows go to X. A run whose
# main window never appears (exit code 75) gets one more try on a new server: on a shared machine
# `xvfb-run -a` can pick a display that another server takes at the same moment.
# Usage: . xvfb_session.sh "$0" "$@"   (extra tools to require in KRV_BLACKBOX_TOOLS)

if [ -z "${KRV_BLACKBOX_INNER:-}" ]; then
  for tool in xvfb-run Xvfb xdotool ${KRV_BLACKBOX_TOOLS:-}; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIPPED: $tool is not installed (scripts/install-deps.sh installs it)"
      exit 77
    fi
  done
  for attempt in 1 2; do
    KRV_BLACKBOX_INNER=1 xvfb-run -a -s '-screen 0 1600x900x24' "$@"
    rc=$?
    [ "$rc" != 75 ] && exit "$rc"
    echo "the main window did not appear (attempt $attempt)"
  done
  exit 1
fi
export QT_QPA_PLATFORM=xcb

# Prints the id of the program's main window once it is shown (empty after ten seconds); see
# no_main_window for the case it does not show.
main_window_id() {
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --name 'Curve Tracer' 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Ends the session when the main window did not show, with the program's output.
no_main_window() {
  echo "FAIL: the main window did not appear: $(cat "$1" 2>/dev/null)"
  exit 75
}
