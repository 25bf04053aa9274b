#!/usr/bin/env bash
# Sets everything up, builds, and runs the watchdog on a demo folder with the
# stand-in router set to stall, so that the watchdog restarts it about every
# ten seconds. With a display the main window shows the log; without one the
# watchdog runs headless and the month log is followed in the terminal.
# Ctrl+C ends the demo (the watchdog and the router).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ovin trovan

demo="$root/demo"
mkdir -p "$demo"
cp build/ovin build/trovan.exe "$demo/"
# Without a display there is no tray to put the icon in.
icon=0
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && icon=1
cat > "$demo/ovin.ini" <<INI
[conf]
MazatRequest=1
HlidatZdaTrovanJede=1
ZobrazitIkonu=$icon
MaxStejnyRequest=5
MaxStariRequest=600
MaxRadkuRequest=1
CekaniNaTrovan=2
Interval=2000
JinyAdrReq=0
AdrReq=
INI
echo stall > "$demo/trovan.mode"
cd "$demo"
log="$demo/ovin$(date +%Y%m).log"
touch "$log"

cleanup() {
  [ -n "${ovin_pid:-}" ] && kill "$ovin_pid" 2>/dev/null || true
  pkill -KILL -f "^$demo/trovan.exe" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Demo folder: $demo (the window shows the log; close it with the panel's right click or the tray menu)"
  ./ovin show &
else
  echo "Demo folder: $demo (no display: the watchdog runs headless; Ctrl+C ends the demo)"
  QT_QPA_PLATFORM=offscreen ./ovin 2>/dev/null &
fi
ovin_pid=$!
tail -n 0 -f "$log" --pid "$ovin_pid"
