#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

# The same suite under AddressSanitizer (leak detection on) and
# UndefinedBehaviorSanitizer: any report ends the test program with an error,
# so ctest fails. No leak is suppressed: on the offscreen platform neither Qt
# nor the program leaves anything behind.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVORTALEX_SANITIZE=ON -DVORTALEX_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
(
    cd build-asan
    export ASAN_OPTIONS=detect_leaks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --output-on-failure -j"$jobs"
)
