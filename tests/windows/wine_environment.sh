# Sourced by the Windows test scripts: points Wine, and everything Wine could write to, into
# the tests' own folder WINE_DIR. Only a folder that wine_prefix.sh created (it holds the
# marker file) is ever changed or removed.
: "${WINE_DIR:?WINE_DIR must name the tests\' Wine folder}"
if [[ "$WINE_DIR" != /* ]]; then
  echo "WINE_DIR must be an absolute path: $WINE_DIR" >&2
  exit 2
fi
wine_marker="$WINE_DIR/.vr-runtime-path-wine"
export WINEPREFIX="$WINE_DIR/prefix"
export HOME="$WINE_DIR/home"
export XDG_CACHE_HOME="$HOME/.cache" XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
# Wine names the prefix's user profile after USER: a name outside ASCII puts the local
# application data folder, and so the registry, in a folder with such a name.
export USER="Jürgen Ünïcode" LOGNAME="Jürgen Ünïcode"
