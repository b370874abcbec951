#!/usr/bin/env bash
# Builds the packages of the given presets a second time and compares them, and the build
# trees' binaries, with those of the first build, byte for byte:
#   scripts/check-reproducible.sh <preset>...
# The first build is the one in build/<preset>, packages included. The second builds a copy
# of the source tree in another folder, later, with another umask, time zone and locale. A
# difference is named, and shown with diffoscope when that is installed.
set -euo pipefail
cd "$(dirname "$0")/.."

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
# The copy holds git's data too (a worktree's pointer to it), so that the commit is the same,
# and with it SOURCE_DATE_EPOCH.
tar --exclude=./build -cf - . | tar -xf - -C "$copy"

differences=0
for preset in "$@"; do
  echo "== Second build of $preset in $copy" >&2
  (
    cd "$copy"
    umask 0077
    export TZ=Etc/GMT-14 LC_ALL=C
    cmake --preset "$preset" -DBUILD_TESTING=OFF >/dev/null
    cmake --build --preset "$preset" --target package >/dev/null
  )

  first=build/$preset second=$copy/build/$preset
  files=()
  for binary in vr-runtime-path vr-runtime-path.exe libopenvr_api.so openvr_api.dll; do
    [[ -e "$first/$binary" ]] && files+=("$binary")
  done
  mapfile -t packages < <(awk '{ print $2 }' "$first/SHA256SUMS")
  files+=(SHA256SUMS "${packages[@]}")

  for file in "${files[@]}"; do
    if cmp -s "$first/$file" "$second/$file"; then
      echo "same: $preset/$file" >&2
      continue
    fi
    echo "DIFFERENT: $preset/$file differs between $first and $second" >&2
    differences=$((differences + 1))
    if command -v diffoscope >/dev/null; then
      diffoscope --text - "$first/$file" "$second/$file" | head -n 200 >&2 || true
    fi
  done
done

if ((differences > 0)); then
  echo "check-reproducible.sh: $differences files differ between the two builds" >&2
  exit 1
fi
