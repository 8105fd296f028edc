#!/usr/bin/env bash
# Tries one of the README's commands as a new user would: a fresh Debian 12 system (debootstrap, no
# Wine, no mingw, nothing installed by hand) gets a clean clone of this repository's HEAD and runs
# the command there. Usage (as root):
#   scripts/fresh-machine.sh [--flaky-mirror] <folder> "<command>" [timeout seconds]
# e.g. scripts/fresh-machine.sh /srv/fresh scripts/test.sh. The folder is made anew. --flaky-mirror
# puts a stand-in apt-get first on the PATH whose first "update" fails as a mirror in the middle of a
# sync answers; every later call runs the real one.
set -euo pipefail
flaky=
if [ "${1:-}" = --flaky-mirror ]; then
  flaky=1
  shift
fi
root=$1 command=$2 limit=${3:-0}
repo=$(cd "$(dirname "$0")/.." && pwd)
base=/var/cache/trvx-fresh-bookworm

command -v debootstrap >/dev/null || "$repo/scripts/packages.sh" debootstrap
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

path=/usr/sbin:/usr/bin:/sbin:/bin
if [ -n "$flaky" ]; then
  mkdir -p "$root/opt/flaky-mirror"
  cat >"$root/opt/flaky-mirror/apt-get" <<'STAND_IN'
#!/bin/sh
# The first index download fails as a mirror in the middle of a sync answers; then the real apt-get.
if [ "$1" = update ] && [ ! -e /opt/flaky-mirror/failed-once ]; then
  touch /opt/flaky-mirror/failed-once
  url=http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz
  echo "Err:1 $url"
  echo "  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 151.101.2.132 80]"
  echo "E: Failed to fetch $url  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
  exit 100
fi
exec /usr/bin/apt-get "$@"
STAND_IN
  chmod +x "$root/opt/flaky-mirror/apt-get"
  path=/opt/flaky-mirror:$path
fi
# X displays share one abstract socket name space with this machine's own: the try takes a display
# number of its own.
run=(chroot "$root" /usr/bin/env -i HOME=/root PATH=$path LANG=C.UTF-8 TRVX_DISPLAY=:77 TRVX_RUN_DISPLAY=:78
     bash -c "cd /root/repo && $command")
if [ "$limit" -gt 0 ]; then timeout "$limit" "${run[@]}"; else "${run[@]}"; fi
