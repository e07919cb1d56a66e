#!/usr/bin/env bash
# Builds the Debian package and installs it on a fresh, minimal Debian 12 made with debootstrap
# from the Debian mirror, then runs the installed programs there: `ledgerix --version`,
# `ldxload --help`, and the program itself on the offscreen platform until it has started
# (it writes its settings). Needs root (debootstrap, chroot). Not part of CI: it downloads a base
# system. Usage: scripts/check-package.sh [CHROOT_FOLDER]   (default /var/tmp/ledgerix-deb12;
# it is made afresh every time; MIRROR=... chooses the mirror)
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "check-package.sh: run it as root (debootstrap, chroot)" >&2; exit 1; }
root="${1:-/var/tmp/ledgerix-deb12}"
mirror="${MIRROR:-http://deb.debian.org/debian}"
deb="$(bash scripts/package.sh | tail -1)"
command -v debootstrap > /dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
rm -rf "$root"
debootstrap --variant=minbase bookworm "$root" "$mirror" > /dev/null
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" > /dev/null
echo "== installed: $(in_root dpkg-query -W -f='${Package} ${Version}' ledgerix)"
echo "== ledgerix --version"
in_root ledgerix --version
echo "== ldxload --help (first lines)"
in_root ldxload --help | head -3
echo "== ledgerix without a display"
in_root ledgerix && exit 1 || true
echo "== ledgerix on the offscreen platform (stopped after it has started)"
in_root sh -c 'QT_QPA_PLATFORM=offscreen timeout 10 ledgerix; test -s /root/.local/share/ledgerix/settings/tv_ledgrx.\$\$\$ && test -s /root/.local/share/ledgerix/objects.sqlite'
echo "== the package installs and runs on Debian 12"
