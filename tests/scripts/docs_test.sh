#!/usr/bin/env bash
# The manual pages and the bash completion against the program: every option orvella-convert
# --help lists is in both manual pages and is offered by the completion; the completion offers
# folders, encodings and files where they belong; the pages render without groff warnings; the
# Japanese pages show no spaces from line ends; the pages say a TAB is accepted, as the program
# does; the menu entry and the AppStream file validate (each tool skipped, with a note, where
# missing).
#   docs_test.sh ORVELLA_CONVERT SOURCE_DIR BUILD_DIR
set -uo pipefail
convert=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") src=$2 build=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# ---- Completion
source "$src/data/bash-completion/orvella-convert"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/outdir" "$work/other dir"
touch "$work/novel.txt" "$work/notes.txt"
cd "$work" || exit 1
# The completion for the words given, the last being the one under the cursor; sorted, one line.
offers() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _orvella_convert 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | paste -sd'|'
}
while IFS='|' read -r words expected; do
  read -r -a w <<<"$words"
  [[ $words == *" " ]] && w+=("")
  got=$(offers "${w[@]}")
  [ "$got" = "$expected" ] || fail "completion of '$words': got '$got', expected '$expected'"
done <<'TABLE'
orvella-convert --enc|--encoding
orvella-convert --ma|--max-bytes
orvella-convert --encoding |auto|cp932|utf-16be|utf-16le|utf-8
orvella-convert --encoding utf-16|utf-16be|utf-16le
orvella-convert --aozora |bracket|keep|strip
orvella-convert --encoding = u|utf-16be|utf-16le|utf-8
orvella-convert -o |other dir|outdir
orvella-convert --output o|other dir|outdir
orvella-convert --output = ou|outdir
orvella-convert -o outdir n|notes.txt|novel.txt
orvella-convert -o outdir nov|novel.txt
orvella-convert --verify |other dir|outdir
orvella-convert --join outdir -o n|notes.txt|novel.txt
orvella-convert --to |
orvella-convert --max-bytes 1|
orvella-convert -- -|
TABLE

# ---- Every option of --help in the completion and both manual pages
mapfile -t options < <("$convert" --help | grep -oE '^ +(-[a-zA-Z], )?--[a-z0-9-]+' | grep -oE -- '--?[a-zA-Z0-9-]+')
[ ${#options[@]} -ge 10 ] || fail "could not read the options from $convert --help"
offered=" $(offers orvella-convert - | tr '|' ' ') $(offers orvella-convert -- | tr '|' ' ') "
for option in "${options[@]}"; do
  [[ $offered == *" $option "* ]] || fail "the completion does not offer $option"
  escaped=${option//-/\\-}
  for page in docs/man/orvella-convert.1.in docs/man/ja/orvella-convert.1.in; do
    grep -qF -- "$escaped" "$src/$page" || fail "$page does not cover $option"
  done
done

# ---- Rendering
if command -v man >/dev/null 2>&1; then
  for page in "$build"/data/man/*.1 "$build"/data/man/ja/*.1; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
  done
  # Japanese has no spaces between words: a line end inside Japanese text, or after 。 and 、,
  # must not show as one.
  cjk='[\x{3000}-\x{30ff}\x{4e00}-\x{9fff}\x{ff00}-\x{ffef}]'
  for page in "$build"/data/man/ja/*.1; do
    spaced=$(preconv -e UTF-8 "$page" | groff -man -Tutf8 -P-cbou -rLL=2000n 2>/dev/null |
      grep -oP ".{0,8}([。、] +|$cjk +$cjk).{0,8}")
    [ -z "$spaced" ] || fail "$page shows spaces inside Japanese text: $spaced"
  done
else
  echo "note: man is missing; the pages' rendering is not checked"
fi

# ---- What the pages say against what the program does
printf 'a\r\n' >"$work/tab.txt"
"$convert" --check --subject "$(printf 'a\tb')" "$work/tab.txt" >/dev/null ||
  fail "orvella-convert refuses a TAB in --subject"
while IFS='|' read -r page says; do
  grep -qF -- "$says" "$src/$page" || fail "$page does not say that a TAB is accepted ($says)"
done <<'TABLE'
docs/man/orvella-convert.1.in|other than TAB, which is written as it is
docs/man/ja/orvella-convert.1.in|タブ以外の\:制御文字
TABLE

# ---- Desktop files
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$src/data/orvella.desktop" || fail "desktop-file-validate"
else
  echo "note: desktop-file-validate is missing (Debian: desktop-file-utils)"
fi
metainfo=$build/data/io.github.orvella.Orvella.metainfo.xml
if [ ! -e "$metainfo" ]; then
  echo "note: $metainfo is not configured (no window in this build)"
elif command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli validate: $(appstreamcli validate --no-net "$metainfo")"
else
  echo "note: appstreamcli is missing (Debian: appstream)"
fi

[ $failures -eq 0 ] && echo "docs tests: all passed"
exit $((failures > 0))
