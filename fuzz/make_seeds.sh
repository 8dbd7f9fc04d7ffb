#!/usr/bin/env bash
# Writes a small seed corpus for each fuzz target into DIR/<target>/ (replacing what is there).
# Seeds are the shapes that matter: code page 932 text of every kind, broken sequences, NULs,
# every sort of line end, lines around the limits. Usage: fuzz/make_seeds.sh DIR
set -euo pipefail
dir=${1:?usage: make_seeds.sh DIR}
n=0
seed() {  # seed TARGET PRINTF-FORMAT [ARGS...]
  local target=$1
  shift
  mkdir -p "$dir/$target"
  # shellcheck disable=SC2059
  printf "$@" >"$dir/$target/seed-$((n++))"
}
repeat() { local s=$1 k=$2 out=""; for ((i = 0; i < k; i++)); do out+=$s; done; printf '%s' "$out"; }

rm -rf "$dir/codec" "$dir/line_reader" "$dir/convert" "$dir/transcode"

# codec: read as bytes, as UTF-16LE units and as UTF-8 at once.
seed codec 'ABC\r\n'
seed codec '\x95\xcf\x8a\xb7'                       # 変換
seed codec '\x82\xa0\x82\xa2\x82\xa4\xb1\xb2\xb3'   # あいう ｱｲｳ
seed codec '\x87\x40\x87\x90\xfa\x40\xfa\x54\xed\x40\xee\xfc'  # NEC row 13, IBM, NEC-selected IBM
seed codec '\xf0\x40\xf9\xfc\x81\x5f\x5c\x7e'       # user-defined area, backslash and tilde
seed codec '\x81\x20\x81\x0d\x0a\x81\x7f\x81'       # broken pairs, a trailing lead byte
seed codec '\x80\xa0\xfd\xfe\xff\x00\x00'           # bytes outside the code page, NULs
seed codec '\x09\x59\xdb\x63\xa5\x00\x01\x03\x3d\xd8\x00\xde\x00\xd8'  # UTF-16LE: 変換 ¥ U+0301 😀, lone surrogate
seed codec '\xe5\xa4\x89\xe6\x8f\x9b\xc2\xa5\xf0\x9f\x98\x80'          # UTF-8: 変換 ¥ 😀
seed codec '\xc0\x80\xed\xa0\x80\xf4\x90\x80\x80\xc3'                 # UTF-8 overlong, surrogate, past U+10FFFF

# line_reader: the first byte picks the block size (byte + 1; 0xFF for the default block).
seed line_reader '\x00a\r\nb\r\n'
seed line_reader '\x01ab\r\n\r\r\n\nc'
seed line_reader '\x02\r\n\r\n\r\n\r\n\r\n'
seed line_reader '\x03a\nb\nc\n\r'
seed line_reader '\x04\x00\x81\xff\r\x82'
seed line_reader '\x07%b\r\n%b' "$(repeat 'x' 40)" "$(repeat '\x82\xa0' 30)"
seed line_reader '\xff%b' "$(repeat 'line of text\r\n' 40)"

# convert: the first two bytes pick the limit (100 + value % 301), the rest is the input.
line50=$(repeat 'x' 50)
seed convert '\x00\x00'                                   # empty input, limit 100
seed convert '\x00\x64%b\r\n%b\r\n%b\r\n' "$line50" "$line50" "$line50"   # limit 200
seed convert '\x00\x65%b\r\n%b\r\n%b\r\n' "$line50" "$line50" "$line50"   # limit 201
seed convert '\x00\x00%b\r\nshort\r\n' "$(repeat 'y' 20)"               # first line overflows 100
seed convert '\x01\x2c%b' "$(repeat '\x95\xcf\x8a\xb7\x82\xa0 ABC\r\n' 30)"
seed convert '\x00\x10a\nb\nc\n%b' "$(repeat '\x00' 10)"
seed convert '\x00\x20\r\r\r\n\n\r'
# transcode: the first byte picks the encoding (value % 3: UTF-8, UTF-16LE, UTF-16BE) and the
# block size (1 + value / 3 % 16).
seed transcode '\x00%b' "$(repeat '\xe5\xa4\x89\xe6\x8f\x9b\xef\xbd\xb1 abc\r\n' 20)"   # 変換ｱ
seed transcode '\x03\xe3\x80\x9c\xe2\x88\x92\xc2\xa5\xe2\x80\xbe\xf0\x9f\x98\x80\xff\xe3\x81'
seed transcode '\x04\x09\x59\x0d\x00\x0a\x00\x3d\xd8\x00\xde\x00\xdc\x61'
seed transcode '\x08\x59\x09\x00\x0d\xd8\x3d\x00\x61\x00'
echo "seeds in $dir: $(find "$dir" -type f | wc -l)"
