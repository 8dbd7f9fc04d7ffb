#!/usr/bin/env bash
# Installs whatever Orvella needs to build, test and run that is missing (Debian/Ubuntu).
#   scripts/setup.sh           what building and running need
#   scripts/setup.sh test      also clang and libFuzzer, for the fuzz runs of the test command, and
#                              MinGW-w64 and Wine, for the Windows build and its tests
#   scripts/setup.sh static    also clang-tidy and cppcheck, for scripts/static-checks.sh
# The extras are skipped, with a note, where the distribution has no such package.
set -euo pipefail

packages=(
  build-essential cmake libgtest-dev
  qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic
  libc-bin
)
optional=()
for group in "$@"; do
  case $group in
    test) optional+=(clang libclang-rt-dev g++-mingw-w64-x86-64-posix wine wine64 zip) ;;
    static) optional+=(clang-tidy cppcheck) ;;
    *) echo "setup.sh: unknown group $group (test, static)" >&2; exit 2 ;;
  esac
done
# Any others: ORVELLA_EXTRA_PACKAGES="pkg1 pkg2" scripts/setup.sh
if [ -n "${ORVELLA_EXTRA_PACKAGES:-}" ]; then
  read -r -a extra <<<"$ORVELLA_EXTRA_PACKAGES"
  packages+=("${extra[@]}")
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missingOptional=()
for p in "${optional[@]}"; do installed "$p" || missingOptional+=("$p"); done
[ ${#missing[@]} -eq 0 ] && [ ${#missingOptional[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  if [ ${#missing[@]} -eq 0 ]; then
    echo "Not a Debian/Ubuntu system; these optional tools are left out: ${missingOptional[*]}" >&2
    exit 0
  fi
  echo "Orvella needs these packages (or their equivalents): ${missing[*]}" >&2
  echo "This is not a Debian/Ubuntu system; install them and run the command again." >&2
  exit 1
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
    echo "Installing ${missing[*]} ${missingOptional[*]} needs root, and sudo is not available." >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
for p in "${missingOptional[@]}"; do
  if apt-cache show "$p" >/dev/null 2>&1; then
    missing+=("$p")
  else
    echo "setup.sh: no package $p here; the steps that need it will say they are skipped." >&2
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
