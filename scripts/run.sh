#!/usr/bin/env bash
# Builds the tool and runs it, installing what the build needs first. Build messages go to
# standard error, so that standard output and the exit status are the tool's own; the
# environment passes through, e.g.  VR_OVERRIDE=/some/dir scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

require_packages "${BUILD_PACKAGES[@]}"
cmake --preset run >&2
cmake --build --preset run >&2
exec build/run/vr-runtime-path "$@"
