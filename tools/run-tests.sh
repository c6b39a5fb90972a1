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

# Fuzzing: each libFuzzer target runs on a copy of its seed corpus (so the
# repository stays as it is) for FUZZ_SECONDS (default 30). A crash, a leak, a
# sanitizer report or an input taking over 10 s fails the run; the input that
# did it is left in the printed directory.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORTALEX_FUZZ=ON -DVORTALEX_BUILD_TESTS=OFF -DVORTALEX_BUILD_BENCH=OFF
cmake --build build-fuzz --target fuzzers -j"$jobs"
fuzz_work="$(mktemp -d)"
for corpus in fuzz/corpus/*/; do
    target="$(basename "$corpus")"
    cp -r "$corpus" "$fuzz_work/$target"
    echo "Fuzzing $target for ${FUZZ_SECONDS:-30} s"
    if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "build-fuzz/fuzz/$target" \
        -max_total_time="${FUZZ_SECONDS:-30}" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$fuzz_work/$target-" "$fuzz_work/$target" \
        >"$fuzz_work/$target.log" 2>&1; then
        tail -n 60 "$fuzz_work/$target.log"
        echo "$target failed; its log and the failing input are in $fuzz_work"
        exit 1
    fi
    grep -E '^stat::number_of_executed_units' "$fuzz_work/$target.log" || true
done
rm -rf "$fuzz_work"
