#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything and runs every test. Each build
# configuration is compiled once: build/ with the Debian package's flags (the
# suite; through the compiler cache also the package and the quick-start
# clone), and build-asan/ (clang with the sanitizers: the suite, then the fuzz
# targets).
# VORTALEX_SEQUENCE_CHECK=1 stops after the normal suite: the quick-start
# check (tools/check-sequence.sh) runs this script that way on a fresh clone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
jobs="$(nproc)"

source tools/normal-build.sh

# Each stage's wall time and the processor time its commands used (on a busy
# machine the first grows, the second hardly).
cpu_seconds() {
    # The user and system time of this script's finished children, in ticks.
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%d", ($16 + $17) / hz }' "/proc/$$/stat"
}
stage_start=$SECONDS
stage_cpu="$(cpu_seconds)"
stage_done() {
    local cpu
    cpu="$(cpu_seconds)"
    echo "== stage '$1' took $((SECONDS - stage_start)) s ($((cpu - stage_cpu)) s of processor time)"
    stage_start=$SECONDS
    stage_cpu=$cpu
}

# build/ compiles with the package's flags (tools/normal-build.sh). Tests and
# benchmarks are switched on explicitly: the demo script turns them off in the
# same build folder. A run that finds no test fails.
cmake -S . -B build "${normal_build[@]}" -DVORTALEX_BUILD_TESTS=ON -DVORTALEX_BUILD_BENCH=ON
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure --no-tests=error -j"$jobs")
stage_done "test suite (build/)"

if [ "${VORTALEX_SEQUENCE_CHECK:-0}" = 1 ]; then
    echo "VORTALEX_SEQUENCE_CHECK=1: the package, quick-start, sanitizer and fuzz stages are skipped"
    exit 0
fi

# The Debian package: build, install, run, remove.
bash tools/check-package.sh
stage_done "Debian package"

# The README's quick start, in order, on a fresh clone of this commit.
bash tools/check-sequence.sh
stage_done "quick start"

# One clang build with AddressSanitizer (leak detection on) and
# UndefinedBehaviorSanitizer runs the suite and then the fuzz targets. Any
# report ends the program with an error, so ctest fails. No leak is
# suppressed: on the offscreen platform neither Qt nor the program leaves
# anything behind. Debug keeps the assertions; -O1 keeps the fuzzers quick,
# line tables are all a sanitizer report needs, and lld links in seconds.
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld \
    -DVORTALEX_SANITIZE=ON -DVORTALEX_FUZZ=ON -DVORTALEX_BUILD_TESTS=ON -DVORTALEX_BUILD_BENCH=OFF \
    "${launcher[@]}"
cmake --build build-asan -j"$jobs"
(
    cd build-asan
    export ASAN_OPTIONS=detect_leaks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --output-on-failure --no-tests=error -j"$jobs"
)
stage_done "sanitizers (build-asan/)"

# Fuzzing: each libFuzzer target runs on a copy of its seed corpus (so the
# repository stays as it is) for FUZZ_SECONDS (default 10), one target per
# processor at a time. A crash, a leak, a sanitizer report or an input taking
# over 10 s fails the run; the input that did it is left in the printed
# directory.
fuzz_work="$(mktemp -d)"
fuzz_seconds="${FUZZ_SECONDS:-10}"
fuzz_one() {
    local target="$1" log="$fuzz_work/$1.log"
    cp -r "fuzz/corpus/$target" "$fuzz_work/$target"
    if UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "build-asan/fuzz/$target" \
        -max_total_time="$fuzz_seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$fuzz_work/$target-" "$fuzz_work/$target" >"$log" 2>&1; then
        echo "Fuzzed $target for $fuzz_seconds s:" \
            "$(sed -n 's/^stat::number_of_executed_units: *//p' "$log") inputs"
    else
        touch "$fuzz_work/$target.failed"
    fi
}
for corpus in fuzz/corpus/*/; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n
    done
    fuzz_one "$(basename "$corpus")" &
done
wait
for failed in "$fuzz_work"/*.failed; do
    [ -e "$failed" ] || continue
    target="$(basename "$failed" .failed)"
    tail -n 60 "$fuzz_work/$target.log"
    echo "$target failed; its log and the failing input are in $fuzz_work"
    exit 1
done
rm -rf "$fuzz_work"
stage_done "fuzzing"
