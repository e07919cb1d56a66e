#!/usr/bin/env bash
# Configures and builds everything in build/ (the folder name may be given as $1), with warnings
# as errors. Further arguments go to the configure step (-DLEDGERIX_SANITIZE=ON and the like).
# ccache is used when it is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
launcher=""
command -v ccache > /dev/null && launcher=ccache
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDGERIX_WERROR=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" "$@" > /dev/null
cmake --build "$dir" --parallel "$(nproc)"
