#!/usr/bin/env bash
# Checks a package as its users and Debian's tools would, without installing anything:
#   check_package.sh tar.gz|deb|zip <package> <source folder> [emulator command...]
#   check_package.sh checksums <SHA256SUMS> <package>...
# The emulator, when given, starts the tool of a package for another machine.
# Every package holds exactly the expected files, owned by root, and the licence; the tool runs
# from an unpacked .tar.gz or .deb. The .deb also passes lintian without error or warning,
# carries the licence in its copyright file and its manual page where man finds it.
set -euo pipefail
kind=$1 package=$2
shift 2
source "$(dirname "$0")/../support/failures.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Nothing these tools run may read or write the real home folder, or leave files behind.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
export TMPDIR="$work/tmp"
mkdir -p "$HOME" "$TMPDIR"

# expect_files <listing file> <expected path>...: the listing's files and links, one per line,
# are exactly the expected ones.
expect_files() {
  local listing=$1
  shift
  if ! diff <(printf '%s\n' "$@" | sort) <(grep -v '/$' "$listing" | sort) >"$work/diff"; then
    fail "$package holds other files than expected (< expected, > found):"$'\n'"$(cat "$work/diff")"
  fi
}

# expect_owned_by_root <verbose tar listing>
expect_owned_by_root() {
  local others
  others=$(awk '$2 != "0/0" && $2 != "root/root"' "$1")
  [[ -z "$others" ]] || fail "$package holds entries not owned by root: $others"
}

# expect_tool_runs <folder holding bin/vr-runtime-path>: run through the link, as from PATH.
expect_tool_runs() {
  mkdir -p "$work/runtime"
  local output
  output=$(env -i VR_OVERRIDE="$work/runtime" "${emulator[@]}" "$1/bin/vr-runtime-path") || true
  [[ "$output" == "$work/runtime" ]] || fail "the packaged tool printed '$output'"
}

# expect_licence <file>: the file is the project's licence.
expect_licence() {
  cmp -s "$source_dir/LICENSE" "$1" || fail "$1 is not the project's LICENSE"
}

if [[ "$kind" != checksums ]]; then
  source_dir=$1
  emulator=("${@:2}")
fi

case "$kind" in
  tar.gz)
    top=$(basename "$package" .tar.gz)
    tar -tzf "$package" >"$work/listing"
    tar -tvzf "$package" --numeric-owner >"$work/verbose"
    expect_files "$work/listing" "$top/bin/vr-runtime-path" \
      "$top/lib/vr-runtime-path/vr-runtime-path" "$top/lib/vr-runtime-path/libopenvr_api.so" \
      "$top/share/doc/vr-runtime-path/LICENSE" "$top/share/doc/vr-runtime-path/README.md" \
      "$top/share/man/man1/vr-runtime-path.1.gz"
    expect_owned_by_root "$work/verbose"
    tar -xzf "$package" -C "$work"
    expect_licence "$work/$top/share/doc/vr-runtime-path/LICENSE"
    expect_tool_runs "$work/$top"
    ;;
  deb)
    # lintian complains on standard error when run as root; its findings go to standard output.
    if ! lintian --no-cfg --fail-on error,warning "$package" 2>/dev/null >"$work/lintian"; then
      fail "lintian:"$'\n'"$(cat "$work/lintian")"
    fi
    dpkg-deb --fsys-tarfile "$package" | tar -t >"$work/listing"
    dpkg-deb --fsys-tarfile "$package" | tar -tv --numeric-owner >"$work/verbose"
    expect_files "$work/listing" ./usr/bin/vr-runtime-path \
      ./usr/lib/vr-runtime-path/vr-runtime-path ./usr/lib/vr-runtime-path/libopenvr_api.so \
      ./usr/share/doc/vr-runtime-path/README.md ./usr/share/doc/vr-runtime-path/changelog.gz \
      ./usr/share/doc/vr-runtime-path/copyright ./usr/share/man/man1/vr-runtime-path.1.gz
    expect_owned_by_root "$work/verbose"

    depends=$(dpkg-deb --field "$package" Depends)
    [[ "$depends" == *"libc6 (>= "* ]] || fail "Depends does not name the C library: '$depends'"
    version=$(dpkg-deb --field "$package" Version)

    dpkg-deb -x "$package" "$work/unpacked"
    expect_tool_runs "$work/unpacked/usr"
    doc="$work/unpacked/usr/share/doc/vr-runtime-path"
    # The licence's text is the copyright file's License paragraph, indented, " ." for an
    # empty line.
    sed -n '/^License: Expat$/,$p' "$doc/copyright" | tail -n +2 | sed 's/^ //; s/^\.$//' \
      >"$work/licence_text"
    sed '1,/^Copyright (c)/d' "$source_dir/LICENSE" | sed '1{/^$/d}' | cmp -s - "$work/licence_text" ||
      fail "the copyright file does not hold the licence's text"
    [[ "$(zcat "$doc/changelog.gz" | head -n 1)" == "vr-runtime-path ($version) "* ]] ||
      fail "the changelog's first entry is not for version $version"

    manual=$(env -i PATH=/usr/bin:/bin HOME="$HOME" MANPATH="$work/unpacked/usr/share/man" \
      man -w vr-runtime-path) || true
    [[ "$manual" == "$work/unpacked/usr/share/man/man1/vr-runtime-path.1.gz" ]] ||
      fail "man finds the page at '$manual'"
    page=$(env -i PATH=/usr/bin:/bin HOME="$HOME" MANPATH="$work/unpacked/usr/share/man" \
      MANWIDTH=80 man vr-runtime-path 2>&1) || true
    [[ "$page" == *NAME*"vr-runtime-path -- print the path of the OpenVR runtime"*SYNOPSIS* ]] ||
      fail "man vr-runtime-path shows: $page"
    ;;
  zip)
    top=$(basename "$package" .zip)
    unzip -Z1 "$package" >"$work/listing"
    expect_files "$work/listing" "$top/LICENSE" "$top/README.md" "$top/openvr_api.dll" \
      "$top/vr-runtime-path.exe"
    unzip -q "$package" -d "$work"
    expect_licence "$work/$top/LICENSE"
    ;;
  checksums)
    # SHA256SUMS names exactly the given packages, and sha256sum -c accepts it.
    listed=$(awk '{ print $2 }' "$package" | sort)
    expected=$(for file in "$@"; do basename "$file"; done | sort)
    [[ "$listed" == "$expected" ]] || fail "SHA256SUMS lists '$listed', not '$expected'"
    (cd "$(dirname "$package")" && sha256sum --check --strict --quiet SHA256SUMS) ||
      fail "sha256sum -c rejects SHA256SUMS"
    ;;
  *)
    echo "usage: check_package.sh tar.gz|deb|zip <package> <source folder> [emulator...]" >&2
    echo "       check_package.sh checksums <SHA256SUMS> <package>..." >&2
    exit 2
    ;;
esac

finish
