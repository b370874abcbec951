#!/usr/bin/env bash
# Checks the version resource that Windows shows in a file's Properties dialog:
#   check_version_resource.sh <windres> <version> <LICENSE> <binary>...
# Each binary carries the version as numbers and as text, the product's name, its own file
# name, a description and the licence's copyright line, in U.S. English.
set -euo pipefail
windres=$1 version=$2 licence=$3
shift 3
source "$(dirname "$0")/../support/failures.sh"

IFS=. read -r major minor patch <<<"$version"
copyright=$(grep -m 1 '^Copyright ' "$licence")

for binary in "$@"; do
  resources=$("$windres" --input-format=coff --output-format=rc -i "$binary" 2>&1 || true)
  # The block of the one VERSIONINFO resource, from its header to its last END.
  info=$(awk '/^[0-9]+ VERSIONINFO/ { inside = 1 } inside { print } inside && /^END/ { exit }' <<<"$resources")
  [[ -n "$info" ]] || { fail "$binary has no version resource"; continue; }

  case "${binary,,}" in
    *.exe) file_type=0x1 ;;
    *.dll) file_type=0x2 ;;
    *) file_type=unknown ;;
  esac
  expected_lines=(
    " FILEVERSION $major, $minor, $patch, 0"
    " PRODUCTVERSION $major, $minor, $patch, 0"
    " FILETYPE $file_type"
    "      VALUE \"FileVersion\", \"$version\""
    "      VALUE \"ProductVersion\", \"$version\""
    "      VALUE \"ProductName\", \"vr-runtime-path\""
    "      VALUE \"OriginalFilename\", \"$(basename "$binary")\""
    "    VALUE \"Translation\", 0x409, 1200"
  )
  for line in "${expected_lines[@]}"; do
    grep -Fqx -- "$line" <<<"$info" || fail "$binary's version resource lacks '$line'"
  done
  grep -Eq '^      VALUE "FileDescription", ".+"$' <<<"$info" || fail "$binary has no description"
  grep -Fq "VALUE \"LegalCopyright\", \"$copyright" <<<"$info" ||
    fail "$binary's copyright is not the licence's '$copyright'"
done

finish
