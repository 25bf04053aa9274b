#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need,
# skipping the ones already there.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libqt6test6 libgtest-dev
          xvfb xauth trayer xdotool imagemagick procps
          dpkg-dev lintian desktop-file-utils file man-db bsdextrautils
          fonts-wine fonts-liberation2 qt6-translations-l10n clang-format chromium
          libcurl4-openssl-dev python3 prometheus-node-exporter prometheus)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
