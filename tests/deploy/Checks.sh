# Sourced by the deploy and install checks: `check WHAT COMMAND...` runs the
# command, says ok or FAILED for WHAT, and counts the failures.
failures=0

check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}
