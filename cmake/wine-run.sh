#!/usr/bin/env bash
# Runs a Windows program under Wine: the cross build's emulator.
#
# The program runs in the prefix that WINEPREFIX names, which must be set: the user's own
# prefix is never used. Wine's integration with the desktop and its offers to download
# .NET and browser components are off, and so is its debug output, so that standard error
# holds only the program's own messages.
set -euo pipefail
if [[ -z "${WINEPREFIX:-}" ]]; then
  echo "wine-run.sh: set WINEPREFIX to the Wine prefix to run in" >&2
  exit 2
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Wine decodes the environment and file names with the locale's character set.
export LC_ALL=C.UTF-8

for wine in wine64 wine /usr/lib/wine/wine64; do
  if command -v "$wine" >/dev/null; then
    exec "$wine" "$@"
  fi
done
echo "wine-run.sh: Wine is not installed" >&2
exit 2
