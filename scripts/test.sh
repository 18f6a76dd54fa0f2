#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
#   scripts/test.sh          developer preset (debug, warnings as errors)
#   scripts/test.sh asan     the same suite under AddressSanitizer + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"

bash scripts/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"
