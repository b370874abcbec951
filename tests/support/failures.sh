# Sourced by the test scripts that make several checks: fail reports one failed check and goes
# on, so that a run shows every failure; finish ends the script, with status 1 when any failed.
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

finish() {
  exit $((failures > 0))
}
