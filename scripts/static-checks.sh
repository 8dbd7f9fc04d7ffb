#!/usr/bin/env bash
# Static checks on src/ and the fuzz targets (src/core/generated/ is left out): the formatting
# (scripts/format.sh --check), clang-tidy with the checks in .clang-tidy (faults, naming, function
# size), then cppcheck. Any finding fails.
#   scripts/static-checks.sh                         all of them
#   scripts/static-checks.sh --only CHECK [PATH...]  one clang-tidy check on PATHs (default src fuzz),
#                                                    e.g. --only readability-function-size src/window
# Installs clang-tidy, clang-format and cppcheck when missing (Debian/Ubuntu). Uses the compile
# commands of builds configured in $ORVELLA_STATIC_BUILD_DIR (default build-static/) and, for the
# Windows sources, with MinGW-w64 in the same folder plus -windows.
set -euo pipefail
cd "$(dirname "$0")/.."
only=
if [ "${1:-}" = --only ]; then
  only=${2:?"--only needs a check's name"}
  shift 2
fi
paths=("$@")
[ ${#paths[@]} -gt 0 ] || paths=(src fuzz)
dir=${ORVELLA_STATIC_BUILD_DIR:-build-static}
bash scripts/setup.sh static
for tool in clang-tidy clang-format cppcheck; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "static checks: $tool is not installed (Debian: apt-get install clang-tidy clang-format cppcheck)" >&2
    exit 1
  fi
done
status=0
if [ -z "$only" ]; then
  bash scripts/format.sh --check || status=1
fi

# Configured only: no source includes what moc generates, so nothing needs building first.
cmake -S . -B "$dir" >/dev/null
mapfile -t sources < <(find "${paths[@]}" -name '*.cpp' -not -path 'src/core/generated/*' | sort)
linux=() windows=()
for f in "${sources[@]}"; do
  case $f in
    src/win32/* | src/platform/windows/*) windows+=("$f") ;;
    *) linux+=("$f") ;;
  esac
done

tidy=(clang-tidy --quiet)
[ -n "$only" ] && tidy+=("--checks=-*,$only")
report=$(mktemp)
trap 'rm -f "$report"' EXIT
# Prints clang-tidy's findings for the files on standard input; 1 when there is any.
runTidy() { xargs -r -P "$(nproc)" -n 4 "${tidy[@]}" "$@" 2>/dev/null | tee -a "$report"; }

echo "clang-tidy: ${#linux[@]} files"
printf '%s\n' "${linux[@]}" | runTidy -p "$dir" || status=1
if [ ${#windows[@]} -gt 0 ]; then
  mingw=x86_64-w64-mingw32-g++-posix
  if command -v "$mingw" >/dev/null 2>&1; then
    cmake -S . -B "$dir-windows" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
      -DORVELLA_BUILD_TESTS=OFF >/dev/null
    # clang finds MinGW's C headers by itself, but not its C++ library's.
    mapfile -t cxxIncludes < <("$mingw" -x c++ -E -v /dev/null 2>&1 >/dev/null |
      sed -n 's/^ \(\/.*\/c++.*\)$/\1/p')
    echo "clang-tidy: ${#windows[@]} Windows files"
    printf '%s\n' "${windows[@]}" |
      runTidy -p "$dir-windows" "${cxxIncludes[@]/#/--extra-arg=-isystem}" || status=1
  else
    echo "clang-tidy: the ${#windows[@]} Windows files are skipped: $mingw is missing (scripts/setup.sh test)"
  fi
fi
sizes=$(grep -c 'exceeds recommended size' "$report" || true)
[ "$sizes" -eq 0 ] || echo "clang-tidy: $sizes functions over the length limit (readability-function-size)"

if [ -z "$only" ]; then
  echo "cppcheck: src/"
  # useStlAlgorithm is suppressed: it asks for std::accumulate in place of plain counting loops,
  # a matter of taste that names no fault.
  if ! cppcheck --std=c++20 --language=c++ -I src --library=qt \
      --enable=warning,style,performance,portability --inline-suppr \
      --suppress=missingIncludeSystem --suppress=useStlAlgorithm -isrc/core/generated \
      --error-exitcode=1 --quiet -j "$(nproc)" src; then
    status=1
  fi
fi
[ $status -eq 0 ] && echo "static checks: clean"
exit $status
