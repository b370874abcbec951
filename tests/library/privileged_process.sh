#!/usr/bin/env bash
# A set-user-ID copy of a program that calls the library, started by an unprivileged user, must
# not let that user's environment steer discovery: VR_OVERRIDE, XDG_CONFIG_HOME, HOME and
# OPENVR_API_DEBUG are ignored, and the registry is read from the real user's home folder in
# the password database. A plain copy, for comparison, honours them all.
#   privileged_process.sh <print_runtime_path program> <its openvr_api library> [emulator...]
#
# Needs root: to make a set-user-ID-root copy and to run it as another user, whose entry in the
# password database exists only in this test's own mount namespace. Exit status 77: skipped.
set -euo pipefail
program=$1 library=$2

skip() {
  echo "skipped: $*"
  exit 77
}
(($# == 2)) || skip "under emulation the kernel starts the emulator, which is not set-user-ID," \
  "so the program gets no rights of its own"
((EUID == 0)) || skip "only root can make a set-user-ID-root copy and start it as another user"
for command in unshare setpriv mount; do
  command -v "$command" >/dev/null || skip "$command (util-linux) is not installed"
done
unshare --mount true 2>/dev/null || skip "no mount namespace may be made here"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

# A user ID that nobody has, given a home folder of the test's own.
uid=4242
while getent passwd "$uid" >/dev/null || getent group "$uid" >/dev/null; do
  uid=$((uid + 1))
done
cp /etc/passwd "$work/passwd"
echo "vr-test:x:$uid:$uid:vr-runtime-path test:$work/home:/bin/sh" >>"$work/passwd"

# register <config folder> <runtime>: a registry naming the runtime, which is created.
register() {
  mkdir -p "$1/openvr" "$2"
  printf '{ "runtime": [ "%s" ] }' "$2" >"$1/openvr/openvrpaths.vrpath"
}
register "$work/home/.config" "$work/registered"
register "$work/chosen-config" "$work/chosen-by-config-home"
register "$work/chosen-home/.config" "$work/chosen-by-home"
mkdir -p "$work/chosen-by-override"
# A registry that only root may read, naming a runtime the test user must not learn of.
register "$work/root-only" "$work/secret-runtime"
chmod -R a+rX "$work"
chmod 0600 "$work/root-only/openvr/openvrpaths.vrpath"
chown -R "$uid:$uid" "$work/home"

install -m 4755 "$program" "$work/privileged"
install -m 0755 "$program" "$work/plain"
# In secure mode the loader ignores LD_LIBRARY_PATH: the set-user-ID copy loads the library
# through its run path, the plain one this copy.
install -m 0644 "$library" "$work/"
install -m 4755 "$(command -v id)" "$work/id"

# run <copy> <variable=value>...: the copy, started by the test user with only these variables
# (and the sanitizers' options), inside a namespace whose password database knows that user.
# Sets $output, $errors and $status.
run() {
  local copy=$1
  shift
  status=0
  unshare --mount --propagation private sh -c '
    passwd=$1 uid=$2
    shift 2
    mount --bind "$passwd" /etc/passwd
    exec setpriv --reuid="$uid" --regid="$uid" --clear-groups env -i "$@"' \
    sh "$work/passwd" "$uid" ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"} \
    ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} LD_LIBRARY_PATH="$work" "$@" \
    "$work/$copy" >"$work/output" 2>"$work/errors" || status=$?
  output=$(cat "$work/output") errors=$(cat "$work/errors")
}

# The set-user-ID bit and the namespace's password database must both take effect, or the
# case proves nothing: a folder mounted nosuid, or a name service cache that answers instead of
# the file, would make it fail for reasons of the machine's own.
run id
[[ "$output" == *" euid=0(root)"* ]] ||
  skip "a set-user-ID program gets no rights in $work (mounted nosuid?): $output $errors"
[[ "$output" == "uid=$uid(vr-test) "* ]] ||
  skip "the password database seen in the namespace does not name the test user: $output"

source "$(dirname "$0")/../support/failures.sh"

# expect <copy> <expected output> <variable=value>...
expect() {
  local copy=$1 expected=$2
  shift 2
  run "$copy" "$@"
  if [[ "$status" != 0 || "$output" != "$expected" ]]; then
    fail "$copy with $*: expected '$expected', got '$output' (status $status; $errors)"
  fi
}

expect plain "$work/registered"
expect plain "$work/chosen-by-override" VR_OVERRIDE="$work/chosen-by-override"
expect plain "$work/chosen-by-config-home" XDG_CONFIG_HOME="$work/chosen-config"
expect plain "$work/chosen-by-home" HOME="$work/chosen-home"

for variable in VR_OVERRIDE="$work/chosen-by-override" XDG_CONFIG_HOME="$work/chosen-config" \
  HOME="$work/chosen-home"; do
  expect privileged "$work/registered" "$variable"
done

# The registry is the user's own file: one the process's rights alone could read is not used.
ln -sf "$work/root-only/openvr/openvrpaths.vrpath" "$work/home/.config/openvr/openvrpaths.vrpath"
for copy in plain privileged; do
  run "$copy"
  [[ "$status" == 1 && -z "$output" ]] ||
    fail "the $copy copy used a registry that only root may read: '$output' (status $status)"
done
rm "$work/home/.config/openvr/openvrpaths.vrpath"
register "$work/home/.config" "$work/registered"
chown "$uid:$uid" "$work/home/.config/openvr/openvrpaths.vrpath"

run plain OPENVR_API_DEBUG=1
[[ "$errors" == *"openvr_api: runtime found"* ]] || fail "the plain copy does not trace: '$errors'"
run privileged OPENVR_API_DEBUG=1
[[ -z "$errors" ]] || fail "the set-user-ID copy traces: '$errors'"

finish
