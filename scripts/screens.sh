#!/usr/bin/env bash
# Installs what is missing, builds ledgerix-screens and renders every screen and control state it
# knows into docs/screens/ at the device's own size, and into docs/screens/x2/ enlarged twice as
# a desktop shows it. Named scenes only when names are given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
mkdir -p docs/screens/x2
./build/ledgerix-screens docs/screens "$@"
./build/ledgerix-screens --scale 2 docs/screens/x2 "$@"
