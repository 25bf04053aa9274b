#!/usr/bin/env bash
# The Windows front end's notification icon, drawn menu and dialogs on a real (virtual) desktop: Wine on Xvfb with
# trayer as the notification area, driven with xdotool, checked by the demo's event log, by the controls that
# list_controls reads from the running dialogs, and by pixels of screenshots.
#
#     gui-test.sh BUILD_DIR [PICTURE_DIR]
#
# BUILD_DIR holds tray_demo.exe, list_controls.exe and tray_poke.exe; the screenshots are kept in PICTURE_DIR (a
# temporary folder by default). A fresh Wine prefix is made for each run. OVIN_TEST_DPI (96 by
# default) runs the desktop at another resolution, 144 for 150 %: every measure is then expected scaled. Needs Xvfb, trayer,
# xdotool, xwininfo, ImageMagick and wine64; LANG=cs_CZ.UTF-8 must exist as a locale so that Wine runs with code
# page 1250.
set -euo pipefail

build=$(cd "${1:?usage: gui-test.sh BUILD_DIR [PICTURE_DIR]}" && pwd)
pictures=${2:-$(mktemp -d)}
mkdir -p "$pictures"
source "$(dirname "${BASH_SOURCE[0]}")/desktop.sh"

locale -a 2>/dev/null | grep -qix 'cs_CZ.utf8' ||
  echo "warning: no cs_CZ.UTF-8 locale; Wine runs with code page 1252 instead of 1250"

dpi=${OVIN_TEST_DPI:-96}
# A measure given at 96 dots per inch, at the desktop's resolution (rounded as the program rounds).
px() { echo $(( ($1 * dpi + 48) / 96 )); }

# Always a prefix of its own: a shared one may already run its desktop process without a display (the headless
# tests start it), and that one never docks an icon into the tray host.
export WINEPREFIX=$work/prefix
ready_prefix
if [ "$dpi" != 96 ]; then
  env -u DISPLAY "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$wineserver" -w
fi

# The desktop: a virtual screen and a notification area at its top right.
start_screen 1024x768
start_tray

winpath() { echo "Z:${1//\//\\}"; }

# wait_for_line FILE TEXT [SECONDS]: polls until FILE has a line equal to TEXT.
wait_for_line() {
  local tries=$(( ${3:-15} * 10 ))
  for _ in $(seq "$tries"); do
    grep -qxF "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# The demo's own unnamed window bigger than 1 x 1: the popup menu.
menu_geometry() {
  for _ in $(seq 50); do
    local line
    line=$(xwininfo -root -tree | grep '"tray_demo.exe"' | grep 'has no name' | grep -v ' 1x1+' | head -1 || true)
    if [ -n "$line" ]; then
      sed -E 's/.* ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+) .*/\3 \4 \1 \2/' <<<"$line"
      return 0
    fi
    sleep 0.1
  done
}

icon_shown() { for _ in $(seq 50); do [ -n "$(tray_icon_line)" ] && return 0; sleep 0.1; done; return 1; }
icon_gone() { for _ in $(seq 50); do [ -z "$(tray_icon_line)" ] && return 0; sleep 0.1; done; return 1; }

# pixel FILE X Y: the colour as RRGGBB.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt: | tail -1 | grep -oE '#[0-9A-F]{6}' | head -1 | tr -d '#'; }
# pixels FILE X Y W H: "x y RRGGBB" for every pixel of the rectangle, in the picture's coordinates.
pixels() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt: |
    awk -v ox="$2" -v oy="$3" 'NR > 1 { split($1, p, /[,:]/); match($0, /#[0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]/);
                                       print p[1] + ox, p[2] + oy, substr($0, RSTART + 1, 6) }'
}

list_controls() { { "$wine" "$build/list_controls.exe" "$@" 2>/dev/null || true; } | tr -d '\r'; }

demo_pid=""
start_demo() { # start_demo LOG ARGS...: the demo in the background, its log file name in Windows form
  local log=$1; shift
  : >"$log"
  "$wine" "$build/tray_demo.exe" --log "$(winpath "$log")" "$@" >/dev/null 2>&1 &
  demo_pid=$!
  pids+=("$demo_pid")
}

demo_ended() {
  for _ in $(seq 100); do
    kill -0 "$demo_pid" 2>/dev/null || return 0
    [ "$(ps -o stat= -p "$demo_pid" 2>/dev/null)" = "Z" ] && return 0
    sleep 0.1
  done
  return 1
}

# Without a window manager the keyboard follows the pointer: it rests on a free spot of the window first.
press() { # press X Y KEYS...
  local x=$1 y=$2; shift 2
  xdotool mousemove "$x" "$y" sleep 0.2 click 1 sleep 0.5 key "$@"
}

# ---------------------------------------------------------------------------------------------------------------
echo "== notification icon and its menu"
log=$work/tray.log
start_demo "$log" --ticks
check "the icon is added" wait_for_line "$log" added 30

icon_shown || true
icon=$(tray_icon_line)
read -r icon_w icon_h icon_x icon_y < <(sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' <<<"$icon") || true
check "the icon docks into the tray host" test -n "$icon_x"
[ -n "$icon_x" ] || { echo "no icon to click: the remaining checks cannot run"; exit 1; }
cx=$((icon_x + icon_w / 2)); cy=$((icon_y + icon_h / 2))

xdotool mousemove $((cx - 10)) $((cy - 5)) sleep 0.2 mousemove "$cx" "$cy"
tip=$(list_controls --class tooltips_class32 --wait 5 | head -1 | cut -d'|' -f3)
check "the tip is the application's title" test "$tip" = "Trovan Watch"
shot "$pictures/tray-icon.png"

xdotool mousemove "$cx" "$cy" sleep 0.2 click 3
check "a right press reaches the icon" wait_for_line "$log" "event 516"
read -r mx my mw mh < <(menu_geometry) || true
check "the menu opens" test -n "${mw:-}"
# Over the first item, whose highlight shows where the items are.
xdotool mousemove $((mx + 100)) $((my + $(px 8)))
sleep 0.7
shot "$pictures/tray-menu.png"
sky=A6CAF0
check "the strip is sky blue below its caption" test "$(pixel "$pictures/tray-menu.png" $((mx + $(px 10))) $((my + $(px 50))))" = "$sky"
# Dark: a red part below 0x64 (two hex digits compare as text).
dark_in() { pixels "$pictures/tray-menu.png" "$@" | awk '{ if (substr($3, 1, 2) < "64") n++ } END { print n + 0 }'; }
# The menu's border (3 pixels on Wine, not scaled) covers the strip's outer edge.
dark=$(dark_in $((mx + 3)) $((my + $(px 6))) $(($(px 20) - 4)) $(($(px 41) - $(px 6))))
below=$(dark_in $((mx + 3)) $((my + $(px 44))) $(($(px 20) - 4)) $((mh - 4 - $(px 44))))
check "\"OVIN\" is written on the strip upward from y 40 ($dark dark pixels above, $below below)" \
  test "$dark" -gt 20 -a "$below" -eq 0
gap=$(pixel "$pictures/tray-menu.png" $((mx + $(px 22))) $((my + $(px 50))))
check "the gap between strip and items keeps the menu's colour" test "$gap" != "$sky"
highlight=$(pixel "$pictures/tray-menu.png" $((mx + 100)) $((my + 4)))
check "the item left of x 25 is not highlighted" test "$(pixel "$pictures/tray-menu.png" $((mx + $(px 25) - 1)) $((my + 4)))" != "$highlight"
check "the highlight starts at x 25" test "$(pixel "$pictures/tray-menu.png" $((mx + $(px 25))) $((my + 4)))" = "$highlight"
# The system adds its own room to an owner-drawn item's measured width (a check mark's on Windows, two average
# characters on Wine), so the 130 pixels are the least the highlight spans from the item's left edge.
run=$(pixels "$pictures/tray-menu.png" $((mx + $(px 25))) $((my + 4)) $((mw - $(px 25))) 1 | awk -v h="$highlight" '$3 == h' | wc -l)
check "the items are at least 130 pixels wide (highlight from 25 spans $run)" test "$run" -ge $(($(px 130) - $(px 25)))
check "the items are not much wider than 130 (menu $mw wide)" test "$mw" -le "$(px 160)"

item_h=$(pixels "$pictures/tray-menu.png" $((mx + 100)) "$my" 1 "$mh" | awk -v h="$highlight" '$3 == h' | wc -l)
open_y=$((my + 8)); quit_y=$((my + 8 + item_h)); exit_y=$((my + mh - 3 - item_h / 2))

xdotool mousemove $((mx + 60)) "$open_y" sleep 0.3 click 1
check "\"Otevřít\" runs after the menu closed" wait_for_line "$log" "command Open1"
check "\"Otevřít\" shows the window" test -n "$(geometry_of 'Ovin tray demo')"

xdotool mousemove "$cx" "$cy" sleep 0.2 click 3
read -r mx my mw mh < <(menu_geometry) || true
xdotool mousemove $((mx + 60)) "$quit_y" sleep 0.3 click 1
check "\"Ukončit Trovan + Ovin\" asks" wait_for_line "$log" "command UkonitTrovaniOvin1"
read -r qx qy qw qh < <(geometry_of "Dotaz:") || true
check "the question is shown" test -n "${qw:-}"
shot "$pictures/question.png"
press $((qx + 5)) $((qy + qh - 5)) Escape
check "Esc answers no and the program goes on" wait_for_line "$log" "answer no"

xdotool mousemove "$cx" "$cy" sleep 0.2 click 3
read -r mx my mw mh < <(menu_geometry) || true
xdotool mousemove $((mx + 60)) "$exit_y" sleep 0.3 click 1
check "\"Konec\" asks" wait_for_line "$log" "command Exit1"
read -r ex ey ew eh < <(geometry_of "Ukončení") || true
check "the message box of \"Konec\" is shown" test -n "${ew:-}"
shot "$pictures/exit-box.png"
box=$(list_controls --title "Ukončení")
check "it asks \"Ukončit program Ovin ?\"" grep -q '|Ukončit program Ovin ?|' <<<"$box"
check "with Yes and No" grep -q '^control|7|Button|' <<<"$box"
press $((ex + 3)) $((ey + eh - 3)) n
check "No leaves the program running" wait_for_line "$log" "exit no"

xdotool mousemove "$cx" "$cy" sleep 0.2 click 3
read -r mx my mw mh < <(menu_geometry) || true
xdotool mousemove $((mx + 60)) "$exit_y" sleep 0.3 click 1
read -r ex ey ew eh < <(geometry_of "Ukončení") || true
press $((ex + 3)) $((ey + eh - 3)) Return
check "Yes (the default) ends the program" wait_for_line "$log" "exit yes"
check "the icon is removed at the end" wait_for_line "$log" removed
check "the program ends" demo_ended
check "the icon has left the tray" icon_gone

# ---------------------------------------------------------------------------------------------------------------
echo "== the shell's notices"
log=$work/notices.log
start_demo "$log"
check "the icon is added" wait_for_line "$log" added 30
poke() { "$wine" "$build/tray_poke.exe" "$@" >/dev/null 2>&1 || echo "(tray_poke $* failed)"; }
poke --event 513
check "a left press (513) shows the window" wait_for_line "$log" shown
poke --event 512
poke --event 514
poke --event 517
sleep 1
check "mouse moves and releases do nothing" test "$(grep -c '^event' "$log")" -eq 1
poke --take-away
check "the icon can be taken away behind the program's back" icon_gone
poke --taskbar-created
check "after an Explorer restart the icon is back" icon_shown
poke --event 1027
check "the balloon-hidden notice (1027) reaches the icon" wait_for_line "$log" "event 1027"
check "and takes the icon away" icon_gone
poke --taskbar-created
sleep 2
check "an icon taken away for good stays away after an Explorer restart" icon_gone
kill "$demo_pid" 2>/dev/null || true
demo_ended || true

# ---------------------------------------------------------------------------------------------------------------
echo "== the question's layout and keys"
# key  debug  expected answer
cases=(
  "Return  -        yes"
  "Escape  -        no"
  "a       -        yes"
  "n       -        no"
  "alt+F4  -        no"
  "o       --debug  yes"
  "j       --debug  no"
)
for row in "${cases[@]}"; do
  read -r key debug expected <<<"$row"; [ "$debug" = - ] && debug=""
  log=$work/question.log
  if [ -z "$debug" ]; then start_demo "$log" --question; yes_caption="&Ano"; no_caption="&Ne"
  else start_demo "$log" --question --debug; yes_caption="&Ofšemže"; no_caption="&Jistě že ne"; fi
  read -r qx qy qw qh < <(geometry_of "Dotaz:") || true
  if [ -z "${qw:-}" ]; then fail "question ($key $debug) is not shown"; continue; fi
  controls=$(list_controls --title "Dotaz:")
  if [ "$key" = Return ]; then
    echo "$controls" >"$pictures/question-controls.txt"
    # window|#32770|Dotaz:|client=WxH|..., then icon, text, Yes, No with x,y,wxh.
    read -r cw ch < <(sed -nE 's/^window\|[^|]*\|Dotaz:\|client=([0-9]+)x([0-9]+)\|.*/\1 \2/p' <<<"$controls") || true
    geo() { sed -nE "s/^control\|$1\|[^|]*\|[^|]*\|(-?[0-9]+),(-?[0-9]+),([0-9]+)x([0-9]+)\|.*/\1 \2 \3 \4/p" <<<"$controls"; }
    read -r ix iy iw ih < <(geo 100) || true
    read -r tx ty tw th < <(geo 101) || true
    read -r yx yy yw yh < <(geo 6) || true
    read -r nx ny nw nh < <(geo 7) || true
    check "the icon is centred at the top ($ix,$iy ${iw}x$ih in $cw)" test "$iy" -eq 0 -a "$ix" -eq $((cw / 2 - iw / 2))
    check "the text starts 15 pixels below the icon" test "$ty" -eq $((iy + ih + $(px 15)))
    check "the text spans the width" test "$tx" -eq 0 -a "$tw" -eq "$cw"
    check "the buttons are 10 pixels below the text" test "$yy" -eq $((ty + th + $(px 10))) -a "$ny" -eq "$yy"
    check "the buttons sit side by side, centred" test $((yx + nx + nw)) -ge $((cw - 1)) -a $((yx + nx + nw)) -le $((cw + 1))
    check "the dialog is 20 pixels taller than its content" test "$ch" -eq $((yy + yh + $(px 8) + $(px 20)))
    check "the text is the question" grep -qF '|Opravdu chcete ukončit programy Trovan a Ovin ?|' <<<"$controls"
    check "Tab goes from yes to no" test "$(grep '^tab|' <<<"$controls" | cut -d'|' -f2 | tr '\n' ' ')" = "6 7 "
    read -r sw sh < <(xwininfo -root | awk '/^ *Width/{w=$NF} /^ *Height/{h=$NF} END{print w, h}') || true
    read -r ox oy ow oh < <(sed -nE 's/^window\|.*\|outer=(-?[0-9]+),(-?[0-9]+),([0-9]+)x([0-9]+)\|.*/\1 \2 \3 \4/p' <<<"$controls") || true
    check "the question is centred on the screen" test $((2 * ox + ow - sw)) -ge -1 -a $((2 * ox + ow - sw)) -le 1 \
      -a $((2 * oy + oh - sh)) -ge -1 -a $((2 * oy + oh - sh)) -le 1
    check "the question stays on top (WS_EX_TOPMOST)" \
      test $(( $(sed -nE 's/^window\|.*\|exstyle=(0x[0-9a-f]+).*/\1/p' <<<"$controls") & 0x8 )) -ne 0
  fi
  check "captions $yes_caption / $no_caption" grep -qF "|Button|$yes_caption|" <<<"$controls"
  grep -qF "|Button|$no_caption|" <<<"$controls" || fail "no caption $no_caption"
  press $((qx + 3)) $((qy + qh - 3)) "$key"
  check "$key answers $expected${debug/#--debug/ in debug mode}" wait_for_line "$log" "answer $expected"
  demo_ended || fail "the question ($key) did not end"
done

# ---------------------------------------------------------------------------------------------------------------
echo "== the error report"
log=$work/error.log
start_demo "$log" --error
read -r rx ry rw rh < <(geometry_of "Trovan Watch") || true
check "the report is captioned with the application's title" test -n "${rw:-}"
check "a second report while one is open is dropped" wait_for_line "$log" "second dropped"
report=$(list_controls --title "Trovan Watch")
check "the report shows the error's text" grep -qF '|Soubor nelze zapsat|' <<<"$report"
shot "$pictures/error-report.png"
press $((rx + 3)) $((ry + rh - 3)) Return
check "the report closes with OK" wait_for_line "$log" "first closed"

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed; pictures in $pictures"
  exit 1
fi
echo "all checks passed; pictures in $pictures"
