#!/usr/bin/env bash
# The report's page in a real browser: headless Chromium draws it, and the
# screenshot must show the chart's bars and downtime line and the table.
#
#     ReportPageTest.sh OVIN_REPORT SAMPLE_FOLDER OUT_FOLDER
set -euo pipefail
report=$1 sample=$2 out=$3
mkdir -p "$out"
page=$out/report.html
shot=$out/report.png
rm -f "$page" "$shot"

"$report" --html "$page" --name "Praha – sklad" "$sample"
[ -s "$page" ] || { echo "no page written"; exit 1; }

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
timeout 90 /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$profile" \
  --screenshot="$shot" --window-size=1100,900 "file://$(readlink -f "$page")" >/dev/null 2>&1 || true
[ -s "$shot" ] || { echo "Chromium made no screenshot"; exit 1; }

# Each colour of the chart (stalls, crashes, launch failures, downtime) and the
# table's header shading must be on the screen.
colours=$(convert "$shot" -unique-colors txt:- | tr 'A-F' 'a-f')
status=0
for colour in e8a33d c8423b 7b4fa3 2f6db5 f0f0f0; do
  if ! grep -q "#$colour" <<<"$colours"; then
    echo "the screenshot lacks the colour #$colour"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "page drawn: $shot"
exit "$status"
