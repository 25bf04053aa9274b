#!/usr/bin/env bash
# A picture of the Windows log view under Wine on a virtual screen: a few hundred lines, the find bar open with its
# matches highlighted, a selection. Checks the log's silver, the yellow of the matches and the find bar's button
# face in the picture, and keeps it.
#
#     log-view-picture.sh BUILD_DIR [PICTURE]
#
# BUILD_DIR holds log_view_demo.exe. Makes a prefix of its own; needs Xvfb, xdotool, ImageMagick and wine64.
set -euo pipefail

build=$(cd "${1:?usage: log-view-picture.sh BUILD_DIR [PICTURE]}" && pwd)
picture=${2:-$(mktemp -d)/log-view.png}
mkdir -p "$(dirname "$picture")"
source "$(dirname "${BASH_SOURCE[0]}")/desktop.sh"
export WINEPREFIX=$work/prefix
ready_prefix

start_screen 800x600

"$wine" "$build/log_view_demo.exe" 60 >"$work/demo.log" 2>&1 &
pids+=($!)
window=""
for _ in $(seq 300); do
  window=$(xdotool search --name '^Memo1$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: the log view's window did not show"; exit 1; }
sleep 2
import -window root -crop 640x420+0+0 "$picture"
echo "picture: $picture"

count() { convert "$picture" -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:round(mean*w*h)]' info:; }
for colour in 'rgb(192,192,192)' 'rgb(255,255,0)'; do
  n=$(count "$colour")
  if [ "$n" -gt 50 ]; then pass "$colour ($n pixels)"; else fail "$colour missing"; fi
done
exit $failures
