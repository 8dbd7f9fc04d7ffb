#!/usr/bin/env bash
# Installs whatever Orvella needs to build, test and run that is missing (Debian/Ubuntu).
set -euo pipefail

packages=(
  build-essential cmake libgtest-dev
  qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic
  libc-bin
)
# Optional extras: ORVELLA_EXTRA_PACKAGES="clang libclang-rt-14-dev" scripts/setup.sh
if [ -n "${ORVELLA_EXTRA_PACKAGES:-}" ]; then
  read -r -a extra <<<"$ORVELLA_EXTRA_PACKAGES"
  packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "Orvella needs these packages (or their equivalents): ${missing[*]}" >&2
  echo "This is not a Debian/Ubuntu system; install them and run the command again." >&2
  exit 1
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
    echo "Installing ${missing[*]} needs root, and sudo is not available." >&2
    exit 1
  fi
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
