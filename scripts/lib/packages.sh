# Installs the Debian packages a script needs. As root, the missing ones are installed with
# apt-get; otherwise the script stops and prints the command that installs them.
# Sourced by the scripts in this folder.

require_packages() {
  local missing=() package
  for package in "$@"; do
    if [[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null)" != ii* ]]; then
      missing+=("$package")
    fi
  done
  ((${#missing[@]} == 0)) && return 0

  if ((EUID != 0)); then
    echo "Missing Debian packages. Install them as root with:" >&2
    echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]}" >&2
  apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# What configuring and building the native tool and library needs.
BUILD_PACKAGES=(cmake ninja-build g++ nlohmann-json3-dev)
