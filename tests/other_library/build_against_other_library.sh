#!/usr/bin/env bash
# Configures and builds the tool against another openvr_api library (OPENVR_API_LIBRARY) in a
# temporary build tree, then checks that the tool it produces answers through that library.
# Arguments: source folder, CMake generator, the other library, further CMake settings, and
# after "--" the command that starts a program of a build for another machine, if any.
set -euo pipefail
source_dir=$1 generator=$2 other_library=$3
shift 3
settings=() emulator=()
while (($# > 0)) && [[ "$1" != -- ]]; do
  settings+=("$1")
  shift
done
(($# > 0)) && shift
emulator=("$@")

build_dir=$(mktemp -d)
trap 'rm -rf "$build_dir"' EXIT

cmake -S "$source_dir" -B "$build_dir" -G "$generator" -DBUILD_TESTING=OFF \
  -DOPENVR_API_LIBRARY="$other_library" "${settings[@]}" >/dev/null
cmake --build "$build_dir" --target vr-runtime-path >/dev/null

if [[ -e "$build_dir/libopenvr_api.so" ]]; then
  echo "our own library was built although another one was chosen" >&2
  exit 1
fi
output=$(env -i STAND_IN_RESULT=1 STAND_IN_TEXT_HEX=2f6f746865722f6c696272617279 \
  STAND_IN_REQUIRED_SIZE=15 "${emulator[@]}" "$build_dir/vr-runtime-path")
if [[ "$output" != "/other/library" ]]; then
  echo "unexpected output: '$output'" >&2
  exit 1
fi
# Another library may not know our library's trace, so the message does not point to it.
message=$(env -i STAND_IN_RESULT=0 "${emulator[@]}" "$build_dir/vr-runtime-path" 2>&1 >/dev/null ||
  true)
if [[ "$message" != "vr-runtime-path: no OpenVR runtime found" ]]; then
  echo "unexpected message without a runtime: '$message'" >&2
  exit 1
fi
