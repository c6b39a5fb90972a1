#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks (Release, in build-perf), runs them one after the
# other on this machine and prints the performance table of the README.
# Benchmarks measure; no test depends on these figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
jobs="$(nproc)"

cmake -S . -B build-perf -DCMAKE_BUILD_TYPE=Release -DVORTALEX_BUILD_TESTS=ON -DVORTALEX_BUILD_BENCH=ON
targets=(bench_startup bench_polltick bench_edid bench_waitcpu)
# The libusb back end's own wait, measured by its umockdev test, when that is built.
if cmake --build build-perf --target help | grep tst_libusb_umockdev >/dev/null; then
    targets+=(tst_libusb_umockdev)
fi
cmake --build build-perf -j"$jobs" --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

echo "Running the benchmarks (about a minute)..."
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
build-perf/bench/bench_startup 20 >"$out/startup"
build-perf/bench/bench_polltick --benchmark_format=csv >"$out/polltick" 2>/dev/null
build-perf/bench/bench_edid --benchmark_format=csv >"$out/edid" 2>/dev/null
build-perf/bench/bench_waitcpu >"$out/waitcpu"
if [ -x build-perf/tests/tst_libusb_umockdev ]; then
    umockdev-wrapper build-perf/tests/tst_libusb_umockdev noAnswerTimesOut >"$out/libusb" 2>&1 || true
fi

value() { sed -n "s/^$2=//p" "$out/$1"; }
# Column `2` of the CSV line of benchmark `1` in file `3` (quotes removed).
csv() { awk -F, -v name="$1" -v col="$2" '$1 ~ name { gsub(/"/, "", $col); print $col; exit }' "$out/$3"; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }

date_now="$(date -u +%Y-%m-%d)"
cpu_model="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
u_ms="$(value startup startup_utility_ms)"
b_ms="$(value startup startup_bare_ms)"
pauses="$(value startup startup_pauses_ms)"
tick_us="$(csv quietPollTick 4 polltick)"
read_ms="$(csv BM_EdidRead 3 edid)"
read_floor="$(awk -F, '/BM_EdidRead/ { print $NF; exit }' "$out/edid")"
write_ms="$(csv BM_EdidWrite 3 edid)"
write_floor="$(awk -F, '/BM_EdidWrite/ { print $NF; exit }' "$out/edid")"
wait_cpu="$(value waitcpu waitcpu_cpu_ms)"
wait_fraction="$(value waitcpu waitcpu_core_fraction)"

cat <<TABLE

Measured on $date_now, $(nproc) cores ($cpu_model), load average before the run $load_before,
with \`bash tools/run-bench.sh\` (Release build, Qt's offscreen platform).

| What | VORTALEX Utility | Next to it |
|---|---|---|
| Start-up to the synced, shown window (emulated box, latency 0) | $(calc "%.0f" "$u_ms") ms, of which $pauses ms are the sync's fixed pauses | bare Qt program with an empty \`QMainWindow\`: $(calc "%.0f" "$b_ms") ms |
| Start-up without the fixed pauses | $(calc "%.0f" "$u_ms - $pauses") ms | $(value startup startup_ratio_without_pauses) × the bare program |
| Peak memory after start-up (VmHWM) | $(calc "%.1f" "$(value startup peak_utility_kib) / 1024") MiB | bare program: $(calc "%.1f" "$(value startup peak_bare_kib) / 1024") MiB |
| Host CPU of one quiet poll tick (6 exchanges, no latency) | $(calc "%.1f" "$tick_us") µs | one tick every 3000 ms |
| EDID read, 1 ms latency per exchange | $(calc "%.1f" "$read_ms") ms | floor $(calc "%.0f" "$read_floor") ms: 100 + 10 ms pauses, 18 exchanges |
| EDID write, 1 ms latency per exchange | $(calc "%.1f" "$write_ms") ms | floor $(calc "%.0f" "$write_floor") ms: 32 × 30 ms pauses, 33 exchanges |
| CPU while a transaction waits 4000 ms for a missing answer (emulated bridge) | $(calc "%.1f" "$wait_cpu") ms, $(calc "%.1f" "$wait_fraction * 100") % of one core | |
TABLE
if [ -s "$out/libusb" ] && grep -q 's CPU in the calling thread' "$out/libusb"; then
    line="$(grep -o 'took [0-9]* ms and [0-9.]* s CPU in the calling thread, [0-9.]* s CPU in the whole process' "$out/libusb")"
    wall="$(echo "$line" | awk '{ print $2 }')"
    thread="$(echo "$line" | awk '{ print $5 }')"
    process="$(echo "$line" | awk '{ print $12 }')"
    echo "| The same wait through the libusb back end under umockdev | $(calc "%.0f" "$thread * 1000") ms in the waiting thread, $(calc "%.1f" "$thread * 100000 / $wall") % of one core | whole process with umockdev's emulation: $(calc "%.0f" "$process * 1000") ms |"
fi
