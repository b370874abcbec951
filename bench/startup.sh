#!/usr/bin/env bash
# Start-up speed of vr-runtime-path, in one run against three references:
#  - the floor: the tool itself bound to a library that only returns a constant path, the
#    cheapest program this design allows, so that the ratio to it is what our lookup costs,
#    however fast the machine starts processes;
#  - /bin/true, the floor of starting any process;
#  - jq reading the same registry, what one would otherwise write.
# Wall time comes from hyperfine, in rounds, since it drifts with the machine's state; the
# instructions of one run come from callgrind, which does not.
#
#   bench/startup.sh [tool]     tool: the executable to measure (default: the one built as
#                               scripts/run.sh builds it)
#   ROUNDS, RUNS, JQ_RUNS       rounds against the floor and /bin/true (5), runs per command and
#                               round (1000), runs of the comparison with jq (300)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

require_packages "${BUILD_PACKAGES[@]}" hyperfine jq valgrind

cmake --preset run >&2
cmake --build --preset run --target vr-runtime-path startup_floor >&2
floor=$(realpath build/run/bench/floor/vr-runtime-path)
tool=$(realpath "${1:-build/run/vr-runtime-path}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/openvr" "$work/runtime"
registry="$work/config/openvr/openvrpaths.vrpath"
printf '{ "runtime": [ "%s" ], "config": [ "%s" ], "version": 1 }\n' \
  "$work/runtime" "$work/config" >"$registry"

# The tool reads the sample registry; nothing of the caller's environment changes how the
# programs are loaded or traces the lookup.
export XDG_CONFIG_HOME="$work/config"
unset VR_OVERRIDE LD_LIBRARY_PATH LD_PRELOAD OPENVR_API_DEBUG

if [[ "$("$tool")" != "$work/runtime" ]]; then
  echo "startup.sh: $tool does not print the sample runtime" >&2
  exit 1
fi

median_of() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }
range_of() { printf '%s\n' "$@" | sort -g | sed -n '1p;$p' | xargs printf '%.2f-%.2f'; }

rounds=${ROUNDS:-5}
to_floor=() to_true=()
for ((round = 1; round <= rounds; round++)); do
  hyperfine --shell=none --warmup 100 --runs "${RUNS:-1000}" --export-json "$work/round.json" \
    /bin/true "$floor" "$tool" >&2
  to_true+=("$(jq '.results[2].median / .results[0].median' "$work/round.json")")
  to_floor+=("$(jq '.results[2].median / .results[1].median' "$work/round.json")")
done
read -r true_median floor_median tool_median < <(jq -r '[.results[].median * 1e6] | @tsv' \
  "$work/round.json")

jq_command="jq -r .runtime[0] $registry"
hyperfine --shell=none --warmup 20 --runs "${JQ_RUNS:-300}" --export-json "$work/jq.json" \
  "$tool" "$jq_command" >&2
ratio_jq=$(jq '.results[1].median / .results[0].median' "$work/jq.json")
jq_median=$(jq '.results[1].median * 1e6' "$work/jq.json")

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null |
    sed -n 's/.*Collected : //p' | tr -d ,
}
tool_instructions=$(instructions "$tool")
floor_instructions=$(instructions "$floor")
instructions_to_floor=$(jq -n "$tool_instructions / $floor_instructions")

verdict() { if [[ "$(jq -n "$1")" == true ]]; then echo "met"; else echo "NOT MET"; fi; }
ratio_floor=$(median_of "${to_floor[@]}")
ratio_true=$(median_of "${to_true[@]}")

echo "Start-up of vr-runtime-path, $(date -u +%F), $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, Linux $(uname -r)"
printf '  median wall time (last round): /bin/true %.0f µs, floor %.0f µs, vr-runtime-path %.0f µs; jq %.0f µs\n' \
  "$true_median" "$floor_median" "$tool_median" "$jq_median"
printf '  instructions, tool / floor:   %.3f (%s / %s) (target at most 1.20): %s\n' \
  "$instructions_to_floor" "$tool_instructions" "$floor_instructions" \
  "$(verdict "$instructions_to_floor <= 1.20")"
printf '  wall time, tool / floor:      %.3f, median of %d rounds (%s) (target at most 1.10): %s\n' \
  "$ratio_floor" "$rounds" "$(range_of "${to_floor[@]}")" "$(verdict "$ratio_floor <= 1.10")"
printf '  wall time, tool / /bin/true:  %.2f, median of %d rounds (%s) (target at most 1.25): %s\n' \
  "$ratio_true" "$rounds" "$(range_of "${to_true[@]}")" "$(verdict "$ratio_true <= 1.25")"
printf '  wall time, jq / tool:         %.1f (target at least 10): %s\n' \
  "$ratio_jq" "$(verdict "$ratio_jq >= 10")"
printf '  instructions of one run:      %s (target fewer than 400,000): %s\n' \
  "$tool_instructions" "$(verdict "$tool_instructions < 400000")"
