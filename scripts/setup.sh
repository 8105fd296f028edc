#!/usr/bin/env bash
# Prepares a fresh Debian 12 machine (as root): packages, a Wine prefix, the builds.
set -euo pipefail

# The 32-bit GL libraries let 32-bit Wine's Direct3D reach Mesa.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
          libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 xvfb
          pulseaudio pulseaudio-utils libpulse0:i386 imagemagick xdotool ffmpeg
          libfreetype-dev libpng-dev fonts-ipafont-gothic fonts-dejavu-core espeak-ng nsis)

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
# Only now, with Wine installed, can env.sh tell which builds this machine runs.
source "$(dirname "$0")/env.sh"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating the $WINEARCH Wine prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$TRVX_WINE" wineboot -i >/dev/null 2>&1 || true
  "$TRVX_WINESERVER" -w 2>/dev/null || true
fi

configure() { # build-dir toolchain [cmake args...]
  local dir=$1 toolchain=$2; shift 2
  cmake -S "$TRVX_ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TRVX_ROOT/cmake/$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-Release} "$@" >/dev/null
  cmake --build "$dir"
}
# The 32-bit tests are always compiled, so a 32-bit-only mistake in them breaks the build even where
# they cannot run.
configure "$TRVX_BUILD" mingw-i686 -DTRVX_TESTS=ON
if [ "$TRVX_TEST_BUILD" != "$TRVX_BUILD" ]; then
  echo "setup: this machine cannot run 32-bit programs; building the tests as 64-bit Windows programs too"
  configure "$TRVX_TEST_BUILD" mingw-x86_64 -DTRVX_TESTS=ON -DTRVX_SHIPPING_BIN="$TRVX_BUILD/bin"
fi
