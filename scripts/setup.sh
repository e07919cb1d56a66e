#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. With the argument "fuzz",
# also clang and its fuzzer runtime (scripts/fuzz-smoke.sh); with "package", what building the
# Debian package needs (scripts/package.sh).
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev fonts-dejavu-core
  # The installed menu entry is checked with desktop-file-validate.
  desktop-file-utils
  # The companion's journal is checked against these two (companion/journal_balance_test.cpp).
  hledger ledger)
if [ "${1:-}" = "fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
if [ "${1:-}" = "package" ]; then
  # CPack finds the package's dependencies with dpkg-shlibdeps.
  packages+=(dpkg-dev file)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
