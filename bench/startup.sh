#!/usr/bin/env bash
# Start-up speed of vr-runtime-path, in one run against two references: /bin/true, the floor
# of starting any process, and jq reading the same registry, what one would otherwise write.
# Then the instructions of one run, counted by callgrind, which unlike wall time does not
# depend on what else the machine is doing.
#
#   bench/startup.sh [tool]     tool: the executable to measure (default: build it as
#                               scripts/run.sh does)
#   ROUNDS, RUNS, JQ_RUNS       rounds against /bin/true (5), runs per command and round (1000),
#                               runs of the comparison with jq (300)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

require_packages "${BUILD_PACKAGES[@]}" hyperfine jq valgrind

tool=${1:-}
if [[ -z "$tool" ]]; then
  cmake --preset run >&2
  cmake --build --preset run >&2
  tool=build/run/vr-runtime-path
fi
tool=$(realpath "$tool")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/openvr" "$work/runtime"
registry="$work/config/openvr/openvrpaths.vrpath"
printf '{ "runtime": [ "%s" ], "config": [ "%s" ], "version": 1 }\n' \
  "$work/runtime" "$work/config" >"$registry"

# The tool reads the sample registry; nothing of the caller's environment changes how the
# programs are loaded.
export XDG_CONFIG_HOME="$work/config"
unset VR_OVERRIDE LD_LIBRARY_PATH LD_PRELOAD

if [[ "$("$tool")" != "$work/runtime" ]]; then
  echo "startup.sh: $tool does not print the sample runtime" >&2
  exit 1
fi

# Wall time drifts with the machine's state, so the tool and /bin/true are compared side by
# side in several rounds, and the median of the rounds' ratios is reported.
rounds=${ROUNDS:-5}
ratios=()
for ((round = 1; round <= rounds; round++)); do
  hyperfine --shell=none --warmup 100 --runs "${RUNS:-1000}" --export-json "$work/round.json" \
    /bin/true "$tool" >&2
  ratios+=("$(jq '.results[1].median / .results[0].median' "$work/round.json")")
done
read -r true_median tool_median < <(jq -r '[.results[].median * 1e6] | @tsv' "$work/round.json")
ratio_true=$(printf '%s\n' "${ratios[@]}" | sort -g | sed -n "$(((rounds + 1) / 2))p")
ratio_range=$(printf '%s\n' "${ratios[@]}" | sort -g | sed -n '1p;$p' | xargs printf '%.2f-%.2f' )

jq_command="jq -r .runtime[0] $registry"
hyperfine --shell=none --warmup 20 --runs "${JQ_RUNS:-300}" --export-json "$work/jq.json" \
  "$tool" "$jq_command" >&2
read -r tool_median_again jq_median < <(jq -r '[.results[].median * 1e6] | @tsv' "$work/jq.json")
ratio_jq=$(jq -n "$jq_median / $tool_median_again")

instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$tool" 2>&1 >/dev/null |
  sed -n 's/.*Collected : //p')

verdict() { if [[ "$1" == true ]]; then echo "met"; else echo "NOT MET"; fi; }

echo "Start-up of vr-runtime-path, $(date -u +%F), $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, Linux $(uname -r)"
printf '  median wall time (last round): /bin/true %.0f µs, vr-runtime-path %.0f µs; jq %.0f µs\n' \
  "$true_median" "$tool_median" "$jq_median"
printf '  vr-runtime-path / /bin/true:  %.2f, median of %d rounds (%s) (target at most 1.25): %s\n' \
  "$ratio_true" "$rounds" "$ratio_range" "$(verdict "$(jq -n "$ratio_true <= 1.25")")"
printf '  jq / vr-runtime-path:         %.1f (target at least 10): %s\n' \
  "$ratio_jq" "$(verdict "$(jq -n "$ratio_jq >= 10")")"
printf '  instructions of one run:      %s (target fewer than 400,000): %s\n' \
  "$instructions" "$(verdict "$(jq -n "${instructions//,/} < 400000")")"
