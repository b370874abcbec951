#!/usr/bin/env bash
# Builds the tool and runs it, installing what the build needs first. Build messages go to
# standard error, so that standard output and the exit status are the tool's own; the
# environment passes through, e.g.  VR_OVERRIDE=/some/dir scripts/run.sh
# Exit status 2 means the tool could not be built, so that it reads as neither of the tool's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

if ! (require_packages "${BUILD_PACKAGES[@]}" && cmake --preset run &&
  cmake --build --preset run) >&2; then
  echo "run.sh: the tool could not be built" >&2
  exit 2
fi
exec build/run/vr-runtime-path "$@"
