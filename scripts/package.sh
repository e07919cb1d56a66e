#!/usr/bin/env bash
# Builds the Debian package of the program in build-package/ (Release, without tests) and prints
# its path. It installs with `sudo apt install ./ledgerix_<version>_<arch>.deb`, which brings Qt 6,
# SQLite and the font along; scripts/check-package.sh tries that on a fresh Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
# Warnings stay warnings here: -O3 brings false alarms of its own (-Wrestrict in libstdc++).
bash scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DLEDGERIX_TESTS=OFF \
  -DLEDGERIX_BENCH=OFF -DLEDGERIX_WERROR=OFF
rm -f build-package/ledgerix_*.deb
(cd build-package && cpack -G DEB > /dev/null)
ls "$PWD"/build-package/ledgerix_*.deb
