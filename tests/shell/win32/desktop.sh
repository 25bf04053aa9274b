# Sourced by the Windows desktop tests: their checks, Wine in a Czech locale, a temporary folder `work`, a `pids`
# array of the background processes that the clean-up ends with the prefix's server, a ready Wine prefix, a virtual
# screen, a notification area, and the windows on the screen. The caller sets WINEPREFIX.

wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-$(dirname "$wine")/wineserver}
work=$(mktemp -d)
export WINEDEBUG=-all LANG=cs_CZ.UTF-8 LC_ALL=cs_CZ.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

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

# geometry_of NAME: "x y w h" of the first viewable X window named NAME, empty when none is within 10 s.
geometry_of() {
  local info
  for _ in $(seq 100); do
    info=$(xwininfo -name "$1" 2>/dev/null || true)
    if grep -q "IsViewable" <<<"$info"; then
      awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ *Width/{w=$NF} /^ *Height/{h=$NF}
           END{print x, y, w, h}' <<<"$info"
      return 0
    fi
    sleep 0.1
  done
}
# The tray host's docked icon windows belong to Wine's explorer.exe; an empty host has none bigger than 1 x 1.
tray_icon_line() { xwininfo -root -tree | awk '/"panel"/{p=1} p && /"explorer.exe"/ && !/ 1x1\+/{print; exit}'; }
shot() { import -window root "$1"; }
