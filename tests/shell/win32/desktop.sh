# Sourced by the Windows desktop tests: their checks, a ready Wine prefix, a virtual screen and a notification
# area. The caller sets `work` (its temporary folder), `wine` and `wineserver`, and a `pids` array that its clean-up
# ends.

# shellcheck source=../../support/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../support/checks.sh"

# ready_prefix: makes WINEPREFIX when it is missing and waits until its server has written it out; a program
# started earlier finds no notification area for a long while.
ready_prefix() {
  [ -d "$WINEPREFIX/drive_c" ] || env -u DISPLAY "$wine" wineboot --init >/dev/null 2>&1
  "$wineserver" -w
}

# start_screen WxH: a virtual screen of that size (Xvfb) whose display becomes DISPLAY.
start_screen() {
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  local display=""
  for _ in $(seq 100); do
    display=$(cat "$work/display" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
  done
  [ -n "$display" ] || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=:$display
}

# start_tray: a notification area (trayer) at the screen's top right.
start_tray() {
  trayer --edge top --align right --widthtype pixel --width 100 --height 32 --transparent false \
    --tint 0xffffff --SetDockType true >"$work/trayer.log" 2>&1 &
  pids+=($!)
}
