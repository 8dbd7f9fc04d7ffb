#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while on a freshly generated seed
# corpus plus the kept regression inputs. Skips cleanly when clang or libFuzzer is missing.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default 20 s; every target of fuzz/CMakeLists.txt)
# The build goes to $ORVELLA_FUZZ_BUILD_DIR (default build-fuzz/); the corpus grows there between
# runs, and an input that breaks a property is saved there under fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || read -r -a targets < <(sed -n 's/^set(ORVELLA_FUZZ_TARGETS \(.*\))$/\1/p' fuzz/CMakeLists.txt)
dir=${ORVELLA_FUZZ_BUILD_DIR:-build-fuzz}

cxx=${ORVELLA_FUZZ_CXX:-clang++}
if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "fuzz: skipped, $cxx is not installed (Debian: apt-get install clang libclang-rt-dev)"
  exit 0
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! "$cxx" -fsanitize=fuzzer "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
  echo "fuzz: skipped, $cxx cannot link libFuzzer (Debian: apt-get install libclang-rt-dev)"
  exit 0
fi

cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER="$cxx" -DORVELLA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

bash fuzz/make_seeds.sh "$dir/fuzz-seeds" >/dev/null
mkdir -p "$dir/fuzz-artifacts"
status=0
for t in "${targets[@]}"; do
  corpus="$dir/fuzz-corpus/$t"
  log="$dir/fuzz-$t.log"
  mkdir -p "$corpus"
  # -timeout catches a hang; the first folder is the corpus the fuzzer adds to.
  if nice -n 10 "$dir/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
      -print_final_stats=1 -artifact_prefix="$dir/fuzz-artifacts/$t-" \
      "$corpus" "$dir/fuzz-seeds/$t" "fuzz/regressions/$t" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "fuzz $t: ${runs:-?} executions in ${seconds} s (${rate:-?}/s), corpus $(find "$corpus" -type f | wc -l) inputs, no finding"
  else
    status=1
    echo "fuzz $t: FINDING — log $log; input saved under $dir/fuzz-artifacts/"
    grep -E 'property failed|ERROR:|SUMMARY:|^artifact_prefix|Test unit written' "$log" || tail -n 30 "$log"
  fi
done
exit $status
