#!/usr/bin/env bash
# Installs the Debian 12 packages the Windows build and its tests under Wine
# need, skipping the ones already there, and makes the Czech locale that the
# tests run Wine in (it gives the system's code page 1250).
set -euo pipefail

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine64 locales util-linux
          xvfb xauth trayer xdotool imagemagick x11-utils fonts-wine nsis python3)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qix 'cs_CZ\.utf-\?8'; then
  echo "Making the locale cs_CZ.UTF-8"
  $sudo localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8
fi
