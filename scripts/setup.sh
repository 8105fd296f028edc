#!/usr/bin/env bash
# Prepares a fresh Debian 12 machine (as root): packages, a 32-bit Wine prefix, the build.
set -euo pipefail
source "$(dirname "$0")/env.sh"

packages=(cmake ninja-build g++ g++-mingw-w64-i686 googletest wine wine32:i386 xvfb
          pulseaudio pulseaudio-utils libpulse0:i386 clang libclang-rt-14-dev
          imagemagick xdotool ffmpeg)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

cmake -S "$TRVX_ROOT" -B "$TRVX_BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TRVX_ROOT/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-Release} >/dev/null
cmake --build "$TRVX_BUILD"
