#!/usr/bin/env bash
# Tests of ovin-deploy: what a deployment writes, that a second folder is refused, what else is refused, and that the
# reverse removes exactly what was written.
#
#     DeployTest.sh DEPLOY PROGRAM [running]
#
# With "running", only the refusal to overwrite a running watchdog is tested; that case starts a process whose
# image name is ovin, so it runs with the end-to-end tests, under their lock.
set -uo pipefail
deploy=$1
program=$2
mode=${3:-}

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
mkdir -p "$HOME"
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

entryOf() { # kind folder
  local id
  id="ovin-$(printf '%s' "$(realpath -m -- "$2")" | sha256sum | cut -c1-8).desktop"
  case $1 in
    autostart) echo "$XDG_CONFIG_HOME/autostart/$id" ;;
    menu) echo "$XDG_DATA_HOME/applications/$id" ;;
    report) echo "$XDG_DATA_HOME/applications/${id%.desktop}-report.desktop" ;;
  esac
}

if [ "$mode" = running ]; then
  dir="$work/busy"
  mkdir -p "$dir"
  cp "$(command -v sleep)" "$dir/ovin"
  "$dir/ovin" 30 &
  pid=$!
  before=$(sha256sum <"$dir/ovin")
  check "a running watchdog is not overwritten" bash -c '! "$0" "$1" 2>/dev/null' "$deploy" "$dir"
  check "the running program is unchanged" test "$(sha256sum <"$dir/ovin")" = "$before"
  check "no entry is written for it" test ! -e "$(entryOf autostart "$dir")"
  kill "$pid"
  wait "$pid" 2>/dev/null
  exit $((failures > 0))
fi

# A deployment: the copy, and two entries that start it from its folder.
a="$work/router a"
b="$work/router \$b"
mkdir -p "$a" "$b"
echo "[conf]" >"$a/ovin.ini"
echo router >"$a/trovan.exe"
printf '%s\r\n' "07.12.2026 10:00:00 START" "[10:00:30.000] Trovan neni spusten - pokusim se ho spustit" \
  "[10:00:33.000] Trovan spusten" "[10:05:00.000] Prekrocen limit stari souboru 5" "[10:05:00.000] Ukoncuji Trovan" \
  >"$a/ovin202612.log"
out=$("$deploy" "$a")
check "deploy succeeds and says what it did" grep -q "Copied .* to $a/ovin" <<<"$out"
check "the copy is the program" cmp -s "$program" "$a/ovin"
check "the copy is executable" test -x "$a/ovin"
auto=$(entryOf autostart "$a")
menu=$(entryOf menu "$a")
check "autostart entry written" test -f "$auto"
check "menu entry written" test -f "$menu"
check "autostart starts the copy by its absolute path" grep -qx "Exec=\"$a/ovin\"" "$auto"
check "the menu entry opens the window" grep -qx "Exec=\"$a/ovin\" show" "$menu"
for entry in "$auto" "$menu"; do
  check "$(basename "$entry") runs in the folder" grep -qx "Path=$a" "$entry"
  check "$(basename "$entry") shows the dog" grep -qx "Icon=ovin" "$entry"
done
report=$(entryOf report "$a")
check "report menu entry written" test -f "$report"
check "the report entry is named after the folder" grep -qx "Name=Ovin – přehled (router a)" "$report"
if command -v desktop-file-validate >/dev/null; then
  check "the entries are valid desktop files" desktop-file-validate "$auto" "$menu" "$report"
fi

# The report entry run as a desktop runs it (the key's escapes undone, then its quoting): the page is written and
# handed to xdg-open, here a stand-in that notes what it was given.
runEntry() { # entry
  local line
  line=$(sed -n 's/^Exec=//p' "$1" | sed -e 's/\\\\/\\/g' -e 's/%%/%/g')
  eval "set -- $line"
  PATH="$work/bin:$PATH" "$@"
}
mkdir -p "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >"%s"\n' "$work/opened" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
check "the report entry runs" runEntry "$report"
page=$(cat "$work/opened" 2>/dev/null)
check "it opens a page in the user's cache" test "${page#"$XDG_CACHE_HOME/ovin/"}" != "$page"
check "the page holds the folder's figures" grep -q "<svg" "$page"
check "and counts its stall" grep -q "<td>1</td><td>1</td><td>1</td>" "$page"

# One router per machine: a second folder is refused while the first is deployed, and the refusal names it.
out=$("$deploy" "$b" 2>&1)
check "a second folder is refused" test $? -eq 1
check "the refusal names the deployed folder and the way out" grep -q "deployed in $a already.*--remove" <<<"$out"
check "nothing is written for the second folder" test ! -e "$(entryOf autostart "$b")" -a ! -e "$b/ovin"
check "--show does not get round it" bash -c '! "$0" --show "$1" 2>/dev/null' "$deploy" "$b"

# Deploying into the same folder again replaces the program in place and keeps one pair of entries.
echo "an older build" >"$a/ovin"
"$deploy" "$a" >/dev/null
check "a re-deployment replaces the program" cmp -s "$program" "$a/ovin"
check "and keeps one set of entries" \
  test "$(ls "$XDG_CONFIG_HOME/autostart" "$XDG_DATA_HOME/applications" | grep -c '^ovin-')" -eq 3
check "and records the new copy" grep -qx "X-Ovin-Sha256=$(sha256sum <"$program" | cut -d' ' -f1)" "$auto"
"$deploy" --show "$a" >/dev/null
check "a re-deployment with --show opens the window at log-in" grep -qx "Exec=\"$a/ovin\" show" "$auto"
"$deploy" "$a" >/dev/null

# The command line: help is no error, anything else unknown is.
for args in "" "--remove" "$a $b" "--show --remove $a"; do
  # shellcheck disable=SC2086
  "$deploy" $args >/dev/null 2>&1
  check "a wrong command line ($args) ends with 2" test $? -eq 2
done
check "--help says how to use it" bash -c '"$0" --help | grep -q "^Usage:"' "$deploy"

# The reverse: the entries and the copy go; the router, the settings and the log stay.
"$deploy" --remove "$a" >/dev/null
check "the autostart entry is removed" test ! -e "$auto"
check "the menu entry is removed" test ! -e "$menu"
check "the report entry is removed" test ! -e "$report"
check "the copy is removed" test ! -e "$a/ovin"
check "router, settings and log stay" test -f "$a/trovan.exe" -a -f "$a/ovin.ini" -a -f "$a/ovin202612.log"

# Refusals (with no deployment in the way).
check "a missing folder is refused" bash -c '! "$0" "$1" 2>/dev/null' "$deploy" "$work/none"
touch "$work/file"
check "a plain file is refused" bash -c '! "$0" "$1" 2>/dev/null' "$deploy" "$work/file"
mkdir -p "$work/linked"
ln -s "$work/file" "$work/linked/ovin"
check "an ovin that is a symbolic link is not written through" bash -c '! "$0" "$1" 2>/dev/null' "$deploy" "$work/linked"
check "the link's target is untouched" test ! -s "$work/file"
if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null; then
  mkdir -p "$work/locked"
  chmod 0755 "$work" "$work/locked"
  check "a folder the user cannot write is refused" \
    bash -c '! runuser -u nobody -- env HOME=/nonexistent "$0" "$1" 2>/dev/null' "$deploy" "$work/locked"
  check "nothing lands in it" test ! -e "$work/locked/ovin"
fi

# Once the first is removed, another folder is taken; characters that need quoting are escaped.
check "after --remove another folder is taken" bash -c '"$0" "$1" >/dev/null' "$deploy" "$b"
check "a dollar in the folder is escaped in Exec" grep -qxF 'Exec="'"$work"'/router \\$b/ovin"' "$(entryOf autostart "$b")"

# A program replaced since the deployment is not the deployed copy: it stays.
echo "someone else's" >"$b/ovin"
out=$("$deploy" --remove "$b")
check "a replaced program is left" test -f "$b/ovin"
check "and the reverse says so" grep -q "not the copy that was deployed" <<<"$out"
check "its entries are removed all the same" test ! -e "$(entryOf autostart "$b")"

# Asked for the window at log-in, the autostart entry says show; the menu entry is the same either way.
c="$work/no tray"
mkdir -p "$c"
"$deploy" --show "$c" >/dev/null
check "--show opens the window at log-in" grep -qx "Exec=\"$c/ovin\" show" "$(entryOf autostart "$c")"
check "--show leaves the menu entry as it is" grep -qx "Exec=\"$c/ovin\" show" "$(entryOf menu "$c")"

exit $((failures > 0))
