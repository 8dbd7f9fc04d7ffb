#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh), unpacks it into a scratch folder and checks it:
# the packaged programs run from there (orvella-convert --version and one conversion; orvella
# without a display), every desktop file is where it belongs, the build folder and the compilers'
# .comment are nowhere in the programs, the manual pages give man no warning and whatis their own
# NAME lines, desktop-file-validate, appstreamcli and lintian find no error, and a second build
# from scratch gives the same bytes. A tool that is missing is skipped with a note
# (scripts/setup.sh test installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in dpkg-deb dpkg-shlibdeps cpack; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "package: skipped, $tool is missing (Debian: apt-get install dpkg-dev cmake)"
    exit 0
  fi
done
# Both builds below take their time stamps from the commit checked out now.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null); then
  export SOURCE_DATE_EPOCH
fi
deb=$(bash scripts/package.sh | tail -n 1)
dir=${ORVELLA_PACKAGE_BUILD_DIR:-build-package}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/pkg"
pkg=$root/pkg
failures=0
fail() { echo "package: FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "package: skipped: $*"; }

echo "package: $(basename "$deb")"
for f in usr/bin/orvella usr/bin/orvella-convert \
    usr/share/applications/orvella.desktop \
    usr/share/metainfo/io.github.orvella.Orvella.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/orvella.svg \
    usr/share/icons/hicolor/48x48/apps/orvella.png \
    usr/share/man/man1/orvella.1.gz usr/share/man/man1/orvella-convert.1.gz \
    usr/share/man/ja/man1/orvella.1.gz usr/share/man/ja/man1/orvella-convert.1.gz \
    usr/share/bash-completion/completions/orvella-convert \
    usr/share/doc/orvella/copyright usr/share/doc/orvella/changelog.gz; do
  [ -e "$pkg/$f" ] || fail "$f is not in the package"
done

# The packaged programs, run from where they were unpacked, with nothing of the build around.
convert=$pkg/usr/bin/orvella-convert
version=$(env -i PATH=/usr/bin:/bin "$convert" --version) || fail "orvella-convert --version failed"
echo "package: orvella-convert --version: $version"
mkdir "$root/out"
printf 'line one\r\nline two\r\n' >"$root/novel.txt"
if env -i PATH=/usr/bin:/bin "$convert" -q -o "$root/out" --to friend@example.jp \
    --date "Wed, 11 Feb 2004 05:15:55 +0900" "$root/novel.txt"; then
  grep -q 'line two' "$root/out/E1__0000.VMG" 2>/dev/null || fail "the conversion wrote no E1__0000.VMG with the text"
  grep -q 'Subject: novel-000' "$root/out/E1__0000.VMG" 2>/dev/null || fail "E1__0000.VMG lacks the Subject"
else
  fail "the packaged orvella-convert failed to convert"
fi
code=0
env -i PATH=/usr/bin:/bin "$pkg/usr/bin/orvella" >/dev/null 2>"$root/err" || code=$?
[ $code -eq 1 ] && grep -q orvella-convert "$root/err" || fail "packaged orvella without a display: exit $code"
build=$(cd "$dir" && pwd)
for program in orvella orvella-convert; do
  if grep -qF "$build" "$pkg/usr/bin/$program"; then fail "$program names the build folder"; fi
  if command -v readelf >/dev/null 2>&1 && readelf -d "$pkg/usr/bin/$program" | grep -qE 'RPATH|RUNPATH'; then
    fail "$program carries a library search path"
  fi
  if command -v readelf >/dev/null 2>&1 && readelf -S -W "$pkg/usr/bin/$program" | grep -qF ' .comment '; then
    fail "$program keeps its .comment section"
  fi
done

# The manual pages as man and the whatis database read them: no groff warning, and each page's
# whatis line is its NAME line as written, without the break marks of the Japanese text.
for page in "$pkg"/usr/share/man/man1/*.1.gz "$pkg"/usr/share/man/ja/man1/*.1.gz; do
  if command -v man >/dev/null 2>&1; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "groff warns on ${page#"$pkg"/}: $warnings"
  fi
  if command -v lexgrog >/dev/null 2>&1; then
    name=$(zcat "$page" | sed -n '/^\.SH /{n;p;q}' | sed 's/\\-/-/g; s/\\://g; s/\\&//g')
    said=$(lexgrog "$page" | sed 's/^[^:]*: "//; s/"$//')
    [ "$said" = "$name" ] || fail "whatis line of ${page#"$pkg"/}: '$said', not '$name'"
  fi
done
command -v lexgrog >/dev/null 2>&1 || skip "lexgrog (Debian: man-db)"

if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$pkg/usr/share/applications/orvella.desktop" || fail "desktop-file-validate"
else
  skip "desktop-file-validate (Debian: desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$pkg/usr/share/metainfo/io.github.orvella.Orvella.metainfo.xml" ||
    fail "appstreamcli validate"
else
  skip "appstreamcli (Debian: appstream)"
fi
if command -v lintian >/dev/null 2>&1; then
  # Errors fail; warnings and notes are shown.
  lintian --fail-on error "$deb" || fail "lintian reports errors"
  if lintian --tags binary-has-unneeded-section "$deb" | grep -q .; then
    fail "lintian finds unneeded sections"
  fi
else
  skip "lintian (Debian: lintian)"
fi

# Built again from scratch, from the same commit, the package is the same bytes: every time stamp
# is the commit's (SOURCE_DATE_EPOCH, set by scripts/package.sh).
cp "$deb" "$root/first.deb"
rm -rf "$dir"
again=$(bash scripts/package.sh | tail -n 1)
if ! cmp -s "$root/first.deb" "$again"; then
  fail "a second build of the package differs: $(cmp "$root/first.deb" "$again" 2>&1 | head -n 1)"
fi

[ $failures -eq 0 ] && echo "package: all checks passed"
exit $((failures > 0))
