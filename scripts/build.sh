#!/usr/bin/env bash
# Configures and builds everything in build/ (the folder name may be given as $1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$dir" --parallel "$(nproc)"
