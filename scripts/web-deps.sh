#!/usr/bin/env bash
# Builds the libraries the engine links for WebAssembly from Debian's own
# source packages with Debian's emscripten. Emscripten's ports would be
# fetched from the network at first use and Debian's copy of its cache is
# frozen, so each library is built here instead, as a static archive.
#
# Usage: scripts/web-deps.sh [NAME...]   (default: all, in dependency order)
# Prints the prefix (include/, lib/) on its last line of output.
# The prefix lives in $VANTOREL_WEB_DEPS (default ~/.cache/vantorel-web) under
# a key made of the emcc version, the source versions and the recipe number
# below, so a new Debian upload or a new recipe builds afresh.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

# Debian source package names, in the order they depend on each other.
ALL=(zlib libpng1.6 libjpeg-turbo freetype libsdl2 libsdl2-ttf libsquish)
WANT=("$@")
[ ${#WANT[@]} -eq 0 ] && WANT=("${ALL[@]}")

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

need_pkgs=()
for p in emscripten dpkg-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need_pkgs+=("$p")
done
if [ ${#need_pkgs[@]} -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${need_pkgs[@]}"
fi
# Debian's emcc needs node's acorn from Debian's own node modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# Source lines for the very archive and suites the machine installs from, so
# the sources match the binaries the native build uses.
SRC_LIST=/etc/apt/sources.list.d/vantorel-web-src.sources
have_src() { apt-cache showsrc zlib 2>/dev/null | grep -c '^Package: zlib' >/dev/null; }
if ! have_src; then
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ "$f" = "$SRC_LIST" ] && continue
    # deb822 stanzas: copy those of type deb, as deb-src.
    awk 'BEGIN{RS="";ORS="\n\n"} /Types:[^\n]*deb([ \n]|$)/ && /debian/ {
           gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >> "$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    # One-line style: turn each "deb URI SUITE COMPONENTS" into a stanza.
    awk '$1=="deb" && $2 !~ /^\[/ { printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $2, $3;
           for (i=4;i<=NF;i++) printf " %s", $i; printf "\n\n" }' /etc/apt/sources.list >> "$tmp"
  fi
  [ -s "$tmp" ] || { echo "web-deps: no Debian archive found in the apt sources" >&2; exit 1; }
  $SUDO install -m 0644 "$tmp" "$SRC_LIST"
  rm -f "$tmp"
  $SUDO apt-get update
fi

# The version the machine's own binaries come from when it is listed (so the
# web build matches the native one), else the newest listed; the others are
# tried in turn when a mirror lacks the preferred one.
listed_versions() { apt-cache showsrc "$1" | awk '/^Version:/{print $2}' | sort -uVr; }
version_of() {
  local installed
  installed=$(dpkg-query -W -f='${source:Package} ${source:Version}\n' 2>/dev/null | awk -v p="$1" '$1==p{print $2}' | sort -uVr | head -1)
  if [ -n "$installed" ] && listed_versions "$1" | grep -qxF "$installed"; then echo "$installed"; else listed_versions "$1" | head -1; fi
}
fetch_source() {  # fetch_source NAME: into $WORK/NAME, preferred version first
  local name=$1 v
  for v in "${VER[$name]}" $(listed_versions "$name" | grep -vxF "${VER[$name]}"); do
    rm -rf "${WORK:?}/$name"; mkdir -p "$WORK/$name"
    if (cd "$WORK/$name" && apt-get source -q "$name=$v") >>"$WORK/$name.log" 2>&1; then
      [ "$v" = "${VER[$name]}" ] || echo "web-deps: $name: ${VER[$name]} not on the mirror, built $v" | tee -a "$PREFIX/build-times.txt"
      return 0
    fi
  done
  return 1
}

declare -A VER
# Raise RECIPE when a change below alters what gets built.
RECIPE=1
keytext="$(emcc --version 2>/dev/null | head -1)
recipe $RECIPE"
for p in "${ALL[@]}"; do
  VER[$p]=$(version_of "$p")
  keytext+=$'\n'"$p=${VER[$p]}"
done
KEY=$(printf '%s' "$keytext" | sha256sum | cut -c1-16)
CACHE=${VANTOREL_WEB_DEPS:-$HOME/.cache/vantorel-web}
PREFIX=$CACHE/$KEY
WORK=$CACHE/src-$KEY
mkdir -p "$PREFIX/include" "$PREFIX/lib" "$WORK"
printf '%s\n' "$keytext" > "$PREFIX/KEY"

JOBS=${JOBS:-2}
# The emscripten toolchain searches only under its sysroot; add the prefix.
CMAKE_COMMON=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_FIND_ROOT_PATH="$PREFIX"
  -DCMAKE_PREFIX_PATH="$PREFIX" -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF)
ZLIB_ARGS=(-DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a")

cmake_build() {  # cmake_build SRCDIR ARGS...
  local src=$1; shift
  rm -rf "$src/_web"
  emcmake cmake -S "$src" -B "$src/_web" "${CMAKE_COMMON[@]}" "$@" &&
    cmake --build "$src/_web" -j"$JOBS" &&
    cmake --install "$src/_web"
}

build_zlib() {
  (cd "$1" && emconfigure ./configure --static --prefix="$PREFIX" && emmake make -j"$JOBS" libz.a && emmake make install)
}
build_libpng1.6() {
  cmake_build "$1" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
    "${ZLIB_ARGS[@]}"
}
build_libjpeg-turbo() {
  # Its size_t probe reads 9 under emscripten's CMake; wasm32's is 4.
  cmake_build "$1" -DSIZE_T=4 -DHAVE_SIZE_T=TRUE -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
}
build_freetype() {
  cmake_build "$1" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_REQUIRE_ZLIB=ON "${ZLIB_ARGS[@]}"
}
build_libsdl2() {
  cmake_build "$1" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON
}
build_libsdl2-ttf() {
  cmake_build "$1" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF -DSDL2TTF_INSTALL=ON \
    -DSDL2_DIR="$PREFIX/lib/cmake/SDL2" -DFREETYPE_INCLUDE_DIRS="$PREFIX/include/freetype2" \
    -DFREETYPE_LIBRARY="$PREFIX/lib/libfreetype.a" "${ZLIB_ARGS[@]}"
}
build_libsquish() {
  cmake_build "$1" -DBUILD_SQUISH_WITH_OPENMP=OFF -DBUILD_SQUISH_WITH_SSE2=OFF -DBUILD_SQUISH_WITH_ALTIVEC=OFF \
    -DBUILD_SQUISH_EXTRA=OFF
}

status=0
for name in "${WANT[@]}"; do
  stamp="$PREFIX/.built-$name"
  if [ -f "$stamp" ]; then
    echo "web-deps: $name ${VER[$name]} cached"
    continue
  fi
  echo "web-deps: $name ${VER[$name]}: fetching"
  : >"$WORK/$name.log"
  fetch_source "$name" || {
    echo "web-deps: $name: apt-get source failed, see $WORK/$name.log" >&2; status=1; continue; }
  src=$(find "$WORK/$name" -maxdepth 1 -mindepth 1 -type d | head -1)
  echo "web-deps: $name: building in $src"
  start=$(date +%s)
  if "build_$name" "$src" >>"$WORK/$name.log" 2>&1; then
    secs=$(( $(date +%s) - start ))
    echo "$name ${VER[$name]} ${secs}s" >> "$PREFIX/build-times.txt"
    touch "$stamp"
    echo "web-deps: $name built in ${secs}s"
  else
    echo "web-deps: $name failed, see $WORK/$name.log" >&2
    tail -15 "$WORK/$name.log" >&2
    status=1
  fi
done
echo "$PREFIX"
exit $status
