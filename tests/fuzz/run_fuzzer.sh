#!/usr/bin/env bash
# Fuzzes the library's discovery for a bounded time, starting from the seed corpus and the
# saved regressions: run_fuzzer.sh <fuzzer> <seconds> <work folder> <seed folder>...
# Fails on any crash, leak, hang (an input running longer than the time limit) or sanitizer
# report; the input that did it is kept in the work folder's "findings".
set -euo pipefail
fuzzer=$1 seconds=$2 work=$3
shift 3

rm -rf "$work/corpus" "$work/findings"
mkdir -p "$work/corpus" "$work/findings"
if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 -artifact_prefix="$work/findings/" "$work/corpus" "$@"; then
  echo "The fuzzer found an input that breaks the library: $(ls "$work/findings")" >&2
  echo "Fix the library, then add the input to tests/fuzz/regressions/." >&2
  exit 1
fi
