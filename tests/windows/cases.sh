#!/usr/bin/env bash
# One case of the Windows tests, run under Wine: cases.sh <case>
#
# Environment: EMULATOR (runs a Windows program), WINE_DIR (the prefix's folder, made by
# wine_prefix.sh), TOOL (the built executable, our openvr_api.dll beside it), STAND_IN_TOOL
# (a copy of it beside the scriptable stand-in DLL) and FALLBACK_PROGRAM (asks our DLL with
# LOCALAPPDATA taken away).
set -euo pipefail
case_name=$1
: "${EMULATOR:?}" "${TOOL:?}" "${STAND_IN_TOOL:?}" "${FALLBACK_PROGRAM:?}"
source "$(dirname "$0")/wine_environment.sh"

# Windows looks for DLLs in the working folder too: run where there are none.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The prefix's user profile: the one folder under drive_c/users that is not Public.
profile=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
[[ -n "$profile" ]] || fail "no user profile in $WINEPREFIX"
registry="$profile/AppData/Local/openvr/openvrpaths.vrpath"

# A runtime folder whose name holds characters outside ASCII, as Linux and Windows see it.
runtime_unix="$WINEPREFIX/drive_c/VR Runtimes/Rüntime ✓"
runtime_windows='C:\VR Runtimes\Rüntime ✓'
mkdir -p "$runtime_unix"

write_registry() { # JSON strings escape the backslashes of a Windows path
  mkdir -p "$(dirname "$registry")"
  printf '{ "runtime": [ "%s" ], "config": [ "C:\\\\nowhere" ], "version": 1 }' \
    "${1//\\/\\\\}" >"$registry"
}
# Every case starts without a registry; the profile is shared by all cases.
rm -f "$registry"

# run <program> [arguments...]: standard output and error to files, status in $status.
run() {
  status=0
  "$EMULATOR" "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
}

expect_stdout() {
  if ! printf '%s' "$1" | cmp -s - "$work/stdout"; then
    fail "standard output: expected $(printf '%s' "$1" | od -An -c), got $(od -An -c "$work/stdout")"
  fi
}

expect_stderr() {
  if ! printf '%s' "$1" | cmp -s - "$work/stderr"; then
    fail "standard error: expected '$1', got '$(cat "$work/stderr")'"
  fi
}

expect_status() {
  [[ "$status" == "$1" ]] || fail "exit status: expected $1, got $status"
}

no_runtime_message=$'vr-runtime-path: no OpenVR runtime found (set OPENVR_API_DEBUG=1 to see where the library looked)\r\n'

case "$case_name" in
  registry)
    [[ "$(basename "$profile")" == "$USER" ]] || fail "the profile is not named after $USER"
    write_registry "$runtime_windows"
    run "$TOOL"
    expect_stdout "$runtime_windows"$'\r\n'
    expect_stderr ""
    expect_status 0
    ;;
  arguments)
    write_registry "$runtime_windows"
    run "$TOOL" --help /? "two words" ""
    expect_stdout "$runtime_windows"$'\r\n'
    expect_status 0
    ;;
  override)
    write_registry 'C:\windows'
    VR_OVERRIDE="$runtime_windows" run "$TOOL"
    expect_stdout "$runtime_windows"$'\r\n'
    expect_status 0
    ;;
  no-runtime)
    run "$TOOL"
    expect_stdout ""
    expect_stderr "$no_runtime_message"
    expect_status 1
    ;;
  output-not-written)
    write_registry "$runtime_windows"
    status=0
    "$EMULATOR" "$TOOL" >/dev/full 2>"$work/stderr" || status=$?
    expect_status 1
    grep -q '^vr-runtime-path: cannot write to standard output' "$work/stderr" ||
      fail "standard error: $(cat "$work/stderr")"
    ;;
  long-path)
    # Longer than MAX_PATH (260 characters), which plain Windows paths may not exceed.
    long_name=$(printf 'l%.0s' {1..120})
    mkdir -p "$runtime_unix/$long_name/$long_name/$long_name"
    long_path="$runtime_windows\\$long_name\\$long_name\\$long_name"
    write_registry "$long_path"
    run "$TOOL"
    expect_stdout "$long_path"$'\r\n'
    expect_status 0
    ;;
  forward-slashes)
    write_registry "${runtime_windows//\\//}"
    run "$TOOL"
    expect_stdout "${runtime_windows//\\//}"$'\r\n'
    expect_status 0
    ;;
  local-app-data-fallback)
    write_registry "$runtime_windows"
    OPENVR_API_DEBUG=1 run "$FALLBACK_PROGRAM"
    expect_stdout "$runtime_windows"$'\r\n'
    expect_status 0
    grep -q $'^openvr_api: LOCALAPPDATA is not set\r$' "$work/stderr" &&
      grep -q '^openvr_api: configuration folder: ".*" (from the known folder for local application data)' \
        "$work/stderr" || fail "the trace does not show the known folder: $(cat "$work/stderr")"
    ;;
  missing-library)
    mkdir "$work/alone"
    cp "$TOOL" "$work/alone/"
    run "$work/alone/$(basename "$TOOL")"
    expect_stdout ""
    [[ "$status" != 0 ]] || fail "started without openvr_api.dll"
    ;;
  stand-in-library)
    STAND_IN_RESULT=1 STAND_IN_TEXT_HEX=443a5c5374616e642d496e00 STAND_IN_REQUIRED_SIZE=12 \
      STAND_IN_CALL_LOG="Z:$work/calls.log" run "$STAND_IN_TOOL"
    expect_stdout $'D:\\Stand-In\r\n'
    expect_status 0
    printf 'buffer_size=1024 zero_filled=1\r\n' | cmp -s - "$work/calls.log" ||
      fail "calls: $(od -An -c "$work/calls.log")"
    ;;
  stand-in-no-path)
    STAND_IN_RESULT=1 STAND_IN_TEXT_HEX=443a5c00 STAND_IN_REQUIRED_SIZE=1024 run "$STAND_IN_TOOL"
    expect_stdout ""
    expect_stderr "$no_runtime_message"
    expect_status 1
    ;;
  trace)
    write_registry "$runtime_windows"
    OPENVR_API_DEBUG=1 run "$TOOL"
    expect_stdout "$runtime_windows"$'\r\n'
    expect_status 0
    # Values are quoted as in JSON, so the paths' backslashes are doubled.
    quoted_folder="C:\\\\users\\\\$USER\\\\AppData\\\\Local"
    quoted_runtime="${runtime_windows//\\/\\\\}"
    size=$(($(printf '%s' "$runtime_windows" | wc -c) + 1))
    expect_stderr "$(printf '%s\r\n' \
      "openvr_api: VR_OVERRIDE is not set, so the registry is read" \
      "openvr_api: configuration folder: \"$quoted_folder\" (from LOCALAPPDATA)" \
      "openvr_api: registry file: \"$quoted_folder\\\\openvr\\\\openvrpaths.vrpath\"" \
      "openvr_api: the registry file names the runtime \"$quoted_runtime\" first" \
      "openvr_api: runtime found: \"$quoted_runtime\" ($size bytes with the NUL, for a buffer of 1024)")"$'\n'
    ;;
  trace-reasons)
    # trace_reason <registry contents, or "folder"> <what the trace must say>
    trace_reason() {
      rm -rf "$registry"
      if [[ "$1" == folder ]]; then
        mkdir -p "$registry"
      else
        mkdir -p "$(dirname "$registry")"
        printf '%s' "$1" >"$registry"
      fi
      OPENVR_API_DEBUG=1 run "$TOOL"
      expect_status 1
      grep -qF "openvr_api: $2" "$work/stderr" ||
        fail "expected '$2' in the trace: $(cat "$work/stderr")"
    }
    trace_reason folder "the registry file is a directory, not a regular file"
    trace_reason '{ "runtime": [ "C:\\gone" ' "the registry file is not valid JSON: line 1, column 27: syntax error while parsing array - unexpected end of input"
    trace_reason '{ "runtime": [ 7 ] }' \
      'the first element of the registry file'"'"'s "runtime" array is a number, not a string'
    trace_reason '{ "runtime": [ "C:\\gone" ] }' \
      'the runtime path "C:\\gone" is not an existing directory: File not found'
    trace_reason '{ "runtime": [ "gone" ] }' 'the runtime path "gone" is not an absolute path'
    rm -rf "$registry"
    ;;
  trace-to-debugger)
    # Wine logs what a program sends to the debugger on these channels.
    OPENVR_API_DEBUG=1 WINEDEBUG=warn+seh,warn+debugstr run "$TOOL"
    expect_stdout ""
    expect_status 1
    grep -q $'^openvr_api: no runtime found\r$' "$work/stderr" ||
      fail "no trace on standard error: $(cat "$work/stderr")"
    grep -q 'OutputDebugString.*"openvr_api: no runtime found\\n"' "$work/stderr" ||
      fail "no trace for the debugger: $(cat "$work/stderr")"
    OPENVR_API_DEBUG=0 WINEDEBUG=warn+seh,warn+debugstr run "$TOOL"
    ! grep -q 'openvr_api' "$work/stderr" || fail "traced although off: $(cat "$work/stderr")"
    ;;
  trace-unwritable)
    write_registry "$runtime_windows"
    for standard_error in closed full; do
      status=0
      if [[ "$standard_error" == closed ]]; then
        OPENVR_API_DEBUG=1 "$EMULATOR" "$TOOL" >"$work/stdout" 2>&- || status=$?
      else
        OPENVR_API_DEBUG=1 "$EMULATOR" "$TOOL" >"$work/stdout" 2>/dev/full || status=$?
      fi
      expect_stdout "$runtime_windows"$'\r\n'
      expect_status 0
    done
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
