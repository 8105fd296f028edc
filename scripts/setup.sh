#!/usr/bin/env bash
# Prepares a fresh Debian 12 machine (as root): packages, the Wine prefixes, the builds. Each step is
# announced as it starts, with what it usually takes the first time on two cores, and its time when
# it ends; on a prepared machine every step finds its work done and takes seconds.
set -euo pipefail

# The 32-bit GL libraries let 32-bit Wine's Direct3D reach Mesa. The results service (services/results)
# needs the HTTP, SQLite and PostgreSQL libraries, a PostgreSQL server for its tests and Chromium with
# its driver for the browser test. The glTF plug-in reads with tinygltf; Blender and gltfpack make its
# foreign test files, Node.js runs the Khronos validator.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
          libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 xvfb
          pulseaudio pulseaudio-utils libpulse0:i386 imagemagick xdotool ffmpeg
          libfreetype-dev libpng-dev nlohmann-json3-dev fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core
          espeak-ng nsis python3
          libcpp-httplib-dev libsqlite3-dev libpq-dev libssl-dev postgresql curl
          chromium chromium-driver python3-selenium
          libtinygltf-dev libstb-dev blender python3-numpy gltfpack nodejs)

started=$SECONDS
# step "<what>" "<first time on two cores>" command...: runs one step of the set-up, announced and timed.
step() {
  local what=$1 usual=$2 begun=$SECONDS
  shift 2
  echo "setup: $what (the first time about $usual) ..."
  "$@"
  echo "setup: $what took $((SECONDS - begun)) s"
}

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${#missing[@]} packages" "3 minutes" "$(dirname "$0")/packages.sh" "${missing[@]}"
fi
# Only now, with Wine installed, can env.sh tell which builds this machine runs.
source "$(dirname "$0")/env.sh"

# The Khronos glTF validator for the glTF plug-in's tests, from the project's own lock file (again
# only when the lock file changed). Some Node.js packages bring npm, Debian's does not.
command -v npm >/dev/null || "$(dirname "$0")/packages.sh" npm
validator="$TRVX_ROOT/formats/gltf/tests/validator"
install_validator() {
  (cd "$validator" && npm ci --no-audit --no-fund --loglevel=error &&
     cp package-lock.json node_modules/.trvx-installed-lock)
}
if ! cmp -s "$validator/package-lock.json" "$validator/node_modules/.trvx-installed-lock" 2>/dev/null; then
  step "the glTF validator from npm" "half a minute" install_validator
fi

# make_prefix: a new Wine prefix at $WINEPREFIX, made aside and moved into place only once Wine has
# finished it, so that a set-up broken off half-way leaves no prefix that looks ready.
make_prefix() {
  local final=$WINEPREFIX partial=$WINEPREFIX.partial
  rm -rf "$partial"
  mkdir -p "$(dirname "$final")"
  if ! (export WINEPREFIX=$partial && "$TRVX_WINE" wineboot -i >/dev/null 2>&1 && "$TRVX_WINESERVER" -w); then
    rm -rf "$partial"
    echo "setup: Wine could not make the prefix $final" >&2
    return 1
  fi
  mv "$partial" "$final"
}

# prepare_prefix i686|x86_64: the Wine prefix of that build, with the Japanese font names mapped to the
# IPA fonts (regedit reads UTF-16 files; the list is kept as UTF-8 text and imported again whenever it
# changes).
prepare_prefix() (
  trvx_wine_arch "$1"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "making the $WINEARCH Wine prefix $WINEPREFIX" "1 minute" make_prefix
  fi
  local fonts_mark="$WINEPREFIX/.trvx-japanese-fonts" reg_file
  if ! cmp -s "$TRVX_ROOT/scripts/japanese-fonts.reg" "$fonts_mark"; then
    echo "setup: mapping the Japanese font names to the IPA fonts in $WINEPREFIX"
    reg_file=$(mktemp --suffix=.reg)
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$TRVX_ROOT/scripts/japanese-fonts.reg"; } >"$reg_file"
    "$TRVX_WINE" regedit /S "Z:$reg_file" && cp "$TRVX_ROOT/scripts/japanese-fonts.reg" "$fonts_mark"
    "$TRVX_WINESERVER" -w 2>/dev/null || true
    rm -f "$reg_file"
  fi
)

configure() { # build-dir toolchain [cmake args...]
  local dir=$1 toolchain=$2; shift 2
  cmake -S "$TRVX_ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TRVX_ROOT/cmake/$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE:-Release} "$@" >/dev/null
}
# build <name> <build-dir>: the build-machine tools and the content first (models, pictures, sounds),
# then everything else.
build() {
  step "$1: build-machine tools, native tests and the content" "2 minutes" cmake --build "$2" --target content
  step "$1: the programs, DLLs, tests and packages" "3 minutes" cmake --build "$2"
}

# Both builds with their tests, always: the 32-bit tests compile even where they cannot run, and the
# 64-bit build runs its tests everywhere, so neither drifts from the other.
prepare_prefix x86_64
configure "$TRVX_BUILD" mingw-i686 -DTRVX_TESTS=ON
build "the 32-bit build ($TRVX_BUILD)" "$TRVX_BUILD"
configure "$TRVX_BUILD_X64" mingw-x86_64 -DTRVX_TESTS=ON -DTRVX_SHIPPING_BIN="$TRVX_BUILD/bin"
build "the 64-bit build ($TRVX_BUILD_X64)" "$TRVX_BUILD_X64"
if [ "$TRVX_TEST_ARCH" = i686 ]; then
  prepare_prefix i686
else
  echo "setup: this machine cannot run 32-bit programs; the tests run the 64-bit build alone"
fi
echo "setup: ready after $((SECONDS - started)) s"
