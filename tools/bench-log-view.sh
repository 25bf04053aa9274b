#!/bin/bash
# The log view on a month of log, on both systems in one run: the Linux bench (build/bench_log_view, which starts
# the real program) and then the Windows bench under Wine (build-windows/bench_log_view_win32.exe), each with its
# own output, then their headline figures side by side.
#
#   tools/bench-log-view.sh [linux build dir] [windows build dir]
#
# Both builds must have their bench built (cmake --build build --target bench_log_view, and
# cmake --build --preset windows --target bench_log_view_win32). Wine runs in OVIN_WINEPREFIX (tools/wine-run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=${1:-$root/build}
windows=${2:-$root/build-windows}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== Linux (Qt) =="
"$linux/bench_log_view" | tee "$work/linux.txt"
echo
echo "== Windows (Win32, under Wine) =="
# The bench starts ovin.exe, which counts the processes of its name: other runs on this machine take the same lock.
flock /tmp/ovin-e2e.lock "$root/tools/wine-run" "$windows/bench_log_view_win32.exe" | tr -d '\r' | tee "$work/windows.txt"

# The first number with a unit on the line that starts with the figure's label.
figure() { awk -v label="$2" 'index($0, label) == 1 {
  for (i = 1; i < NF; i++) if ($i ~ /^[0-9.]+$/ && $(i + 1) ~ /^(ms|us|MB)$/) { print $i " " $(i + 1); exit } }' "$1"; }

echo
echo "== Side by side =="
printf '%-52s %16s %16s %s\n' "" "Linux" "Windows" "target"
printf '%-52s %16s %16s %s\n' "(a) start of the program to its first new line" "$(figure "$work/linux.txt" "(a)")" \
  "$(figure "$work/windows.txt" "(a)")" "< 2000 ms"
printf '%-52s %16s %16s %s\n' "(b) peak memory" "$(figure "$work/linux.txt" "(b)")" "$(figure "$work/windows.txt" "(b)")" \
  "<= 1.5 x text + 50 MB"
printf '%-52s %16s %16s\n' "(c) one AddLogLine, painted, 2.6 M lines" "$(figure "$work/linux.txt" "(c)")" \
  "$(figure "$work/windows.txt" "(c)")"
printf '%-52s %16s %16s %s\n' "(d) a typed character, then a logged line" "$(figure "$work/linux.txt" "(d)")" \
  "$(figure "$work/windows.txt" "(d)")" "< 50 ms"
