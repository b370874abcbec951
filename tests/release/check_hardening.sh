#!/usr/bin/env bash
# Checks the protections of the shipped binaries, in the files and in the commands that
# compiled their sources:
#   check_hardening.sh <compile_commands.json> <source folder> <readelf or objdump> <binary>...
# ELF files (Linux) are read with readelf, PE files (Windows) with the cross toolchain's objdump.
set -euo pipefail
compile_commands=$1 source_dir=$2 reader=$3
shift 3
source "$(dirname "$0")/../support/failures.sh"

# Tools' output is read whole before it is searched: with pipefail, a search that stops early
# would fail the pipeline.
has() { grep -Eq -- "$2" <<<"$1"; }

format_of() {
  case "$(head -c 4 "$1" | od -An -tx1 | tr -d ' \n')" in
    7f454c46) echo elf ;;
    4d5a*) echo pe ;;
    *) echo unknown ;;
  esac
}

# Control-flow protection, for ELF files, depends on the processor.
control_flow_option=""

for binary in "$@"; do
  case "$(format_of "$binary")" in
    elf)
      program_headers=$("$reader" -lW "$binary")
      dynamic=$("$reader" -dW "$binary")
      symbols=$("$reader" --dyn-syms -W "$binary")
      header=$("$reader" -hW "$binary")
      has "$header" 'Type: +EXEC' && fail "$binary is not position-independent"
      if [[ "$binary" != *.so ]]; then
        has "$dynamic" 'FLAGS_1.*PIE' || fail "$binary is not a position-independent executable"
      fi
      has "$program_headers" '^ *GNU_RELRO ' || fail "$binary has no RELRO segment"
      has "$program_headers" '^ *GNU_STACK .* RW +0x' || fail "$binary's stack is executable"
      has "$symbols" ' UND __stack_chk_fail' || fail "$binary has no stack protector"
      if has "$header" 'Machine: +(Advanced Micro Devices X86-64|Intel 80386)'; then
        control_flow_option=-fcf-protection
      elif has "$header" 'Machine: +AArch64'; then
        control_flow_option=-mbranch-protection=standard
      fi
      ;;
    pe)
      headers=$("$reader" -p "$binary")
      for characteristic in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
        has "$headers" "^[[:space:]]+$characteristic\$" || fail "$binary lacks $characteristic"
      done
      ;;
    *)
      fail "$binary is neither an ELF nor a PE file"
      ;;
  esac
done

# The compile commands of the binaries' own C and C++ sources, from CMake's
# compile_commands.json, whose entries hold "command" before "file".
commands=$(awk -v src="$source_dir" '
  /^ *"command": / { command = $0 }
  /^ *"file": .*\.(c|cpp)",?$/ {
    if (index($0, "\"" src "/src/") || index($0, "\"" src "/openvr_api/src/")) print command
  }' "$compile_commands")
[[ -n "$commands" ]] || fail "no compile command for the sources in $source_dir/src and $source_dir/openvr_api/src"
required_options=(-fstack-protector-strong '-D_FORTIFY_SOURCE=[23]' ${control_flow_option:+"$control_flow_option"})
while IFS= read -r command; do
  for option in "${required_options[@]}"; do
    has "$command" " $option( |\$)" || fail "compiled without $option: $command"
  done
done <<<"$commands"

finish
