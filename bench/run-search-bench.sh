#!/usr/bin/env bash
# Generates the 1,000,000-line reply (not committed) and measures reading it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release -B build/bench -DXIYINGXIA_WERROR=OFF -DXIYINGXIA_BUILD_GUI=OFF -DXIYINGXIA_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target xiyingxia-gen-reply bench_search
mkdir -p build/bench-data
data=build/bench-data/reply-1m.gb18030
[ -s "$data" ] || build/bench/bench/xiyingxia-gen-reply --lines 1000000 --format reply --out "$data"
build/bench/bench/bench_search "$data"
