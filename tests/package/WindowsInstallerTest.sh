#!/usr/bin/env bash
# The Windows installer end to end under Wine: a silent install into a router's folder, the files, shortcuts and
# uninstall entry it writes, the Startup shortcut starting the watchdog that starts the router, an upgrade in
# place, the refusal of a second folder, and a silent uninstall that takes away exactly what was written.
#
#     WindowsInstallerTest.sh INSTALLER TROVAN_EXE [WINEPREFIX]
#
# INSTALLER is Ovin-<version>-win64.exe, TROVAN_EXE the Windows build of the stand-in router. Without WINEPREFIX a
# fresh prefix is made in a temporary folder and removed at the end; a given one is made if missing and kept.
# Without DISPLAY an Xvfb of its own is started (the program's window needs an X server under Wine). It starts
# processes named ovin.exe and trovan.exe, so it takes the machine-wide lock of the end-to-end tests (unless
# OVIN_E2E_LOCK_HELD says that its caller holds it). At the end it ends every process of its prefix (they are all
# its own) and prints "N passed, N failed".
set -uo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 INSTALLER TROVAN_EXE [WINEPREFIX]" >&2
  exit 2
fi
for file in "$1" "$2"; do
  [ -f "$file" ] || { echo "$file is missing" >&2; exit 2; }
done
installer=$(realpath -- "$1")
trovan=$(realpath -- "$2")
work=$(mktemp -d)
export WINEPREFIX=${3:-$work/prefix}
export WINEDEBUG=-all
# No Mono or Gecko prompts, and no Linux menu entries made from the shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The installer's language follows the locale; the texts checked below are the English ones.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
lock=/tmp/ovin-e2e.lock
uninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ovin'
xvfb=""

# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

cleanup() {
  "$wineserver" -k 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf -- "$work"
}
trap cleanup EXIT
trap 'exit 1' TERM INT HUP

for tool in "$wine" "$wineserver"; do
  [ -x "$tool" ] || { echo "$tool is missing (apt-get install wine64)" >&2; exit 2; }
done

if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 8 -screen 0 1024x768x24 -nolisten tcp 8>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 2; }
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
fi

if [ ! -e "$WINEPREFIX/system.reg" ]; then
  timeout 300 "$wine" wineboot --init >/dev/null 2>&1
  timeout 60 "$wineserver" -w
fi

drive=$WINEPREFIX/drive_c
programs=$drive/users/$(whoami)/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs
startupLnk="$programs/StartUp/Ovin (first).lnk"
menuLnk="$programs/Ovin (first).lnk"
reportLnk="$programs/Ovin – přehled (first).lnk"
first=$drive/routers/first
second="$drive/routers/the second"
month=$(date +%Y%m)
log=$first/ovin$month.log

nowMs() { date +%s%3N; }
# Runs a Windows program to its end and gives its exit code. Wine quotes an argument that holds a blank, and an
# installer takes /D= only unquoted (as cmd.exe passes it): such a folder is given split at its blanks.
# A program that waits for an answer (a message box nobody sees) is ended after two minutes.
win() { timeout -k 5 120 "$wine" "$@" >/dev/null 2>&1; }
# Polls a command for up to $1 tenths of a second.
waitFor() {
  local tenths=$1
  shift
  local i
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}
# Whether a Wine process runs a given Windows executable (Wine shows its Windows path as the command line).
runs() { # WINDOWS_PATH
  pgrep -if -- "$(printf '%s' "$1" | sed 's/[][\\.*^$(){}+?|]/\\&/g')" >/dev/null
}
notRuns() { ! runs "$1"; }
regValue() { # NAME
  timeout 60 "$wine" reg query "$uninstallKey" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
noKey() { ! timeout 60 "$wine" reg query "$uninstallKey" >/dev/null 2>&1; }
eventKey='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Ovin'
eventValue() { # NAME
  timeout 60 "$wine" reg query "$eventKey" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
noEventKey() { ! timeout 60 "$wine" reg query "$eventKey" >/dev/null 2>&1; }
# A PE file built for x86-64 (machine 0x8664): a 32-bit installer here ends with success and installs nothing.
is64() {
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')" = 8664 ]
}
both64() { is64 "$1" && is64 "$2"; }
listing() { (cd "$1" && ls -A | sort); }

# A shortcut's fields from the .lnk format: "target", "workdir", "args" (each empty when absent).
lnkField() { # FILE FIELD
  local -a b
  read -r -a b <<<"$(od -An -tu1 -v "$1" | tr -s ' \n' '  ')"
  u16() { echo $((b[$1] | b[$1 + 1] << 8)); }
  u32() { echo $((b[$1] | b[$1 + 1] << 8 | b[$1 + 2] << 16 | b[$1 + 3] << 24)); }
  local flags off target="" info base i n kind s
  flags=$(u32 20)
  off=76
  ((flags & 0x1)) && off=$((off + 2 + $(u16 $off)))
  if ((flags & 0x2)); then
    info=$off
    base=$((info + $(u32 $((info + 16)))))
    for ((i = base; b[i] != 0; i++)); do target+=$(printf "\\$(printf %03o "${b[i]}")"); done
    off=$((info + $(u32 $info)))
  fi
  declare -A strings=()
  for kind in name relative workdir args icon; do
    case $kind in
      name) ((flags & 0x4)) || continue ;;
      relative) ((flags & 0x8)) || continue ;;
      workdir) ((flags & 0x10)) || continue ;;
      args) ((flags & 0x20)) || continue ;;
      icon) ((flags & 0x40)) || continue ;;
    esac
    n=$(u16 $off)
    off=$((off + 2))
    s=""
    for ((i = 0; i < n; i++)); do
      local c=$((b[off + 2 * i] | b[off + 2 * i + 1] << 8))
      ((c == 0)) && break
      ((c < 128)) && s+=$(printf "\\$(printf %03o "$c")")
    done
    ((flags & 0x80)) && off=$((off + 2 * n)) || off=$((off + n))
    strings[$kind]=$s
  done
  case $2 in
    target) echo "$target" ;;
    *) echo "${strings[$2]:-}" ;;
  esac
}

# Under ctest the caller of the end-to-end tests holds the lock already.
if [ -z "${OVIN_E2E_LOCK_HELD:-}" ]; then
  exec 9>"$lock"
  flock 9
fi

# A router's folder as an operator has it: the router, its mode, the watchdog's settings with their backup and an
# old month's log. The settings make the watchdog start the router within seconds, never end it for its unchanging
# request file (which must outlive the uninstall) and leave the tray alone.
mkdir -p "$first" "$second"
cp "$trovan" "$first/trovan.exe"
cp "$trovan" "$second/trovan.exe"
echo stall >"$first/trovan.mode"
printf '[conf]\r\nHlidatZdaTrovanJede=1\r\nZobrazitIkonu=0\r\nInterval=1000\r\nCekaniNaTrovan=5\r\nMaxStejnyRequest=100000\r\n' >"$first/ovin.ini"
cp "$first/ovin.ini" "$first/ovin.ini.old"
printf '[01:02:03.004] an older month\r\n' >"$first/ovin202001.log"
before=$(listing "$first")

echo "== silent install"
check "the installer is a 64-bit program" is64 "$installer"
t0=$(nowMs)
win "$installer" /S "/D=C:\\routers\\first"
code=$?
installMs=$(($(nowMs) - t0))
check "the silent install ends with 0" test "$code" -eq 0
check "it adds exactly ovin.exe, its uninstaller and ovin-report.exe with its manual to the folder" \
  test "$(listing "$first")" = "$(printf '%s\n' "$before" ovin-uninstall.exe ovin.exe ovin-report.exe ovin-report.txt | sort)"
check "the program and the uninstaller are 64-bit" both64 "$first/ovin.exe" "$first/ovin-uninstall.exe"
check "the Startup shortcut starts the folder's ovin.exe" test "$(lnkField "$startupLnk" target)" = 'C:\routers\first\ovin.exe'
check "with no switch, so hidden in the tray" test -z "$(lnkField "$startupLnk" args)"
check "in its own folder" test "$(lnkField "$startupLnk" workdir)" = 'C:\routers\first'
check "the Start-menu shortcut \"Ovin (first)\" starts it" test "$(lnkField "$menuLnk" target)" = 'C:\routers\first\ovin.exe'
check "with its window shown" test "$(lnkField "$menuLnk" args)" = show
check "the Start-menu shortcut \"Ovin – přehled (first)\" runs the report through cmd" \
  test "$(lnkField "$reportLnk" target)" = 'C:\windows\system32\cmd.exe'
reportArgs=$(lnkField "$reportLnk" args)
check "which writes the folder's page and opens it with the default browser" test "$reportArgs" = \
  '/c ""C:\routers\first\ovin-report.exe" --html "%TEMP%\ovin-prehled.html" -- "C:\routers\first" && start "" "%TEMP%\ovin-prehled.html""'
check "no other shortcut is written" test "$(find "$programs" -name '*.lnk' | wc -l)" -eq 3
check "the uninstall entry names the folder" test "$(regValue InstallLocation)" = 'C:\routers\first'
check "and its uninstaller, quiet too" test "$(regValue QuietUninstallString)" = '"C:\routers\first\ovin-uninstall.exe" /S'
check "and is shown as Ovin (first)" test "$(regValue DisplayName)" = "Ovin (first)"
check "a silent install without /EVENTLOG registers no Event Log source" noEventKey

if [ ! -e "$first/ovin.exe" ]; then
  fail "nothing was installed, the rest is left out"
  echo "$passes passed, $failures failed"
  exit 1
fi

echo "== the Startup shortcut at log-on"
[ -e "$startupLnk" ] && win start /unix "$startupLnk"
check "the watchdog runs from the folder" waitFor 100 runs 'C:\routers\first\ovin.exe'
check "it starts the router and logs \"Trovan spusten\"" waitFor 300 grep -q "Trovan spusten" "$log"
check "the router runs from the folder" runs 'C:\routers\first\trovan.exe'

echo "== the report's shortcut"
# Started as a user starts it, with Wine's browser held back: the page must be in the user's temporary folder,
# with the figures of the log the watchdog has just written.
# (Wine keeps %TEMP% in the user's folder, not under AppData.)
pageIn() { find "$drive/users" -name ovin-prehled.html -size +0 | grep -q .; }
find "$drive/users" -name ovin-prehled.html -delete
[ -e "$reportLnk" ] && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d" win start /unix "$reportLnk"
check "writes the page" waitFor 300 pageIn
page=$(find "$drive/users" -name ovin-prehled.html | head -n 1)
check "with the chart and a launch of the router" bash -c \
  'grep -q "<svg" "$0" && grep -q "<th>Celkem</th><td>1</td><td>0</td><td>0</td><td>1</td>" "$0"' "$page"

echo "== a second folder"
secondBefore=$(listing "$second")
win "$installer" /S "/D=C:\\routers\\the" second
code=$?
check "is refused with exit code 2" test "$code" -eq 2
check "and nothing is written there" test "$(listing "$second")" = "$secondBefore"
check "the entry still names the first folder" test "$(regValue InstallLocation)" = 'C:\routers\first'

echo "== upgrade in place, with the watchdog running"
cp "$first/ovin.ini" "$work/ovin.ini.before"
logLines=$(wc -l <"$log")
t0=$(nowMs)
win "$installer" /S "/D=C:\\routers\\first"
code=$?
upgradeMs=$(($(nowMs) - t0))
check "the silent upgrade ends with 0" test "$code" -eq 0
check "the running watchdog was ended as at a log-off" grep -q "UKONCENI PROGRAMU" "$log"
check "the settings are kept" bash -c 'grep -q "^HlidatZdaTrovanJede=1" "$0" && grep -q "^Interval=1000" "$0"' "$first/ovin.ini"
check "the settings' backup and the older log are kept" test -s "$first/ovin.ini.old" -a -s "$first/ovin202001.log"
check "the month log keeps its lines" test "$(wc -l <"$log")" -ge "$logLines"
check "the watchdog runs again" waitFor 100 runs 'C:\routers\first\ovin.exe'
check "still one entry for the first folder" test "$(regValue InstallLocation)" = 'C:\routers\first'
check "and the same three shortcuts" test "$(find "$programs" -name '*.lnk' | wc -l)" -eq 3

echo "== silent uninstall, with the watchdog running"
waitFor 100 test -e "$first/request.cfg"
kept=$(listing "$first" | grep -vx -e ovin.exe -e ovin-uninstall.exe -e ovin-report.exe -e ovin-report.txt)
closings=$(grep -c "UKONCENI PROGRAMU" "$log")
t0=$(nowMs)
win "$first/ovin-uninstall.exe" /S
# The uninstaller copies itself away and goes on in the background: its work is done when its files and its
# entry are gone.
waitFor 300 bash -c '! test -e "$0/ovin.exe" -o -e "$0/ovin-uninstall.exe"' "$first"
waitFor 100 noKey
uninstallMs=$(($(nowMs) - t0))
check "the program and the uninstaller are gone" test ! -e "$first/ovin.exe" -a ! -e "$first/ovin-uninstall.exe"
check "and ovin-report.exe with its manual" test ! -e "$first/ovin-report.exe" -a ! -e "$first/ovin-report.txt"
check "all three shortcuts are gone" test ! -e "$startupLnk" -a ! -e "$menuLnk" -a ! -e "$reportLnk"
check "the uninstall entry is gone" noKey
check "everything else in the folder stays" test "$(listing "$first")" = "$kept"
check "among it the router, the settings, their backup, the logs and the request file" bash -c \
  'cd "$0" && test -s trovan.exe -a -s ovin.ini -a -s ovin.ini.old -a -s ovin202001.log -a -s "ovin$1.log" -a -e request.cfg' \
  "$first" "$month"
check "the watchdog ended" waitFor 50 notRuns 'C:\routers\first\ovin.exe'
check "after writing its closing lines" test "$(grep -c "UKONCENI PROGRAMU" "$log")" -gt "$closings"
check "the router is left running" runs 'C:\routers\first\trovan.exe'

echo "== once uninstalled, another folder may be chosen"
t0=$(nowMs)
win "$installer" /S /EVENTLOG "/D=C:\\routers\\the" second
code=$?
warmInstallMs=$(($(nowMs) - t0))
check "the install into the second folder ends with 0" test "$code" -eq 0
check "the entry names the second folder" test "$(regValue InstallLocation)" = 'C:\routers\the second'
check "whose blank is kept in the shortcuts' name" test -e "$programs/Ovin (the second).lnk"
check "/EVENTLOG registers the Event Log source with the program as its message file" \
  test "$(eventValue EventMessageFile)" = 'C:\routers\the second\ovin.exe'
check "for all three event types" test "$(eventValue TypesSupported)" = 0x7
t0=$(nowMs)
win "$second/ovin-uninstall.exe" /S
waitFor 300 bash -c '! test -e "$0/ovin.exe" -o -e "$0/ovin-uninstall.exe"' "$second"
waitFor 100 noKey
warmUninstallMs=$(($(nowMs) - t0))
check "a watchdog that never ran is uninstalled too" \
  test ! -e "$second/ovin.exe" -a ! -e "$second/ovin-uninstall.exe" -a -e "$second/trovan.exe"
check "and its Event Log source with it" noEventKey

echo "== an entry whose folder was emptied by hand"
win "$installer" /S "/D=C:\\routers\\the" second
rm -f "$second/ovin.exe" "$second/ovin-uninstall.exe"
win "$installer" /S "/D=C:\\routers\\first"
code=$?
check "does not keep another folder from being installed" test "$code" -eq 0
check "which the entry then names" test "$(regValue InstallLocation)" = 'C:\routers\first'

echo "installer: $(stat -c %s "$installer") bytes"
echo "silent install: ${installMs} ms in a fresh prefix, ${warmInstallMs} ms once Wine runs; upgrade ${upgradeMs} ms"
echo "silent uninstall: ${uninstallMs} ms ending a running watchdog, ${warmUninstallMs} ms with none running"
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
