#!/usr/bin/env bash
# Builds the Debian package and installs it on a fresh, minimal Debian 12 made with debootstrap
# from the Debian mirror, then runs the installed programs there: `ledgerix --version`,
# `ldxload --help`, `ledgerix` without a display, and the program itself on the offscreen
# platform until a termination request ends it in order (it then has written its settings).
# The package is installed without its recommendations: its dependencies alone must be enough.
# Needs root (debootstrap, chroot). Not part of CI: it downloads a base system.
# Usage: scripts/check-package.sh [CHROOT_FOLDER]   (default /var/tmp/ledgerix-deb12; it is made
# afresh every time; MIRROR=... chooses the mirror)
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "check-package.sh: run it as root (debootstrap, chroot)" >&2; exit 1; }
root="$(realpath -m "${1:-/var/tmp/ledgerix-deb12}")"
mirror="${MIRROR:-http://deb.debian.org/debian}"
# The folder is deleted first: only an empty one or a Debian tree made by an earlier run.
if [ "$root" = / ] || { [ -n "$(ls -A "$root" 2>/dev/null)" ] && [ ! -f "$root/etc/debian_version" ]; }; then
  echo "check-package.sh: $root is not a folder of an earlier check; give another" >&2
  exit 1
fi
deb="$(bash scripts/package.sh | tail -1)"
command -v debootstrap > /dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
# A run stopped before its end may have left /proc mounted there: never delete through it.
umount "$root/proc" 2> /dev/null || true
rm -rf --one-file-system "$root"
debootstrap --variant=minbase bookworm "$root" "$mirror" > /dev/null
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "/tmp/$(basename "$deb")" > /dev/null
echo "== installed: $(in_root dpkg-query -W -f='${Package} ${Version}' ledgerix)"
echo "== ledgerix --version"
in_root ledgerix --version
echo "== ldxload --help (first lines)"
in_root ldxload --help | head -3
echo "== ledgerix without a display (one line, status 1)"
status=0
said="$(in_root ledgerix 2>&1)" || status=$?
echo "$said"
[ "$status" -eq 1 ] && [ "$(echo "$said" | wc -l)" -eq 1 ] || { echo "ended with $status" >&2; exit 1; }
echo "== ledgerix on the offscreen platform (asked to end after 10 s: status 0, settings written)"
in_root sh -c 'mkdir -p -m 700 /tmp/runtime-root
  XDG_RUNTIME_DIR=/tmp/runtime-root QT_QPA_PLATFORM=offscreen timeout --preserve-status 10 ledgerix
  status=$?; [ $status -eq 0 ] || { echo "ended with $status" >&2; exit 1; }
  ls /root/.local/share/ledgerix /root/.local/share/ledgerix/settings
  test -s /root/.local/share/ledgerix/settings/tv_ledgrx.\$\$\$ && test -s /root/.local/share/ledgerix/objects.sqlite'
echo "== the package installs and runs on Debian 12"
