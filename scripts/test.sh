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
echo "== tests, sanitizer build"
ctest --test-dir build-sanitize -j "$jobs" --output-on-failure || status=1
echo "== tests, normal build"
ctest --test-dir build -j "$jobs" --output-on-failure || status=1
exit $status
