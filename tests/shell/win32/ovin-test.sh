#!/usr/bin/env bash
# ovin.exe itself under Wine on a virtual desktop (Xvfb, trayer as the notification area, xdotool):
#
#     ovin-test.sh SCENARIO BUILD_DIR TOOLS_DIR [PICTURE_DIR]
#
#   road      a router that stalls: launched, waited for, its request file counted to the limit, killed and
#             launched again, with the same lines as on Linux (apart from the paths), in code page 1250
#   tray      the icon with its tip, the drawn menu on a right click, "Otevřít" showing the window, the question of
#             "Ukončit Trovan + Ovin" answered no, "Konec" answered yes: settings written, no closing lines
#   session   the end of the session (wineboot -e): the closing lines twice and the settings written
#   instance  a second start ends silently; a start that finds the instance block hands over and the window shows
#   pause     a router that ends at once, with the restart pause on: two launches, the pause's line, the warning
#             image and the tip with the next attempt; a router that stays then runs healthy and the pause ends
#   alerts    a stall, a crash and the recoveries reach a web hook on loopback (WinHTTP) and a batch file, with
#             their fields; hooks that refuse, answer 500 or never answer leave the ticks' pace alone, give one log
#             line and do not hold the end of the session
#   fleet     [dohled]: ovin.prom written beside the router's folder through a stall, and each logged line reported
#             to the Event Log (Wine's debug channel eventlog shows the calls' types and texts)
#   controls  the window's controls against the settings panel's table: place, caption and the tab chain; the
#             controls' unit tests on the display; "Najít ..." with its open dialog, the chosen folder in the path
#             field and watched, the current folder left as it was; a right release on a free spot of the panel
#             ends the program
#   readonly  an ovin.ini that cannot be written: reported at the start, and at the end in a box that stays until it
#             is answered, the program ending only then
#
# BUILD_DIR holds ovin.exe and trovan.exe, TOOLS_DIR list_controls.exe and hold_block.exe. Pictures of the
# window, the menu and the question go to PICTURE_DIR. OVIN_TEST_DPI (96 by default) runs the desktop at another
# resolution, 144 for 150 %: the window's measures are then expected scaled, and its picture is kept as
# windows-main-window-150.png. The program runs in a Wine prefix of these tests alone
# (OVIN_WINEPREFIX with "-desktop" appended, made when missing, or a fresh one), since its processes are ended
# with the prefix's server at the end. Starts and ends processes named ovin.exe and trovan.exe: run it under the
# machine-wide lock of the end-to-end tests (ctest is, by tools/test-windows.sh).
set -euo pipefail

scenario=${1:?usage: ovin-test.sh SCENARIO BUILD_DIR TOOLS_DIR [PICTURE_DIR]}
build=$(cd "${2:?}" && pwd)
tools=$(cd "${3:?}" && pwd)
pictures=${4:-$(mktemp -d)}
mkdir -p "$pictures"
source "$(dirname "${BASH_SOURCE[0]}")/desktop.sh"
dpi=${OVIN_TEST_DPI:-96}
# A measure given at 96 dots per inch, at the desktop's resolution (rounded as the program rounds).
px() { echo $(( ($1 * dpi + 48) / 96 )); }
# A prefix per resolution: the resolution is the prefix's setting, and the other scenarios expect 100 %.
suffix=-desktop; [ "$dpi" = 96 ] || suffix=-desktop-$dpi
if [ -n "${OVIN_WINEPREFIX:-}" ]; then export WINEPREFIX=$OVIN_WINEPREFIX$suffix; else export WINEPREFIX=$work/prefix; fi

ready_prefix
if [ "$dpi" != 96 ]; then
  env -u DISPLAY "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$wineserver" -w
fi

# The screen grows with the resolution, so that the window fits as it does at 100 %.
start_screen "$(px 1024)x$(px 768)"
start_tray

# The program's folder, as on a router's machine: the watchdog and the router side by side.
dir=$work/router
mkdir -p "$dir"
cp "$build/ovin.exe" "$build/trovan.exe" "$dir/"
winpath() { echo "Z:${1//\//\\}"; }
month_file() { echo "$dir/ovin$(date +%Y%m).log"; }
# The log's lines in UTF-8 without their time stamps.
log_lines() {
  [ -f "$(month_file)" ] || return 0
  iconv -f CP1250 -t UTF-8 "$(month_file)" | tr -d '\r' | sed -E 's/^\[[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}\] //'
}
# logged LINE...: the lines follow one another somewhere in the log.
has_sequence() {
  local want
  want=$(printf '%s\n' "$@")
  # Through the environment: awk would read the paths' backslashes as escapes.
  log_lines | WANT=$want awk 'BEGIN { n = split(ENVIRON["WANT"], w, "\n") }
    { l[NR] = $0 } END { for (i = 1; i + n - 1 <= NR; i++) { ok = 1
        for (j = 1; j <= n; j++) if (l[i + j - 1] != w[j]) { ok = 0; break }
        if (ok) exit 0 } exit 1 }'
}
wait_until() { # wait_until SECONDS COMMAND...: bounded polling
  local tries=$(( $1 * 10 )); shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}
count_lines() { log_lines | grep -cxF "$1" || true; }
# log_starts TEXT: a line of the log begins with TEXT.
log_starts() { log_lines | P=$1 awk 'index($0, ENVIRON["P"]) == 1 { f = 1 } END { exit !f }'; }

ovin_pid=""
start_ovin() { # start_ovin ARGS...: the program in its folder, in the background
  ( cd "$dir" && exec "$wine" ovin.exe "$@" >"$work/ovin.out" 2>&1 ) &
  ovin_pid=$!
  pids+=("$ovin_pid")
}
ended() { # ended PID
  ! kill -0 "$1" 2>/dev/null || [ "$(ps -o stat= -p "$1" 2>/dev/null | cut -c1)" = Z ]
}

viewable() { xwininfo -name "$1" 2>/dev/null | grep -q IsViewable; }
# The program's own unnamed mapped window bigger than 1 x 1: the popup menu.
menu_geometry() {
  local id line
  for _ in $(seq 50); do
    while read -r id; do
      [ -n "$id" ] || continue
      line=$(xwininfo -id "$id" 2>/dev/null || true)
      if grep -q IsViewable <<<"$line"; then
        awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /^ *Width/{w=$NF} /^ *Height/{h=$NF}
             END{print x, y, w, h}' <<<"$line"
        return 0
      fi
    done < <(xwininfo -root -tree | grep '"ovin.exe"' | grep 'has no name' | grep -v ' 1x1+' | awk '{print $1}')
    sleep 0.1
  done
}
icon_shown() { [ -n "$(tray_icon_line)" ]; }
list_controls() { { "$wine" "$tools/list_controls.exe" "$@" 2>/dev/null || true; } | tr -d '\r'; }
press() { # press X Y KEYS...: without a window manager the keyboard follows the pointer
  local x=$1 y=$2; shift 2
  xdotool mousemove "$x" "$y" sleep 0.2 click 1 sleep 0.5 key "$@"
}
settings() { printf '[conf]\r\n%s' "$(printf '%s\r\n' "$@")" >"$dir/ovin.ini"; }

case $scenario in
# ---------------------------------------------------------------------------------------------------------------
road)
  settings ZobrazitIkonu=0 HlidatZdaTrovanJede=1 Interval=1000 CekaniNaTrovan=1 MazatRequest=1 MaxStejnyRequest=3
  echo stall >"$dir/trovan.mode"
  request=$(winpath "$dir/request.cfg")
  start_ovin
  check "a missing router is launched and waited for" wait_until 30 has_sequence \
    "Trovan neni spusten - pokusim se ho spustit" "Čekám na spuštění Trovan 1 s" "Trovan spusten"
  check "a stalled request file is counted to the limit, deleted and its router killed and launched again" \
    wait_until 30 has_sequence "$request je stale stejny: 1" "$request je stale stejny: 2" \
    "$request je stale stejny: 3" "Prekrocen limit stari souboru 3" "Mazu soubor $request" "Ukoncuji Trovan" \
    "Trovan neni spusten - pokusim se ho spustit" "Čekám na spuštění Trovan 1 s" "Trovan spusten"
  check "the router was started twice" wait_until 10 test "$(grep -c '^start' "$dir/trovan.log" 2>/dev/null)" -ge 2
  # The fresh router's file starts a count of its own: the line after the restart is the file's.
  wait_until 10 test -n "$(log_lines | awk '/^Ukoncuji Trovan$/{k=1} k && /^Trovan spusten$/{if ((getline l) > 0) print l; exit}')"
  after=$(log_lines | awk '/^Ukoncuji Trovan$/{k=1} k && /^Trovan spusten$/{if ((getline l) > 0) print l; exit}')
  check "the fresh router's request file is shown as new ($after)" \
    grep -qE "^$(sed 's/[\\.]/\\&/g' <<<"$request") [0-9]{1,2}\.[0-9]{1,2}\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}  [0-9]+B$" <<<"$after"
  check "the month file is in code page 1250 (Č as one byte 0xC8)" grep -qa $'\xc8ek\xe1m na spu\x9at\xecn\xed' "$(month_file)"
  check "the month file's lines end with CR LF" grep -qa $'Trovan spusten\r$' "$(month_file)"
  ;;
# ---------------------------------------------------------------------------------------------------------------
fleet)
  mkdir -p "$dir/metriky"
  settings ZobrazitIkonu=0 HlidatZdaTrovanJede=1 Interval=1000 CekaniNaTrovan=1 MazatRequest=1 MaxStejnyRequest=3 \
    '[dohled]' "Metriky=$(winpath "$dir/metriky")" SystemovyLog=1
  echo stall >"$dir/trovan.mode"
  # Wine's ReportEventW stores nothing; its debug channel shows each call's type and text.
  ( cd "$dir" && WINEDEBUG=+eventlog exec "$wine" ovin.exe >"$work/ovin.out" 2>"$work/eventlog.txt" ) &
  ovin_pid=$!
  pids+=("$ovin_pid")
  prom=$dir/metriky/ovin.prom
  sample() { grep -E "^$1 " "$prom" 2>/dev/null | cut -d' ' -f2; }
  restarted() { [ "$(sample ovin_router_kills_total)" = 1 ] && [ "$(sample ovin_router_launches_total)" = 2 ] &&
    [ "$(sample ovin_router_up)" = 1 ]; }
  check "ovin.prom counts a stall, a kill and two launches" wait_until 40 restarted
  check "the log holds the same" test "$(count_lines 'Ukoncuji Trovan')" = 1 -a \
    "$(count_lines 'Trovan spusten')" = 2 -a "$(log_lines | grep -c '^Prekrocen limit stari souboru 3$')" = 1
  check "a stall counted" test "$(sample ovin_router_stalls_total)" = 1
  check "LF line breaks and a final one" test -z "$(tr -cd '\r' <"$prom")" -a "$(tail -c1 "$prom" | od -An -c | tr -d ' ')" = '\n'
  folder_label=$(winpath "$dir" | sed 's/\\/\\\\/g')
  check "the folder label is the program's folder, escaped" grep -qF "folder=\"$folder_label\"" "$prom"
  if command -v promtool >/dev/null; then
    check "promtool finds nothing" test -z "$(promtool check metrics <"$prom" 2>&1)"
  fi
  check "no half-written file left beside it" test ! -e "$prom.tmp"
  reported() { # reported LEVEL TEXT: one ReportEventW string of that event type
    grep -aF ":$1:eventlog:ReportEventW L\"$2\"" "$work/eventlog.txt" >/dev/null
  }
  check "a stall is a warning event" wait_until 10 reported warn "Prekrocen limit stari souboru 3"
  check "a kill is a warning event" reported warn "Ukoncuji Trovan"
  check "a launch is an information event" reported trace "Trovan spusten"
  check "the text is UTF-16, not the code page" reported trace "\\010cek\\00e1m na spu\\0161t\\011bn\\00ed Trovan 1 s"
  ;;
# ---------------------------------------------------------------------------------------------------------------
tray)
  start_ovin
  check "the icon docks into the tray host" wait_until 30 icon_shown
  icon=$(tray_icon_line)
  read -r icon_w icon_h icon_x icon_y < <(sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' <<<"$icon") || true
  [ -n "${icon_x:-}" ] || { echo "no icon to click: the remaining checks cannot run"; exit 1; }
  cx=$((icon_x + icon_w / 2)); cy=$((icon_y + icon_h / 2))
  check "the window starts hidden" test -z "$(viewable 'OVIN v. 3.3' && echo shown)"

  xdotool mousemove $((cx - 10)) $((cy - 5)) sleep 0.2 mousemove "$cx" "$cy"
  tip=$(list_controls --class tooltips_class32 --wait 5 | grep -m1 'Trovan' | cut -d'|' -f3)
  check "the tip is the application's title" test "$tip" = "Trovan Watch"

  open_menu() {
    xdotool mousemove "$cx" "$cy" sleep 0.2 click 3
    read -r mx my mw mh < <(menu_geometry) || true
  }
  open_menu
  check "a right click opens the menu" test -n "${mw:-}"
  xdotool mousemove $((mx + 100)) $((my + 8))
  sleep 0.7
  shot "$work/menu.png"
  convert "$work/menu.png" -crop "$((1024 - mx + 10))x$((my + mh + 10))+$((mx - 10))+0" +repage \
    "$pictures/windows-tray-menu.png"
  sky=$(convert "$work/menu.png" -crop "1x1+$((mx + 10))+$((my + 50))" -depth 8 txt: | tail -1 | grep -oE '#[0-9A-F]{6}' | head -1)
  check "the menu's banner is sky blue ($sky)" test "$sky" = "#A6CAF0"
  item_h=$(convert "$work/menu.png" -crop "1x${mh}+$((mx + 100))+$my" +repage -depth 8 txt: |
    grep -c "$(convert "$work/menu.png" -crop "1x1+$((mx + 100))+$((my + 4))" -depth 8 txt: | tail -1 | grep -oE '#[0-9A-F]{6}' | head -1)" || true)
  open_y=$((my + 8)); quit_y=$((my + 8 + item_h)); exit_y=$((my + mh - 3 - item_h / 2))

  xdotool mousemove $((mx + 60)) "$open_y" sleep 0.3 click 1
  read -r wx wy ww wh < <(geometry_of "OVIN v. 3.3") || true
  check "\"Otevřít\" shows the window" test -n "${ww:-}"
  check "its client area is 590 x 493 (${ww:-}x${wh:-})" test "${ww:-0}" -eq 590 -a "${wh:-0}" -eq 493
  # The outer window is centred; without a window manager X shows the client area only, lower by the caption.
  check "and centres it" test $((2 * ${wx:-0} + ${ww:-0})) -eq 1024 -a $((2 * ${wy:-0} + ${wh:-0} - 768)) -ge 0 \
    -a $((2 * ${wy:-0} + ${wh:-0} - 768)) -le 60
  sleep 0.5
  shot "$work/window.png"
  convert "$work/window.png" -crop "${ww}x${wh}+${wx}+${wy}" +repage "$pictures/windows-main-window.png"

  open_menu
  xdotool mousemove $((mx + 60)) "$quit_y" sleep 0.3 click 1
  read -r qx qy qw qh < <(geometry_of "Dotaz:") || true
  check "\"Ukončit Trovan + Ovin\" asks" test -n "${qw:-}"
  sleep 0.5
  shot "$work/question.png"
  convert "$work/question.png" -crop "${qw}x${qh}+${qx}+${qy}" +repage "$pictures/windows-question.png"
  question=$(list_controls --title "Dotaz:")
  check "the question asks whether to end both programs" \
    grep -qF '|Opravdu chcete ukončit programy Trovan a Ovin ?|' <<<"$question"
  check "with \"&Ano\" and \"&Ne\"" grep -qF '|Button|&Ano|' <<<"$question"
  read -r nx ny nw nh < <(sed -nE 's/^control\|7\|[^|]*\|[^|]*\|(-?[0-9]+),(-?[0-9]+),([0-9]+)x([0-9]+)\|.*/\1 \2 \3 \4/p' <<<"$question") || true
  question_gone() { ! xwininfo -name 'Dotaz:' 2>/dev/null | grep -q IsViewable; }
  # Each way to say no, the question asked anew after the first: the question goes, nothing is logged and the
  # program runs on. Without a window manager the question has no frame to click its close box in; Alt+F4 is
  # the close box's own command (SC_CLOSE). Wine takes about two seconds to take a window off a bare X server.
  for answer in Ne Escape alt+F4; do
    if [ "$answer" = Ne ]; then
      xdotool mousemove $((qx + nx + nw / 2)) $((qy + ny + nh / 2)) sleep 0.2 click 1
    else
      open_menu
      xdotool mousemove $((mx + 60)) "$quit_y" sleep 0.3 click 1
      read -r qx qy qw qh < <(geometry_of "Dotaz:") || true
      [ -n "${qw:-}" ] || { fail "the question is not asked again for $answer"; continue; }
      press $((qx + 3)) $((qy + qh - 3)) "$answer"
    fi
    check "$answer answers no: the question goes" wait_until 10 question_gone
    sleep 1
    check "$answer: no answer yes was logged" test "$(log_lines | grep -c ' - ANO$' || true)" -eq 0
    check "$answer: the program still runs" test -z "$(ended "$ovin_pid" && echo ended)"
  done

  open_menu
  xdotool mousemove $((mx + 60)) "$exit_y" sleep 0.3 click 1
  read -r ex ey ew eh < <(geometry_of "Ukončení") || true
  check "\"Konec\" asks in a message box" test -n "${ew:-}"
  box=$(list_controls --title "Ukončení")
  check "it asks \"Ukončit program Ovin ?\"" grep -q '|Ukončit program Ovin ?|' <<<"$box"
  press $((ex + 3)) $((ey + eh - 3)) Return
  check "Yes ends the program" wait_until 15 ended "$ovin_pid"
  check "the settings are written" test -f "$dir/ovin.ini"
  check "no closing line is logged" test "$(count_lines 'UKONCENI PROGRAMU')" -eq 0
  check "the icon has left the tray" wait_until 5 bash -c "! xwininfo -root -tree | awk '/\"panel\"/{p=1} p && /\"explorer.exe\"/ && !/ 1x1\\+/{f=1} END{exit !f}'"
  ;;
# ---------------------------------------------------------------------------------------------------------------
session)
  settings ZobrazitIkonu=1 HlidatZdaTrovanJede=0
  start_ovin
  check "the program runs" wait_until 30 has_sequence "Nastaveni:"
  wait_until 10 icon_shown || true
  rm -f "$dir/ovin.ini"
  "$wine" wineboot -e >/dev/null 2>&1 || true
  check "the end of the session ends the program" wait_until 20 ended "$ovin_pid"
  check "the closing lines are written twice" test "$(count_lines 'UKONCENI PROGRAMU')" -eq 2
  check "the settings are written" test -f "$dir/ovin.ini"
  ;;
# ---------------------------------------------------------------------------------------------------------------
instance)
  settings ZobrazitIkonu=1 HlidatZdaTrovanJede=0
  start_ovin
  first=$ovin_pid
  check "the first start runs" wait_until 30 has_sequence "Nastaveni:"
  starts=$(log_lines | grep -c ' START$' || true)
  ( cd "$dir" && exec "$wine" ovin.exe show >/dev/null 2>&1 ) &
  second=$!
  pids+=("$second")
  check "a second start ends" wait_until 15 ended "$second"
  sleep 1
  check "silently: nothing logged, the window stays hidden" \
    test "$(log_lines | grep -c ' START$' || true)" -eq "$starts" -a -z "$(viewable 'OVIN v. 3.3' && echo shown)"
  check "the first runs on" test -z "$(ended "$first" && echo ended)"

  # The block of a copy elsewhere says one instance runs while no process bears its name there: its start hands
  # over to the window of the running program.
  other=$work/other
  mkdir -p "$other"
  cp "$build/ovin.exe" "$other/ovin.exe"
  mv "$dir/ovin.exe" "$dir/ovin-running.exe" 2>/dev/null || true
  "$wine" "$tools/hold_block.exe" "$(winpath "$other/ovin.exe")" 60 >"$work/hold.out" 2>/dev/null &
  pids+=($!)
  wait_until 15 grep -q held "$work/hold.out" || true
  # The running program is the only one named ovin.exe: the start below counts itself alone only when that
  # one bears another name, so the first is ended and run again as ovin-running.exe.
  kill "$first" 2>/dev/null || true
  wait_until 10 ended "$first" || true
  ( cd "$dir" && exec "$wine" ovin-running.exe >/dev/null 2>&1 ) &
  pids+=($!)
  wait_until 30 bash -c "xwininfo -root -tree | grep -q '\"OVIN v. 3.3\"'" || true
  sleep 2
  check "the running program's window is hidden before" test -z "$(viewable 'OVIN v. 3.3' && echo shown)"
  ( cd "$other" && exec "$wine" ovin.exe >/dev/null 2>&1 ) &
  third=$!
  pids+=("$third")
  check "a start that finds the block ends" wait_until 15 ended "$third"
  check "after handing \"showform\" over: the running program's window shows" \
    test -n "$(geometry_of 'OVIN v. 3.3')"
  check "the start that handed over logged nothing" test ! -e "$other/ovin$(date +%Y%m).log"
  ;;
# ---------------------------------------------------------------------------------------------------------------
controls)
  # The other folder on, so that its path and button are enabled and in the tab chain too; a tick a second that
  # only reports the request file it finds.
  settings ZobrazitIkonu=0 HlidatZdaTrovanJede=0 JinyAdrReq=1 'AdrReq=C:\' Interval=1000 MazatRequest=0 \
    MaxStejnyRequest=1000
  start_ovin show
  check "the window shows with the word show" test -n "$(geometry_of 'OVIN v. 3.3')"
  list_controls --title "OVIN v. 3.3" >"$work/controls.txt"
  cp "$work/controls.txt" "$pictures/windows-controls.txt"
  # name  id  class  x,y,wxh inside Panel1 (a label: x,y only)  caption
  expected=(
    "1000|Button|16,16,169x17|Hlídat zda je Trovan spuštěný"
    "1001|Button|16,40,137x17|Mazat request.cfg"
    "1002|Button|16,64,161x17|Zobrazit ikonu programu"
    "1003|TLabelX|192,16|Max stáří request"
    "1004|Edit|312,8,73x22|600"
    "1005|TLabelX|392,16|sec"
    "1006|TLabelX|192,40|Max stejných request"
    "1007|Edit|312,32,73x22|1000"
    "1008|TLabelX|192,64|Max řádků request"
    "1009|Edit|312,56,73x22|1"
    "1010|TLabelX|192,88|Startovní interval"
    "1011|Edit|312,80,73x22|1"
    "1012|TLabelX|392,88|sec"
    "1013|TLabelX|192,112|Čekat na spuštění Trovan"
    "1014|Edit|312,104,73x22|10"
    "1015|TLabelX|392,112|sec"
    "1016|Button|504,96,75x25|ULOŽIT"
    "1017|Button|424,16,153x17|Jiný adresář request.cfg"
    "1018|Edit|424,37,153x21|C:\\"
    "1019|Button|520,56,57x22|Najít ..."
  )
  # x,y,wxh at 100 % as the program places it at the desktop's resolution: by its scaled edges.
  scaled_place() {
    local x y w h
    IFS=',x' read -r x y w h <<<"$1"
    if [ -z "$w" ]; then echo "$(px "$x"),$(px "$y")"; return; fi
    echo "$(px "$x"),$(px "$y"),$(( $(px $((x + w))) - $(px "$x") ))x$(( $(px $((y + h))) - $(px "$y") ))"
  }
  client=$(sed -nE 's/^window\|TfmWex\|[^|]*\|client=([0-9]+x[0-9]+)\|.*/\1/p' "$work/controls.txt")
  check "the client area is 590 x 493 at $dpi dpi: $(px 590) x $(px 493) ($client)" test "$client" = "$(px 590)x$(px 493)"
  panel=$(grep -m1 '|OvinPanel|Panel1|' "$work/controls.txt" | cut -d'|' -f5)
  check "the panel is 130 pixels high along the bottom: $(px 130) ($panel)" \
    test "$panel" = "0,$(( $(px 493) - $(px 130) )),$(px 590)x$(px 130)"
  for row in "${expected[@]}"; do
    IFS='|' read -r id class place caption <<<"$row"
    place=$(scaled_place "$place")
    line=$(grep "^control|$id|" "$work/controls.txt" || true)
    check "control $id \"$caption\" at $place" \
      grep -qiE "^control\|$id\|$class\|$(sed 's/[].[*^$()+?{}|\\]/\\&/g' <<<"$caption")\|$place[,|]" <<<"$line"
  done
  tabs=$(grep '^tab|' "$work/controls.txt" | cut -d'|' -f2 | tr '\n' ' ')
  # The log view (100) comes first, as it stands before the panel in the window, then the panel in its order.
  check "the tab chain follows the panel's order ($tabs)" \
    test "$tabs" = "100 1000 1001 1002 1004 1007 1016 1009 1011 1014 1017 1019 1018 "

  # The controls', the window's and the question's own tests need edit and static controls, which Wine makes
  # only on a display, and windows that can be activated.
  check "the controls' and the window's unit tests pass on the desktop" bash -c \
    "'$wine' '$tools/win32_shell_tests.exe' --gtest_filter='SpinEdit*:LabelX*:AdpEdit*:MainWindow*:KeptFocus*:Question*' 2>&1 | tee '$work/spin.txt' | grep -q '\[  PASSED  \] 11 tests'"
  grep -E 'Failure|Expected|Which|SKIPPED' "$work/spin.txt" || true

  read -r wx wy ww wh < <(geometry_of "OVIN v. 3.3") || true
  panel_y=$((wy + wh - $(px 130)))
  panel_at() { echo "$((wx + $(px "$1"))) $((panel_y + $(px "$2")))"; } # panel_at X Y: a point of the panel at 100 %
  # The caption that runs under the wait's spin edit: the edit stands over its end, whole.
  sleep 0.5
  shot "$work/panel.png"
  convert "$work/panel.png" -crop "${ww}x$(px 130)+${wx}+${panel_y}" +repage "$pictures/windows-panel.png"

  # "Najít ..." opens the open-file dialog; the file chosen in it gives its folder to the path field at once, and
  # the watched request file is that folder's from the next tick.
  data=$work/data
  mkdir -p "$data"
  printf 'line\r\n' >"$data/request.cfg"
  xdotool mousemove $(panel_at 548 67) sleep 0.2 click 1
  dialog=$(list_controls --class '#32770' --wait 10)
  dialog_title=$(head -1 <<<"$dialog" | cut -d'|' -f3)
  printf '%s\n' "$dialog" >"$pictures/windows-open-dialog.txt"
  read -r dx dy dw dh < <(geometry_of "$dialog_title") || true
  check "\"Najít ...\" opens the open-file dialog (${dialog_title:-none})" test -n "${dw:-}"
  # The read-only box (chx1), when the dialog has one at all, without the visible style.
  ro_style=$(grep -m1 '^control|1040|Button|' <<<"$dialog" | sed -nE 's/.*\|style=(0x[0-9a-f]{8})\|.*/\1/p' || true)
  check "whose read-only box is hidden (style ${ro_style:-none})" test $(( ${ro_style:-0} & 0x10000000 )) -eq 0
  dialog_style=$(head -1 <<<"$dialog" | sed -nE 's/.*\|style=(0x[0-9a-f]{8})\|.*/\1/p')
  check "resizable (style ${dialog_style:-none})" test $(( ${dialog_style:-0} & 0x00040000 )) -ne 0
  check "and opened in the program's current folder, its own" grep -q '^control|1137|ComboBox|router|' <<<"$dialog"
  sleep 0.5
  shot "$work/dialog.png"
  [ -z "${dw:-}" ] || convert "$work/dialog.png" -crop "${dw}x${dh}+${dx}+${dy}" +repage "$pictures/windows-open-dialog.png"
  # The file name box has the keyboard; without a window manager the keyboard follows the pointer. The folder
  # first, which the dialog goes into (and, as it browses, makes the process's current folder for a while), then
  # the file's name.
  xdotool mousemove $((dx + dw / 2)) $((dy + 5)) sleep 0.2 type --delay 20 "$(winpath "$data")"
  xdotool sleep 0.2 key Return sleep 0.5 type --delay 20 request.cfg
  xdotool sleep 0.2 key Return sleep 0.3 mousemove $((dx + dw / 2 + 1)) $((dy + 5))
  check "the dialog closes on Enter" wait_until 10 bash -c "! xwininfo -name '$dialog_title' 2>/dev/null | grep -q IsViewable"
  path_to=$(list_controls --title "OVIN v. 3.3" | grep '^control|1018|' | cut -d'|' -f4)
  check "the chosen file's folder is in the path field ($path_to)" test "$path_to" = "$(winpath "$data")"
  check "and is watched from the next tick" wait_until 10 log_starts "$(winpath "$data")\\request.cfg "
  sleep 0.3
  shot "$work/found.png"
  convert "$work/found.png" -crop "${ww}x$(px 130)+${wx}+${panel_y}" +repage "$pictures/windows-panel-found.png"
  # The colour most of the field's inside shows (the text takes the rest).
  lime=$(convert "$work/found.png" -crop "$(px 149)x$(px 17)+$(panel_at 426 39 | tr ' ' +)" -depth 8 -format %c \
    histogram:info:- | sort -rn | head -1 | grep -oE '#[0-9A-F]{6}' | head -1)
  check "the path field has the focus and shows it lime ($lime)" test "$lime" = "#00FF00"

  # The dialog left the process's current folder where it was: a relative other folder is still found beside the
  # program. The path field is emptied and "rel" typed in, and "ULOŽIT" takes it over.
  mkdir -p "$dir/rel"
  printf 'line\r\n' >"$dir/rel/request.cfg"
  press $(panel_at 564 47) End $(printf 'BackSpace %.0s' $(seq 80)) r e l
  xdotool mousemove $(panel_at 541 108) sleep 0.2 click 1
  check "the current folder is still the program's: rel\\request.cfg is found there" \
    wait_until 10 log_starts 'rel\request.cfg '

  # A right release on a free spot of the panel (below the check boxes) ends the program without a question.
  rm -f "$dir/ovin.ini"
  if [ "$dpi" != 96 ]; then
    sleep 0.5
    shot "$work/window.png"
    convert "$work/window.png" -crop "${ww}x${wh}+${wx}+${wy}" +repage "$pictures/windows-main-window-$((dpi * 100 / 96)).png"
  fi
  xdotool mousemove $((wx + $(px 100))) $((wy + wh - $(px 130) + $(px 112))) sleep 0.3 click 3
  check "a right release on a free spot of the panel ends the program" wait_until 15 ended "$ovin_pid"
  check "with the settings written and no closing line" \
    test -f "$dir/ovin.ini" -a "$(count_lines 'UKONCENI PROGRAMU')" -eq 0
  ;;
readonly)
  settings ZobrazitIkonu=0 HlidatZdaTrovanJede=0
  chmod a-w "$dir/ovin.ini"
  start_ovin show
  # The write right after the start fails first; its report leaves the program running.
  read -r bx by bw bh < <(geometry_of "Trovan Watch") || true
  check "the failed write at the start is reported" test -n "${bw:-}"
  check "as Unable to write to the file" grep -q '|Unable to write to .*ovin.ini|' <<<"$(list_controls --title 'Trovan Watch')"
  [ -n "${bw:-}" ] && press $((bx + bw / 2)) $((by + bh - 3)) Return
  check "that report is answered" wait_until 15 bash -c "! xwininfo -name 'Trovan Watch' 2>/dev/null | grep -q IsViewable"
  read -r wx wy ww wh < <(geometry_of "OVIN v. 3.3") || true
  check "the window shows" test -n "${ww:-}"
  xdotool mousemove $((wx + $(px 100))) $((wy + wh - $(px 130) + $(px 112))) sleep 0.3 click 3
  read -r bx by bw bh < <(geometry_of "Trovan Watch") || true
  check "the failed write at the end is reported in a box" test -n "${bw:-}"
  sleep 1
  check "the program waits for the answer" test -z "$(ended "$ovin_pid" && echo ended)"
  shot "$work/readonly.png"
  [ -n "${bw:-}" ] && convert "$work/readonly.png" -crop "${bw}x${bh}+${bx}+${by}" +repage "$pictures/windows-settings-not-written.png"
  [ -n "${bw:-}" ] && press $((bx + bw / 2)) $((by + bh - 3)) Return
  check "answered, the program ends" wait_until 15 ended "$ovin_pid"
  check "the file is as it was" grep -q '^ZobrazitIkonu=0' "$dir/ovin.ini"
  ;;
# ---------------------------------------------------------------------------------------------------------------
pause)
  settings HlidatZdaTrovanJede=1 Interval=1000 CekaniNaTrovan=1
  printf '[dohled]\r\nUtlum=1\r\nUtlumPokusu=2\r\nUtlumMaxSekund=20\r\nZdravySekund=3\r\n' >>"$dir/ovin.ini"
  echo dead >"$dir/trovan.mode"
  starts() { grep -c '^start' "$dir/trovan.log" 2>/dev/null || true; }
  # Yellow pixels of the warning triangle on the tray icon (a few at the tray's 16 pixels, none on the dog alone).
  icon_yellow() {
    local icon w h x y
    icon=$(tray_icon_line)
    read -r w h x y < <(sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' <<<"$icon") || true
    [ -n "${y:-}" ] || { echo none; return 0; }
    shot "$work/icon.png"
    convert "$work/icon.png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- |
      awk -F'[(),]' 'NR > 1 && $3 > 150 && $4 > 110 && $5 < 60 { n++ } END { print n + 0 }'
  }
  warned() { local n; n=$(icon_yellow); [ "$n" != none ] && [ "$n" -ge 3 ]; }
  unwarned() { [ "$(icon_yellow)" = 0 ]; }
  start_ovin
  check "the icon docks into the tray host" wait_until 30 icon_shown
  check "two failed launches in a row begin a pause of 10 s and up to a tenth more" \
    wait_until 30 log_starts "Trovan opakovane pada - dalsi pokus za 1"
  check "the pause's line is one of 10 or 11 s" \
    test -n "$(log_lines | grep -xE 'Trovan opakovane pada - dalsi pokus za 1[01] s')"
  check "the router was launched twice" test "$(starts)" -eq 2
  # Polled: a tick shows the busy image for a moment.
  check "the icon rests on the warning image" wait_until 8 warned
  icon=$(tray_icon_line)
  read -r icon_w icon_h icon_x icon_y < <(sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' <<<"$icon") || true
  shot "$work/pause.png"
  convert "$work/pause.png" -crop "$((icon_x + icon_w + 40))x$((icon_y + icon_h + 10))+0+0" +repage \
    "$pictures/windows-tray-pause.png" || true
  xdotool mousemove $((icon_x + icon_w / 2 - 10)) $((icon_y + icon_h / 2 - 5)) sleep 0.2 \
    mousemove $((icon_x + icon_w / 2)) $((icon_y + icon_h / 2))
  tip=$(list_controls --class tooltips_class32 --wait 5 | grep -m1 'padá' | cut -d'|' -f3-)
  check "the tip tells that the router keeps failing and when it is tried next ($tip)" \
    grep -qE 'Trovan opakovaně padá - další pokus v [0-9]{2}:[0-9]{2}:[0-9]{2}' <<<"$tip"
  echo normal >"$dir/trovan.mode"
  check "a router that stays runs healthy after the pause and the pause ends" \
    wait_until 40 has_sequence "Trovan bezi - utlum ukoncen"
  check "three launches in all: none within the pause" test "$(starts)" -eq 3
  check "one line for the pause" test "$(log_lines | grep -c '^Trovan opakovane pada')" -eq 1
  check "the icon is idle again" wait_until 8 unwarned
  ;;
# ---------------------------------------------------------------------------------------------------------------
alerts)
  # A web hook of the test's own on loopback, which WinHTTP under Wine reaches, and a batch file as the command.
  hook_server=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../e2e" && pwd)/hook_server.py
  start_hook() { # start_hook MODE: the hook's address in `hook`, its bodies in $work/hook-MODE.txt
    rm -f "$work/hook-$1.port"
    python3 "$hook_server" "$work/hook-$1.port" "$work/hook-$1.txt" "$1" &
    pids+=($!)
    wait_until 10 test -s "$work/hook-$1.port"
    hook=http://127.0.0.1:$(cat "$work/hook-$1.port")/hook/secret
  }
  events() { sed -E 's/.*"event":"([a-z_]+)".*/\1/' "$work/hook-$1.txt" 2>/dev/null | tr '\n' ' ' | sed 's/ $//'; }
  alert_settings() { # alert_settings WEBHOOK [CONF...]
    local webhook=$1; shift
    settings ZobrazitIkonu=0 HlidatZdaTrovanJede=1 Interval=1000 CekaniNaTrovan=1 "$@"
    printf '[dohled]\r\nUpozorneniMinut=0\r\nPrikaz=upozorni.cmd\r\nWebhook=%s\r\n' "$webhook" >>"$dir/ovin.ini"
  }
  # No blank before ">": Wine's cmd would take it as part of the name to list.
  printf '@echo off\r\nset OVIN_>"alert-%%OVIN_EVENT%%.env"\r\nif defined OVIN_LOG_TAIL type "%%OVIN_LOG_TAIL%%" > "alert-%%OVIN_EVENT%%.tail"\r\n' >"$dir/upozorni.cmd"
  # Conditions for wait_until are functions: an argument "$(...)" would be read once, before the wait.
  started() { local n; n=$(grep -c '^start' "$dir/trovan.log" 2>/dev/null || true); [ "${n:-0}" -ge "$1" ]; }
  events_are() { local m=$1; shift; [ "$(events "$m")" = "$*" ]; }
  commands_ran() { [ "$(ls "$dir"/alert-*.env 2>/dev/null | wc -l)" -eq "$1" ]; }
  end_ovin() {
    "$wine" wineboot -e >/dev/null 2>&1 || true
    wait_until 20 ended "$ovin_pid"
  }

  start_hook ok
  alert_settings "$hook" MazatRequest=1 MaxStejnyRequest=3
  echo stall >"$dir/trovan.mode"
  start_ovin
  # The first router stalls; the one started after it dies after two seconds; the one after that works.
  wait_until 30 started 1
  echo "crash life=2000" >"$dir/trovan.mode"
  wait_until 30 started 2
  echo normal >"$dir/trovan.mode"
  check "a stall, a crash and the recoveries reach the hook once each" \
    wait_until 30 events_are ok watchdog_start stall recovered crash recovered
  check "the end of the session ends the program" end_ovin
  check "and its end reaches the hook" \
    wait_until 5 events_are ok watchdog_start stall recovered crash recovered watchdog_end
  stall=$(grep '"event":"stall"' "$work/hook-ok.txt" || true)
  for field in '"line":"Prekrocen limit stari souboru 3"' '"stall_count":3' '"stalls_today":1' '"log_tail":[' \
      'Ukoncuji Trovan"' '"text":"Ovin na '; do
    check "the stall's body holds $field" grep -qF "$field" <<<"$stall"
  done
  check "the recovery tells its downtime" grep -qE '"event":"recovered".*"downtime_s":[0-9]+' "$work/hook-ok.txt"
  # One file per kind: the second recovery writes over the first.
  check "the command ran for each kind" wait_until 10 commands_ran 5
  for field in "OVIN_LINE=Prekrocen limit stari souboru 3" OVIN_STALL_COUNT=3 OVIN_STALLS_TODAY=1 "OVIN_LOG_TAIL=C:"; do
    check "the command got the stall's $field" grep -qa "^$field" "$dir/alert-stall.env"
  done
  check "and its log lines in the code page's file" grep -qa $'Ukoncuji Trovan\r$' "$dir/alert-stall.tail"

  # Hooks that fail: the ticks keep their pace, and the log gets one line for many failures. Without the router
  # executable every tick raises an alert.
  rm -f "$dir/trovan.exe"
  attempt="Trovan neni spusten - pokusim se ho spustit"
  tick_gaps() { # the gaps between the attempts of the last run, in ms
    [ -f "$(month_file)" ] || return 0
    iconv -f CP1250 -t UTF-8 "$(month_file)" | tr -d '\r' | awk -v a="$attempt" '
      / START$/ { last = -1; gaps = "" }
      substr($0, 16) == a { split(substr($0, 2, 12), t, /[:.]/); ms = ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000 + t[4]
        if (last >= 0) gaps = gaps " " (ms - last); last = ms }
      END { print gaps }'
  }
  steady_ticks() {
    local g gaps; gaps=$(tick_gaps)
    [ "$(wc -w <<<"$gaps")" -ge 5 ] || return 1
    for g in $gaps; do [ "$g" -ge 1000 ] && [ "$g" -lt 1500 ] || return 1; done
  }
  failure_lines() { log_lines | grep -c '^Upozorneni webhookem selhalo' || true; }
  one_failure_line() { [ "$(failure_lines)" -eq 1 ]; }
  ticks_seen() { [ "$(tick_gaps | wc -w)" -ge "$1" ]; }
  for mode in closed 500 hang; do
    rm -f "$(month_file)"
    if [ "$mode" = closed ]; then hook=http://127.0.0.1:9/hook; else start_hook "$mode"; fi
    alert_settings "$hook"
    start_ovin
    wait_until 30 ticks_seen 5
    check "a hook that is $mode leaves the ticks one second apart ($(tick_gaps))" steady_ticks
    [ "$mode" = hang ] || check "a hook that is $mode gives one line" wait_until 10 one_failure_line
    check "and no more" test "$(failure_lines)" -le 1
    began=$(date +%s%N)
    check "a hook that is $mode does not hold the end" end_ovin
    check "which took less than six seconds" test $(( ($(date +%s%N) - began) / 1000000 )) -lt 6000
  done
  log_lines | grep '^Upozorneni' || true
  ;;
*)
  echo "unknown scenario $scenario"; exit 2 ;;
esac

echo
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
