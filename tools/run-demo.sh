#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts vortalex-demo (the utility on
# an emulated box). Extra arguments go to the demo, e.g. --frame-log frames.txt
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh demo
source tools/normal-build.sh
cmake -S . -B build "${normal_build[@]}" -DVORTALEX_BUILD_TESTS=OFF -DVORTALEX_BUILD_BENCH=OFF
cmake --build build --target vortalex-demo -j"$(nproc)"
exec ./build/vortalex-demo "$@"
