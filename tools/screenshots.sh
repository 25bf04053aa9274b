#!/usr/bin/env bash
# Renews the README's pictures: starts the watchdog beside the stand-in router on an X server of its own (Xvfb),
# with a tray host, and takes screenshots of the main window, the tray menu and the question dialog into docs/.
#
#     tools/screenshots.sh
#
# It starts processes named ovin and trovan.exe, so it holds the machine-wide lock of the end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${1:-}" != "--inside" ]; then
  tools/setup-debian.sh
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build --target ovin trovan
  mkdir -p docs
  exec flock -w 300 /tmp/ovin-e2e.lock xvfb-run -a -s "-screen 0 1024x640x24" "$0" --inside
fi

# From here on: inside Xvfb, holding the lock.
work=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # The watchdog writes its closing lines before the folder goes.
  wait "${pids[@]}" 2>/dev/null || true
  for pid in $(routerPids); do kill "$pid" 2>/dev/null || true; done
  rm -rf -- "$work"
}
routerPids() {
  local exe
  for exe in /proc/[0-9]*/exe; do
    [ "$(readlink "$exe" 2>/dev/null)" = "$work/trovan.exe" ] && basename "$(dirname "$exe")"
  done
  return 0
}
trap cleanup EXIT

# Polls a command, ten times a second, for at most $1 seconds.
waitFor() {
  local limit=$1
  shift
  for _ in $(seq 1 $((limit * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "screenshots: gave up waiting for: $*" >&2
  return 1
}

cp build/ovin build/trovan.exe "$work/"
printf '[conf]\r\nHlidatZdaTrovanJede=1\r\nZobrazitIkonu=1\r\nMazatRequest=1\r\nInterval=1000\r\nCekaniNaTrovan=3\r\nMaxStejnyRequest=4\r\n' \
  >"$work/ovin.ini"
echo stall >"$work/trovan.mode"
log="$work/ovin$(date +%Y%m).log"

# A white desktop with a tray along the top right, as a panel would have it.
xsetroot -solid white 2>/dev/null || true
trayer --edge top --align right --widthtype pixel --width 40 --heighttype pixel --height 32 --expand false \
  --transparent false --tint 0xdddddd &
pids+=($!)

(cd "$work" && exec ./ovin show) &
pids+=($!)
window=""
findWindow() { window=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1) && [ -n "$window" ]; }
waitFor 15 findWindow "OVIN v. 3.3"
# One stall handled: the request file deleted, the router ended and started again.
waitFor 40 grep -q "Trovan spusten" "$log"
waitFor 40 bash -c '[ "$(grep -c "Trovan spusten" "$0")" -ge 2 ]' "$log"
xdotool windowmove "$window" 40 60
sleep 0.5
import -window "$window" "$root/docs/main-window.png"

# The tray menu, opened by a right click on the icon: the window the tray host embedded, the only small one of
# the program's windows.
icon=""
findIcon() {
  local id
  for id in $(xdotool search --class ovin); do
    [ "$id" = "$window" ] && continue
    eval "$(xdotool getwindowgeometry --shell "$id")"
    [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ] && [ "$WIDTH" -gt 1 ] && icon=$id && return 0
  done
  return 1
}
waitFor 10 findIcon
xdotool mousemove --window "$icon" 10 10 click 3
sleep 1.5
# The top right corner of the screen: the tray and the menu below it.
import -window root -crop 320x96+704+0 +repage "$root/docs/tray-menu.png"

# The question of "Ukončit Trovan + Ovin", answered No. With no window manager the menu has no keyboard focus,
# so its second item is clicked.
menu=""
findMenu() {
  local id
  for id in $(xdotool search --onlyvisible --class ovin); do
    [ "$id" = "$window" ] || [ "$id" = "$icon" ] && continue
    menu=$id && return 0
  done
  return 1
}
waitFor 5 findMenu
xdotool mousemove --window "$menu" 60 33 click 1
dialog=""
findDialog() { dialog=$(xdotool search --onlyvisible --name "^Dotaz:\$" | head -n 1) && [ -n "$dialog" ]; }
waitFor 10 findDialog
xdotool windowmove "$dialog" 300 200
sleep 0.5
import -window "$dialog" "$root/docs/question.png"
xdotool key Escape

echo "Wrote docs/main-window.png, docs/tray-menu.png, docs/question.png"
