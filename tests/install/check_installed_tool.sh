#!/usr/bin/env bash
# Installs a build into a temporary prefix and runs the installed tool through bin/, as a
# user would: check_installed_tool.sh <build folder> [emulator command...]
# The emulator, when given, starts the tool of a build for another machine.
set -euo pipefail
build_dir=$1
emulator=("${@:2}")

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
mkdir "$prefix/runtime"

output=$(env -i VR_OVERRIDE="$prefix/runtime" "${emulator[@]}" "$prefix/bin/vr-runtime-path")
if [[ "$output" != "$prefix/runtime" ]]; then
  echo "the installed tool printed '$output'" >&2
  exit 1
fi
stray=$(find "$prefix" -name 'libopenvr_api.so*' ! -path "*/vr-runtime-path/*")
if [[ -n "$stray" ]]; then
  echo "the library was installed where other programs would find it: $stray" >&2
  exit 1
fi
