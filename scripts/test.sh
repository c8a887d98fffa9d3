#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build, and one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZENTROVA_SANITIZE=ON -DZENTROVA_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
logs=$(mktemp -d)
echo "== tests, sanitizer build"
ctest --test-dir build-sanitize -j "$jobs" --output-on-failure 2>&1 | tee "$logs/sanitize.log" || status=1
echo "== tests, normal build"
ctest --test-dir build -j "$jobs" --output-on-failure 2>&1 | tee "$logs/normal.log" || status=1
# The last lines of a long run are what gets read: repeat each build's
# failures there.
for build in sanitize normal; do
  if grep -q "tests FAILED" "$logs/$build.log"; then
    echo "== failed in the $build build:"
    sed -n '/The following tests FAILED/,$p' "$logs/$build.log"
  fi
done
rm -rf "$logs"
exit $status
