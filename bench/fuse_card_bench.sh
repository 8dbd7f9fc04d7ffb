#!/usr/bin/env bash
# What flushing each record costs on a FUSE card: times orvella-convert writing one generated text
# into an exFAT image mounted through FUSE (exfat-fuse on a loop device) and into a folder on the
# machine's own disk, for each build given, runs interleaved; prints the median of each.
# An older build among them shows what the run cost before it flushed each record there.
#   bench/fuse_card_bench.sh [--size 20M] [--max-bytes 10000] [--runs 5] [BIN ...]
# BIN defaults to build/bin/orvella-convert. Needs root, losetup, mkfs.exfat and mount.exfat-fuse
# (scripts/setup.sh test).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=20M max=10000 runs=5 bins=()
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --max-bytes) max=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) bins+=("$(realpath "$1")"); shift ;;
  esac
done
[ ${#bins[@]} -eq 0 ] && bins=("$root/build/bin/orvella-convert")
for tool in losetup mkfs.exfat mount.exfat-fuse; do
  command -v "$tool" >/dev/null || { echo "fuse_card_bench.sh: $tool is missing (scripts/setup.sh test)" >&2; exit 1; }
done
[ "$(id -u)" -eq 0 ] || { echo "fuse_card_bench.sh: a loop device needs root" >&2; exit 1; }

work=$(mktemp -d)
device=
cleanup() {
  mountpoint -q "$work/card" && umount "$work/card"
  [ -n "$device" ] && losetup -d "$device"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/card" "$work/disk"
truncate -s 1G "$work/card.img"
mkfs.exfat "$work/card.img" >/dev/null
device=$(losetup -f --show "$work/card.img")
mount.exfat-fuse "$device" "$work/card" 2>/dev/null
python3 "$root/tools/gen_text.py" --size "$size" "$work/in.txt"

declare -A times
for ((run = 0; run < runs; run++)); do
  for where in card disk; do
    for i in "${!bins[@]}"; do
      out=$work/$where/out
      rm -rf "$out" && mkdir "$out" && sync
      start=$(date +%s%N)
      "${bins[$i]}" -q --max-bytes "$max" -o "$out" "$work/in.txt"
      times[$where,$i]+="$(( ($(date +%s%N) - start) / 1000000 )) "
    done
  done
done
records=$(find "$work/disk/out" -name 'E1__*.VMG' | wc -l)
echo "$size of text, --max-bytes $max: $records records; median of $runs runs"
for where in card disk; do
  for i in "${!bins[@]}"; do
    median=$(tr ' ' '\n' <<<"${times[$where,$i]}" | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    printf '%-5s %6s ms  %s\n' "$where" "$median" "${bins[$i]}"
  done
done
