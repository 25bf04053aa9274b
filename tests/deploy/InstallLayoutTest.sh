#!/usr/bin/env bash
# Tests of what an installation holds: the program in its own folder and never on the PATH, ovin-deploy on the
# PATH copying that program, the icon in every size, a valid desktop file, manual pages that format cleanly.
#
#     InstallLayoutTest.sh BUILD_DIR
set -uo pipefail
build=$1

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
prefix="$work/usr"
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

cmake --install "$build" --prefix "$prefix" >/dev/null || {
  echo "FAILED: cmake --install" >&2
  exit 1
}

# path, test
while read -r path test; do
  check "$path ($test)" test "$test" "$prefix/$path"
done <<'TABLE'
lib/ovin/ovin -x
bin/ovin-deploy -x
share/applications/ovin.desktop -f
share/man/man1/ovin.1.gz -f
share/man/man1/ovin-deploy.1.gz -f
bin/ovin-report -x
share/man/man1/ovin-report.1.gz -f
share/doc/ovin/copyright -f
share/doc/ovin/changelog.gz -f
TABLE
for size in 16 22 24 32 48 64 128 256 512; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/ovin.png"
  check "icon $size px" bash -c 'file -b "$0" | grep -q "PNG image data, $1 x $1,"' "$png" "$size"
done
# Run from /usr/bin the program would look for /usr/bin/trovan.exe and write /usr/bin/ovin.ini.
check "the program is not on the PATH" test ! -e "$prefix/bin/ovin"

if command -v desktop-file-validate >/dev/null; then
  check "the desktop file is valid" desktop-file-validate "$prefix/share/applications/ovin.desktop"
fi
for page in ovin ovin-deploy ovin-report; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  check "$page(1) formats without warnings" test -z "$warnings"
done
check "ovin(1) names every word" bash -c \
  'LC_ALL=C.UTF-8 man -l "$0" 2>/dev/null | col -b | grep -q "d, debug, -d, -debug"' \
  "$prefix/share/man/man1/ovin.1.gz"

check "the installed ovin-report runs" bash -c '"$0" --help | grep -q "ovin-report"' "$prefix/bin/ovin-report"

# The installed ovin-deploy copies the installed program.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$work/router"
check "the installed ovin-deploy deploys" bash -c '"$0" "$1" >/dev/null' "$prefix/bin/ovin-deploy" "$work/router"
check "and copies the installed program" cmp -s "$prefix/lib/ovin/ovin" "$work/router/ovin"

exit $((failures > 0))
