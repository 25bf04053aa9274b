#!/bin/sh
# Runs a Windows program under Wine for the scratch build (prefix made once with wineboot --init).
export WINEPREFIX="${WINEPREFIX:-/tmp/wine17}" WINEDEBUG=-all LANG=cs_CZ.UTF-8
exec /usr/lib/wine/wine64 "$@"
