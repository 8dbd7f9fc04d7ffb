#!/usr/bin/env bash
# Installs whatever Orvella needs to build, test and run that is missing (Debian/Ubuntu).
#   scripts/setup.sh           what building and running need
#   scripts/setup.sh test      also clang and libFuzzer, for the fuzz runs of the test command,
#                              MinGW-w64 and Wine, for the Windows build and its tests, Xvfb and
#                              Wine's fonts, for the Windows window's, and rsvg-convert and
#                              ImageMagick, for the icons (tools/make_icon.sh), Qt's GTK theme, for
#                              the dialogs on a GNOME-like desktop, and
#                              exFAT through FUSE, for the tests on a card whose names ignore case
#   scripts/setup.sh static    also clang-tidy, clang-format and cppcheck, for scripts/static-checks.sh
# The extras are skipped, with a note, where the distribution has no such package.
# While another package manager run holds apt's locks (a fresh desktop's first minutes), it waits
# for them, up to ORVELLA_APT_WAIT seconds (default 300). For tests: ORVELLA_APT_LOCKS (the lock
# files to watch) and ORVELLA_APT_GET (a command run in place of apt-get, without sudo).
set -euo pipefail

packages=(
  build-essential cmake libgtest-dev
  qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic qt6-wayland
  libc-bin
)
optional=()
for group in "$@"; do
  case $group in
    test) optional+=(clang libclang-rt-dev dpkg-dev lintian desktop-file-utils appstream
                     g++-mingw-w64-x86-64-posix wine wine64 zip locales ccache
                     xvfb imagemagick librsvg2-bin fonts-wine exfat-fuse exfatprogs
                     xauth qt6-gtk-platformtheme) ;;
    static) optional+=(clang-tidy clang-format cppcheck) ;;
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

aptGet=(apt-get)
[ -n "${ORVELLA_APT_GET:-}" ] && read -r -a aptGet <<<"$ORVELLA_APT_GET"
if ! command -v "${aptGet[0]}" >/dev/null 2>&1; then
  if [ ${#missing[@]} -eq 0 ]; then
    echo "Not a Debian/Ubuntu system; these optional tools are left out: ${missingOptional[*]}" >&2
    exit 0
  fi
  echo "Orvella needs these packages (or their equivalents): ${missing[*]}" >&2
  echo "This is not a Debian/Ubuntu system; install them and run the command again." >&2
  exit 1
fi

sudo=()
if [ "$(id -u)" -ne 0 ] && [ -z "${ORVELLA_APT_GET:-}" ]; then
  if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
    echo "Installing ${missing[*]} ${missingOptional[*]} needs root, and sudo is not available." >&2
    exit 1
  fi
fi

# ---- Waiting for apt's locks
read -r -a aptLocks <<<"${ORVELLA_APT_LOCKS:-/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock /var/cache/apt/archives/lock}"
waitUntil=$((SECONDS + ${ORVELLA_APT_WAIT:-300}))
toldWaiting=0

# Prints "LOCK PID" for the first lock some process holds. /proc/locks lists both kinds of lock
# (apt's fcntl locks and flock), by device and inode.
heldLock() {
  local lock dev inode key line pid
  [ -r /proc/locks ] || return 1
  for lock in "${aptLocks[@]}"; do
    [ -e "$lock" ] || continue
    read -r dev inode < <(stat -L -c '%d %i' "$lock") || continue
    printf -v key '%02x:%02x:%s' $(((dev >> 8) & 0xfff)) $(((dev & 0xff) | ((dev >> 12) & 0xfff00))) "$inode"
    line=$(grep -m1 -E "[[:space:]]$key[[:space:]]" /proc/locks) || continue
    read -r _ _ _ _ pid _ <<<"${line/->/}"
    echo "$lock $pid"
    return 0
  done
  return 1
}

# Returns once no lock is held; 1 when the time is up.
waitForLocks() {
  local held lock pid who
  while held=$(heldLock); do
    read -r lock pid <<<"$held"
    who=$(cat "/proc/$pid/comm" 2>/dev/null) || who="?"
    if [ $toldWaiting -eq 0 ]; then
      echo "setup.sh: another package manager run ($who, process $pid) holds $lock;" \
        "waiting up to $(((waitUntil - SECONDS + 59) / 60)) min for it to finish (a new desktop installs updates in its first minutes)." >&2
      toldWaiting=1
    fi
    if [ $SECONDS -ge $waitUntil ]; then
      echo "setup.sh: $lock is still held by $who (process $pid); run the command again when it is done." >&2
      return 1
    fi
    sleep 1
  done
}

# apt-get with its arguments, after the locks are free. apt's own message on any other failure.
# A lock taken between the wait and apt's start shows as apt naming a lock file: wait again.
aptRun() {
  local log status lock
  log=$(mktemp)
  while :; do
    waitForLocks || { rm -f "$log"; exit 1; }
    status=0
    "${sudo[@]}" "${aptGet[@]}" "$@" 2>"$log" || status=$?
    if [ $status -ne 0 ] && [ $SECONDS -lt $waitUntil ]; then
      for lock in "${aptLocks[@]}"; do
        if grep -qF "$lock" "$log"; then
          if [ $toldWaiting -eq 0 ]; then
            echo "setup.sh: another package manager run took $lock; waiting for it to finish." >&2
            toldWaiting=1
          fi
          sleep 2
          continue 2
        fi
      done
    fi
    cat "$log" >&2
    rm -f "$log"
    [ $status -eq 0 ] || exit $status
    return 0
  done
}

export DEBIAN_FRONTEND=noninteractive
aptRun update -qq
for p in "${missingOptional[@]}"; do
  if apt-cache show "$p" >/dev/null 2>&1; then
    missing+=("$p")
  else
    echo "setup.sh: no package $p here; the steps that need it will say they are skipped." >&2
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
aptRun install -y -qq --no-install-recommends "${missing[@]}"
