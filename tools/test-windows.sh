#!/usr/bin/env bash
# Cross-builds the Windows libraries, the stand-in router trovan.exe and the
# test programs with mingw-w64 (preset "windows", in build-windows) and runs
# every test under Wine, in a fresh prefix with a Czech locale, so that the
# system's code page is 1250 as on a Czech Windows.
#
# The tests start and end processes named trovan.exe, which Wine shows to
# Linux under the same name, so ctest runs under the machine-wide lock that
# the Linux end-to-end tests take.
set -euo pipefail
cd "$(dirname "$0")/.."
lock=/tmp/ovin-e2e.lock

tools/setup-windows.sh

prefix=$(mktemp -d /tmp/ovin-wine.XXXXXX)
export OVIN_WINEPREFIX=$prefix
export WINEPREFIX=$prefix
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  # The desktop tests run the program in a prefix of their own beside this one.
  WINEPREFIX=$prefix-desktop /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$prefix" "$prefix-desktop"
}
trap cleanup EXIT

# One wineserver for the whole run, started first: each test program then
# starts at once instead of waiting for a server of its own.
/usr/lib/wine/wineserver -p
echo "Making the Wine prefix $prefix"
tools/wine-run wineboot --init 2>/dev/null

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# A CI run (CI set) stops at a warning in our own code.
werror=OFF
[[ -n ${CI:-} ]] && werror=ON
cmake --preset windows "${launcher[@]}" -DOVIN_WARNINGS_AS_ERRORS=$werror
cmake --build --preset windows
flock "$lock" ctest --preset windows -j 2
