#!/usr/bin/env bash
# Builds the program with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every unit and widget test in that build (end-to-end tests stay in the
# normal build: they time the real program).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-debian.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# A CI run (CI set) stops at a warning in our own code.
werror=OFF
[[ -n ${CI:-} ]] && werror=ON
cmake --preset asan "${launcher[@]}" -DOVIN_WARNINGS_AS_ERRORS=$werror
cmake --build --preset asan
ctest --preset asan --timeout 300 -j 2
