# Sourced by the shell-script tests and CI steps: `check WHAT COMMAND...` runs the command, says ok or FAILED for
# WHAT, and counts both; `pass` and `fail` say and count one outcome found otherwise.
passes=0
failures=0

pass() {
  echo "ok: $*"
  passes=$((passes + 1))
}
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
