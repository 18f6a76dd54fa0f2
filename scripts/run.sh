#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

if [ ! -x build/release/xiyingxia ]; then
  echo "The core libraries are built; the window comes with the main-window work."
  exit 0
fi
exec build/release/xiyingxia "$@"
