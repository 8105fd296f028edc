#!/usr/bin/env bash
# Tries one of the README's commands as a new user would: a fresh Debian 12 system (debootstrap, no
# Wine, no mingw, nothing installed by hand) gets a clean clone of this repository's HEAD and runs
# the command there. Usage (as root): scripts/fresh-machine.sh <folder> "<command>" [timeout seconds]
# e.g. scripts/fresh-machine.sh /srv/fresh scripts/test.sh. The folder is made anew.
set -euo pipefail
root=$1 command=$2 limit=${3:-0}
repo=$(cd "$(dirname "$0")/.." && pwd)
base=/var/cache/trvx-fresh-bookworm

command -v debootstrap >/dev/null || { apt-get update -q && apt-get install -y -q debootstrap; }
# One untouched base system, copied for each try.
if [ ! -f "$base/etc/debian_version" ]; then
  debootstrap --variant=minbase bookworm "$base.tmp" http://deb.debian.org/debian
  mv "$base.tmp" "$base"
fi
# Never delete through a mount left by an earlier try (its /dev is this machine's).
if grep -q " $root/" /proc/mounts; then echo "fresh-machine: $root still has mounts; unmount them first" >&2; exit 1; fi
rm -rf "$root" && cp -a "$base" "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone -q "$repo" "$root/root/repo"

mounts=(proc sys dev)
cleanup() { for m in "${mounts[@]}"; do umount -l "$root/$m" 2>/dev/null || true; done; }
trap cleanup EXIT
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"

# X displays share one abstract socket name space with this machine's own: the try takes a display
# number of its own.
run=(chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 TRVX_DISPLAY=:77
     bash -c "cd /root/repo && $command")
if [ "$limit" -gt 0 ]; then timeout "$limit" "${run[@]}"; else "${run[@]}"; fi
