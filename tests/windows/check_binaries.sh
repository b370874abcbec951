#!/usr/bin/env bash
# Checks the built Windows binaries with the cross toolchain's own tools:
# check_binaries.sh <objdump> <windres> <vr-runtime-path.exe> <openvr_api.dll>
set -euo pipefail
objdump=$1 windres=$2 tool=$3 library=$4
source "$(dirname "$0")/../support/failures.sh"

# DLLs that every Windows installation has.
is_system_dll() {
  [[ "${1,,}" =~ ^(kernel32|msvcrt|ucrtbase|ntdll|advapi32|user32|shell32|ole32)\.dll$ ||
    "${1,,}" =~ ^api-ms-win-.*\.dll$ ]]
}

# Tools' output is read whole before it is searched: with pipefail, a search that stops early
# would fail the pipeline.
private_headers() { "$objdump" -p "$1"; }

imported_dlls() { private_headers "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }

# The names imported from one DLL, one per line; an import by ordinal shows as "<ordinal>".
imports_from() {
  private_headers "$1" | awk -v dll="$2" '
    /^[[:space:]]*DLL Name: / { inside = (tolower($3) == tolower(dll)); next }
    inside && /^[[:space:]]*$/ { inside = 0 }
    inside && /^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+/ { print ($3 == "" ? "<ordinal>" : $3) }'
}

exported_names() {
  private_headers "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p'
}

for binary in "$tool" "$library"; do
  headers=$("$objdump" -f "$binary")
  grep -q 'file format pei-x86-64' <<<"$headers" || fail "$binary is not a PE32+ file"
  grep -q 'architecture: i386:x86-64' <<<"$headers" || fail "$binary is not for x86-64"
  for dll in $(imported_dlls "$binary"); do
    if [[ "$binary" == "$tool" && "$dll" == "openvr_api.dll" ]]; then
      continue
    fi
    is_system_dll "$dll" || fail "$binary needs $dll, which Windows does not provide"
  done
done

grep -Eq '^Subsystem[[:space:]]+0+3[[:space:]]+\(Windows CUI\)' <<<"$(private_headers "$tool")" ||
  fail "$tool is not a console program"

imports=$(imports_from "$tool" openvr_api.dll)
[[ "$imports" == "VR_GetRuntimePath" ]] ||
  fail "$tool should import exactly VR_GetRuntimePath by name from openvr_api.dll, imports: $imports"

# The shell's DLLs are slow to load and rarely needed: the library loads them on demand.
for dll in $(imported_dlls "$library"); do
  [[ ! "${dll,,}" =~ ^(shell32|ole32)\.dll$ ]] || fail "$library loads $dll at every start"
done

exports=$(exported_names "$library")
[[ "$exports" == "VR_GetRuntimePath" ]] ||
  fail "$library should export exactly VR_GetRuntimePath, exports: $exports"

resources=$("$windres" --input-format=coff --output-format=rc -i "$tool" 2>&1 || true)
grep -q '^1 24 ' <<<"$resources" || fail "$tool has no application manifest (resource 1 of type 24)"
grep -q 'requestedExecutionLevel level=""asInvoker"" uiAccess=""false""' <<<"$resources" ||
  fail "$tool's manifest does not ask for asInvoker without UI access"

finish
