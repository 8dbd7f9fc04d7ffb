#!/usr/bin/env bash
# Builds the Debian package orvella_<version>_<arch>.deb with CPack in build-package/ (or
# $ORVELLA_PACKAGE_BUILD_DIR): a Release build installed under /usr, with Debian's hardening
# flags, its library dependencies computed by dpkg-shlibdeps. Prints the package's path last.
# ORVELLA_JOBS sets the build's parallel jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORVELLA_PACKAGE_BUILD_DIR:-build-package}
for tool in dpkg-shlibdeps dpkg-buildflags; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "package: $tool is missing (Debian: apt-get install dpkg-dev)" >&2
    exit 1
  fi
done
# One commit, one package: every time stamp the tools write is the commit's, and paths in the
# compiler's output are relative to the checkout (dpkg-buildflags' -ffile-prefix-map), wherever it
# is; ccache's own rewriting of them (a base folder, from its environment or its configuration)
# would change the programs' build ids.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH
fi
export CCACHE_BASEDIR=
cxxflags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)
cppflags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS)
ldflags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DORVELLA_BUILD_TESTS=OFF "-DCMAKE_CXX_FLAGS=$cppflags $cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" \
  >/dev/null
cmake --build "$dir" -j "${ORVELLA_JOBS:-$(nproc)}" --target orvella orvella-convert orvella_docs
rm -f "$dir"/orvella_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$PWD/$dir"/orvella_*.deb
