#!/usr/bin/env bash
# Builds the .deb and the .tar.gz as Debian would (its hardening flags), has lintian judge the .deb, installs it
# on this machine, deploys the installed watchdog beside the stand-in router in a temporary folder, runs the
# autostart entry's command line headless and checks that the watchdog starts the router; then takes the
# deployment away and removes the package again.
#
#     tools/ci-package.sh [BUILD_DIR]      (default build-package)
#
# Run as root (apt-get install). It starts processes named ovin and trovan.exe, so the part that runs them holds
# the machine-wide lock that the end-to-end tests take.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build-package}
lock=/tmp/ovin-e2e.lock

tools/setup-debian.sh

# shellcheck source=../tests/support/checks.sh
source tests/support/checks.sh
finish() {
  echo "package: $passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}

# Every hardening Debian knows of, bind-now included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" --target ovin ovin-report theme_icons package_files trovan
rm -f "$build"/ovin_*.deb "$build"/ovin-*.tar.gz
(cd "$build" && cpack -G "DEB;TGZ" >/dev/null)
deb=$(readlink -f "$build"/ovin_*_*.deb)
tgz=$(readlink -f "$build"/ovin-*.tar.gz)
echo "Built $deb and $tgz"

# lintian refuses nothing as root but says so; only errors and warnings count.
lintianOut=$(lintian --fail-on none "$deb" 2>&1 | grep -v "running with root privileges" || true)
[ -z "$lintianOut" ] || echo "$lintianOut"
check "lintian reports no error or warning" bash -c '! grep -q "^[EW]: " <<<"$0"' "$lintianOut"
check "the .tar.gz holds ovin-deploy and the program beside it" \
  bash -c 'tar -tzf "$0" | grep -q "/bin/ovin-deploy$" && tar -tzf "$0" | grep -q "/lib/ovin/ovin$"' "$tgz"
check "and ovin-report with its manual page" \
  bash -c 'tar -tzf "$0" | grep -q "/bin/ovin-report$" && tar -tzf "$0" | grep -q "/man1/ovin-report.1.gz$"' "$tgz"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
check "the package installs the program into /usr/lib/ovin" test -x /usr/lib/ovin/ovin
check "ovin-deploy is on the PATH" test "$(command -v ovin-deploy)" = /usr/bin/ovin-deploy
check "ovin-report is on the PATH" test "$(command -v ovin-report)" = /usr/bin/ovin-report
check "the desktop file is valid" desktop-file-validate /usr/share/applications/ovin.desktop

work=$(mktemp -d)
router="$work/router"
watchdog=""
# Whatever runs the router, in a given folder.
routerPid() {
  local exe
  for exe in /proc/[0-9]*/exe; do
    if [ "$(readlink "$exe" 2>/dev/null)" = "$router/trovan.exe" ]; then
      basename "$(dirname "$exe")"
      return 0
    fi
  done
  return 1
}

cleanup() {
  [ -n "$watchdog" ] && kill "$watchdog" 2>/dev/null || true
  local pid
  pid=$(routerPid) && kill "$pid" 2>/dev/null || true
  rm -rf -- "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$router"
cp "$build/trovan.exe" "$router/"
printf '[conf]\r\nHlidatZdaTrovanJede=1\r\nZobrazitIkonu=0\r\nInterval=1000\r\nCekaniNaTrovan=5\r\n' >"$router/ovin.ini"
echo normal >"$router/trovan.mode"
ovin-deploy "$router"
autostart=$(grep -l "^X-Ovin-Folder=$router$" "$XDG_CONFIG_HOME"/autostart/ovin-*.desktop)
check "the deployed entries are valid" desktop-file-validate "$autostart" "$XDG_DATA_HOME"/applications/ovin-*.desktop

# The autostart entry's command line, as the session would run it at log-in: in its Path, with no display.
exec=$(sed -n 's/^Exec=//p' "$autostart")
workdir=$(sed -n 's/^Path=//p' "$autostart")
log="$router/ovin$(date +%Y%m).log"
exec 9>"$lock"
flock 9
eval "set -- $exec"
(cd "$workdir" && exec env -u DISPLAY -u WAYLAND_DISPLAY "$@" >/dev/null 2>&1) &
watchdog=$!
started=0
for _ in $(seq 1 300); do
  if grep -q "Trovan spusten" "$log" 2>/dev/null && routerPid >/dev/null; then
    started=1
    break
  fi
  sleep 0.1
done
check "the deployed watchdog starts the router" test "$started" -eq 1
kill -TERM "$watchdog"
ended=0
for _ in $(seq 1 100); do
  kill -0 "$watchdog" 2>/dev/null || {
    ended=1
    break
  }
  sleep 0.1
done
check "it ends on SIGTERM" test "$ended" -eq 1
wait "$watchdog" 2>/dev/null || true
watchdog=""
check "and writes its closing line" grep -q "UKONCENI PROGRAMU" "$log"
pid=$(routerPid) && kill "$pid"
flock -u 9

ovin-deploy --remove "$router" >/dev/null
check "the deployment is taken away" bash -c '! ls "$0"/autostart/ovin-*.desktop "$1"/applications/ovin-*.desktop "$2/ovin" 2>/dev/null' \
  "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$router"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ovin >/dev/null
check "the package is removed" test ! -e /usr/lib/ovin/ovin -a ! -e /usr/bin/ovin-deploy
finish
