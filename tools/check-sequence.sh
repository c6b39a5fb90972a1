#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Follows the README's quick start on a fresh clone of the checked-out commit:
# `bash tools/run-demo.sh`, then `bash tools/run-tests.sh`. Passes when the
# demo came up and talked to the emulated box, and the second command ran the
# whole test suite, as many tests as ./build holds.
# The nested test run stops after the normal suite (VORTALEX_SEQUENCE_CHECK=1).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
expected="$(cd build && ctest -N | sed -n 's/^Total Tests: //p')"
if [ -z "$expected" ] || [ "$expected" -eq 0 ]; then
    echo "check-sequence.sh: ./build holds no tests to compare with" >&2
    exit 1
fi

# Inside the source tree (git-ignored), so that ccache's relative paths match.
work="$repo/build-sequence"
rm -rf "$work"
mkdir -p "$work"
git clone -q "$repo" "$work/clone"
git -C "$work/clone" checkout -q --detach "$(git rev-parse HEAD)"
cd "$work/clone"
start=$SECONDS
# The clone must find build/'s objects in the compiler cache: its compiles are
# logged apart, so the summary below counts them alone.
if command -v ccache >/dev/null; then
    export CCACHE_STATSLOG="$work/ccache-stats.log"
fi

# 1. The demo, on Qt's offscreen platform; it has come up once its frame log
# holds the settings block read of the start-up sync. Then it is ended.
QT_QPA_PLATFORM=offscreen bash tools/run-demo.sh --frame-log "$work/frames.log" \
    >"$work/demo.out" 2>&1 &
demo=$!
for _ in $(seq 900); do
    grep -q '> 11 2A E1$' "$work/frames.log" 2>/dev/null && break
    kill -0 "$demo" 2>/dev/null || break
    sleep 1
done
if ! grep -q '> 11 2A E1$' "$work/frames.log" 2>/dev/null; then
    kill "$demo" 2>/dev/null || true
    tail -n 40 "$work/demo.out"
    echo "check-sequence.sh: tools/run-demo.sh did not bring the demo up" >&2
    exit 1
fi
kill "$demo"
wait "$demo" || true
echo "Quick start 1/2: the demo came up after $((SECONDS - start)) s"

# 2. The tests, in the same folder the demo script configured.
VORTALEX_SEQUENCE_CHECK=1 bash tools/run-tests.sh >"$work/tests.out" 2>&1 || {
    tail -n 60 "$work/tests.out"
    echo "check-sequence.sh: tools/run-tests.sh failed after tools/run-demo.sh" >&2
    exit 1
}
# ctest names every test it starts (a disabled one too) in a "Start" line.
started="$(grep -cE '^ *Start +[0-9]+: ' "$work/tests.out" || true)"
if [ "$started" != "$expected" ] || ! grep -q '^100% tests passed' "$work/tests.out"; then
    grep -E 'tests passed|No tests' "$work/tests.out" || true
    echo "check-sequence.sh: tools/run-tests.sh ran $started of $expected tests" >&2
    exit 1
fi
echo "Quick start 2/2: all $expected tests ran and passed; both steps took $((SECONDS - start)) s"
if [ -f "$work/ccache-stats.log" ]; then
    echo "The clone's compiles in the compiler cache:"
    ccache --show-log-stats | grep -E '^ *(Hits|Misses):'
fi
cd "$repo"
rm -rf "$work"
