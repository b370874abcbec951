#!/usr/bin/env bash
# Creates or removes the Wine prefix that the Windows tests share, so that Wine's start-up
# cost is paid once per test run: wine_prefix.sh create|remove <emulator>
#
# A persistent Wine server keeps later runs fast until the prefix is removed.
set -euo pipefail
action=$1 emulator=$2
source "$(dirname "$0")/wine_environment.sh"

wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

remove_ours() {
  [[ -e "$WINE_DIR" ]] || return 0
  if [[ ! -e "$wine_marker" ]]; then
    echo "$WINE_DIR exists but was not made by these tests; not touching it" >&2
    exit 1
  fi
  if [[ -d "$WINEPREFIX" ]]; then
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    # The server's socket sits in a folder of its own under /tmp, named after the prefix's
    # device and inode numbers.
    local socket_folder
    socket_folder=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
    for folder in /tmp/wine-*/"$socket_folder"; do
      [[ -d "$folder" ]] || continue
      rm -rf "$folder"
      rmdir "$(dirname "$folder")" 2>/dev/null || true
    done
  fi
  rm -rf "$WINE_DIR"
}

case "$action" in
  create)
    remove_ours
    mkdir -p "$WINEPREFIX" "$HOME"
    touch "$wine_marker"
    # The server must not hold the test's output open, or CTest would wait for it.
    "$wineserver" -p </dev/null >/dev/null 2>&1
    if ! "$emulator" wineboot --init >"$WINE_DIR/wineboot.log" 2>&1; then
      cat "$WINE_DIR/wineboot.log" >&2
      exit 1
    fi
    ;;
  remove)
    remove_ours
    ;;
  *)
    echo "usage: wine_prefix.sh create|remove <emulator>" >&2
    exit 2
    ;;
esac
