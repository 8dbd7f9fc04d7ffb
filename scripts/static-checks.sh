#!/usr/bin/env bash
# Static checks on src/ (and the fuzz targets): clang-tidy with the checks in .clang-tidy, then
# cppcheck. Any finding fails. Installs clang-tidy and cppcheck when missing (Debian/Ubuntu), and
# uses the compile commands of a build configured in $ORVELLA_STATIC_BUILD_DIR (default build-static/).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORVELLA_STATIC_BUILD_DIR:-build-static}
bash scripts/setup.sh static
for tool in clang-tidy cppcheck; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "static checks: $tool is not installed (Debian: apt-get install clang-tidy cppcheck)" >&2
    exit 1
  fi
done

cmake -S . -B "$dir" >/dev/null
# The window's sources include what moc generates; make it first.
if grep -q '^ORVELLA_BUILD_UI:BOOL=ON' "$dir/CMakeCache.txt"; then
  cmake --build "$dir" --target orvella_ui_autogen >/dev/null
fi

mapfile -t sources < <(find src fuzz -name '*.cpp' | sort)
status=0
echo "clang-tidy: ${#sources[@]} files"
if ! printf '%s\n' "${sources[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$dir" --quiet 2>/dev/null; then
  status=1
fi

echo "cppcheck: src/"
# useStlAlgorithm is suppressed: it asks for std::accumulate in place of plain counting loops,
# a matter of taste that names no fault.
if ! cppcheck --std=c++20 --language=c++ -I src --library=qt \
    --enable=warning,style,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --suppress=useStlAlgorithm \
    --error-exitcode=1 --quiet -j "$(nproc)" src; then
  status=1
fi
[ $status -eq 0 ] && echo "static checks: clean"
exit $status
