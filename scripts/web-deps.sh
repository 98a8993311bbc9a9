#!/usr/bin/env bash
# Builds the libraries the engine links for WebAssembly from Debian's own
# source packages with Debian's emscripten. Emscripten's ports would be
# fetched from the network at first use and Debian's copy of its cache is
# frozen, so each library is built here instead, as a static archive.
#
# Usage: scripts/web-deps.sh [NAME...]   (default: all, in dependency order)
#        scripts/web-deps.sh --pack FILE  (the built prefix as one archive)
# Prints the prefix (include/, lib/) on its last line of output.
# The prefix lives in $VANTOREL_WEB_DEPS (default ~/.cache/vantorel-web) under
# a key made of the emcc version, the source versions and the recipe number
# below, so a new Debian upload or a new recipe builds afresh.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

# Debian source package names, in the order they depend on each other.
ALL=(zlib libpng1.6 libjpeg-turbo freetype harfbuzz libsdl2 libsdl2-ttf libsdl2-image libsdl2-mixer libsquish libebur128 libsoxr)
PACK=""
if [ "${1:-}" = --pack ]; then
  [ $# -eq 2 ] || { echo "usage: scripts/web-deps.sh --pack FILE" >&2; exit 2; }
  PACK=$(realpath -m "$2"); shift 2
fi
WANT=("$@")
[ ${#WANT[@]} -eq 0 ] && WANT=("${ALL[@]}")

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

need_pkgs=()
for p in emscripten dpkg-dev python3-fonttools; do  # fonttools: the page's font subset (web.sh)
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need_pkgs+=("$p")
done
if [ ${#need_pkgs[@]} -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${need_pkgs[@]}"
fi
# Debian's emcc needs node's acorn from Debian's own node modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Debian's emcc is a Python program for Debian's Python (another one first on
# PATH, as a pyenv shim, may lack nothing but start ten times slower: every
# compile starts it).
[ -x /usr/bin/python3 ] && export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}

# Raise RECIPE when a change below alters what every library gets (a change
# to one recipe raises that library's number in RECIPES instead).
RECIPE=1
declare -A RECIPES=([libsdl2]=3 [libsdl2-ttf]=3 [libsquish]=2 [libsoxr]=2)
# (sed reads to the end: head would close the pipe early, and under
# pipefail emcc's broken pipe then fails the script now and then)
keytext="$(emcc --version 2>/dev/null | sed -n 1p)
recipe $RECIPE"
# The prefix is keyed by the compiler; each library's stamp holds its own
# version and recipe, so a new upload of one library rebuilds only that one.
KEY=$(printf '%s' "$keytext" | sha256sum | cut -c1-16)
CACHE=${VANTOREL_WEB_DEPS:-$HOME/.cache/vantorel-web}
PREFIX=$CACHE/$KEY

# A fresh cache starts from the packed prefix kept in the repository for this
# compiler (web/deps/KEY.tar.xz, or $VANTOREL_WEB_DEPS_SEED): twenty minutes
# of library builds become a second's unpacking. A library whose Debian
# version has moved on since is still rebuilt, unless
# VANTOREL_WEB_DEPS_AS_PACKED=1 takes the packed builds as they are (CI,
# where time is short; the versions they come from are printed).
SEED=${VANTOREL_WEB_DEPS_SEED:-$ROOT/web/deps/$KEY.tar.xz}
if [ ! -f "$PREFIX/KEY" ] && [ -f "$SEED" ]; then
  mkdir -p "$CACHE"
  tar -C "$CACHE" -xJf "$SEED"
  echo "web-deps: cache seeded from $SEED"
fi
mkdir -p "$PREFIX/include" "$PREFIX/lib"
printf '%s\n' "$keytext" > "$PREFIX/KEY"

# FluidSynth is not built for the browser (it needs GLib): the page brings
# FluidSynth's own WebAssembly build (scripts/web.sh) and the engine calls it
# through platform/web/FluidWeb.cpp, declared as on Linux, from the machine's
# own headers.
copy_late_headers() {
  if [ -f /usr/include/fluidsynth.h ]; then
    # (times kept: a copy made anew would rebuild everything that includes them)
    cp -rp /usr/include/fluidsynth.h /usr/include/fluidsynth "$PREFIX/include/"
  else
    echo "web-deps: the FluidSynth headers are missing (scripts/deps.sh installs them)" >&2
    return 1
  fi
}
if [ "${VANTOREL_WEB_DEPS_AS_PACKED:-}" = 1 ]; then
  all_built=1
  for name in "${WANT[@]}"; do
    if [ -f "$PREFIX/.built-$name" ]; then echo "web-deps: as packed: $(cat "$PREFIX/.built-$name")"; else all_built=0; fi
  done
  if [ $all_built = 1 ]; then
    copy_late_headers
    echo "$PREFIX"
    exit 0
  fi
fi

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
      BUILT_VERSION=$v
      [ "$v" = "${VER[$name]}" ] || echo "web-deps: $name: ${VER[$name]} not on the mirror, built $v" | tee -a "$PREFIX/build-times.txt"
      return 0
    fi
  done
  # The mirror may lack Debian's packaging (debian.tar.xz) while apt has
  # fetched and checked the upstream tarball: build that, without Debian's
  # patches, and say so.
  rm -rf "${WORK:?}/$name"; mkdir -p "$WORK/$name"
  if (cd "$WORK/$name" && apt-get source -q --download-only "$name=${VER[$name]}") >>"$WORK/$name.log" 2>&1 ||
     ls "$WORK/$name"/*.orig.tar.* >/dev/null 2>&1; then
    local orig
    orig=$(ls "$WORK/$name"/*.orig.tar.* 2>/dev/null | head -1)
    if [ -n "$orig" ] && tar -xf "$orig" -C "$WORK/$name"; then
      BUILT_VERSION="${VER[$name]} (upstream tarball only)"
      echo "web-deps: $name: the mirror lacks Debian's packaging of ${VER[$name]}; built its upstream tarball unpatched" |
        tee -a "$PREFIX/build-times.txt"
      return 0
    fi
  fi
  return 1
}

declare -A VER
for p in "${ALL[@]}"; do
  VER[$p]=$(version_of "$p")
done
stamp_text() { echo "$1 ${VER[$1]} recipe ${RECIPES[$1]:-1}"; }
# --pack FILE: the built prefix as one archive (what the libraries need to
# link against; no programs, manuals or sources), to seed another machine;
# only when every library is built as this script would build it now.
if [ "$PACK" != "" ]; then
  for name in "${ALL[@]}"; do
    [ "$(cat "$PREFIX/.built-$name" 2>/dev/null)" = "$(stamp_text "$name")" ] ||
      { echo "web-deps: $name is not built as the recipe says ($(stamp_text "$name")); build it first" >&2; exit 1; }
  done
  tar -C "$CACHE" -cJf "$PACK.tmp" --exclude="$KEY/bin" --exclude="$KEY/share" "$KEY"
  mv "$PACK.tmp" "$PACK"
  echo "web-deps: packed $PREFIX into $PACK ($(du -h "$PACK" | cut -f1))"
  exit 0
fi
WORK=$CACHE/src-$KEY
mkdir -p "$WORK"

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
# emcc_objects OUTDIR FLAGS... -- SOURCES...: compiles each source to its own
# object, $JOBS at a time (one emcc run per file, as emscripten's own ports do).
emcc_objects() {
  local out=$1; shift
  local flags=()
  while [ "$1" != "--" ]; do flags+=("$1"); shift; done
  shift
  mkdir -p "$out"
  printf '%s\n' "$@" | xargs -P"$JOBS" -I{} sh -c \
    'out=$1 src=$2; shift 2; emcc -c "$src" -o "$out/$(echo "$src" | tr / _).o" "$@" || { echo "failed: $src"; exit 255; }' \
    sh "$out" {} "${flags[@]}"
}
build_libsdl2() {
  # SDL's configure and CMake probe thousands of things, each an emcc run
  # (over 30 minutes here without finishing); SDL ships a configuration
  # header for emscripten, so its sources are compiled directly: the common
  # ones and the emscripten, dummy and generic back ends (no threads).
  local s=$1/src out=$1/_web
  rm -rf "$out"
  # The canvas gets only the rectangles that changed, made opaque in C, and
  # no timer pause after each update.
  patch -p1 -N -d "$1" < "$ROOT/scripts/web-patches/libsdl2-framebuffer-changed-rects.patch" || return 1
  local srcs=("$s"/*.c)
  local d
  for d in atomic audio cpuinfo dynapi events file haptic joystick locale misc power render sensor stdlib thread timer video \
           audio/emscripten audio/disk audio/dummy video/emscripten video/dummy video/yuv2rgb render/software render/opengles2 \
           joystick/emscripten joystick/virtual haptic/dummy sensor/dummy loadso/dlopen power/emscripten filesystem/emscripten \
           locale/emscripten misc/emscripten timer/unix thread/generic; do
    srcs+=("$s/$d"/*.c)
  done
  emcc_objects "$out" -O2 -w -I"$1/include" -- "${srcs[@]}" &&
    emar rcs "$out/libSDL2.a" "$out"/*.o &&
    mkdir -p "$PREFIX/include/SDL2" &&
    cp "$1"/include/*.h "$PREFIX/include/SDL2/" &&
    cp "$out/libSDL2.a" "$PREFIX/lib/"
}
build_harfbuzz() {
  # The one-file build of its sources, with FreeType, without threads.
  local out=$1/_web
  rm -rf "$out"
  emcc_objects "$out" -O2 -w -std=c++11 -fno-exceptions -fno-rtti -DHAVE_FREETYPE=1 -DHB_NO_MT \
      -I"$PREFIX/include/freetype2" -I"$PREFIX/include" -- "$1/src/harfbuzz.cc" &&
    emar rcs "$out/libharfbuzz.a" "$out"/*.o &&
    mkdir -p "$PREFIX/include/harfbuzz" &&
    cp "$1"/src/hb.h "$1"/src/hb-*.h "$PREFIX/include/harfbuzz/" &&
    cp "$out/libharfbuzz.a" "$PREFIX/lib/"
}
build_libsdl2-ttf() {
  # One C file, with HarfBuzz as Debian builds it: runs of text are shaped
  # (their advances and kerning), and the page must draw them as Linux does.
  local out=$1/_web
  rm -rf "$out"
  emcc_objects "$out" -O2 -w -DTTF_USE_HARFBUZZ=1 -I"$PREFIX/include/SDL2" -I"$PREFIX/include/freetype2" \
      -I"$PREFIX/include/harfbuzz" -I"$PREFIX/include" -- "$1/SDL_ttf.c" &&
    emar rcs "$out/libSDL2_ttf.a" "$out"/*.o &&
    cp "$1/SDL_ttf.h" "$PREFIX/include/SDL2/" &&
    cp "$out/libSDL2_ttf.a" "$PREFIX/lib/"
}
build_libsdl2-image() {
  # JPEG and BMP reading and PNG and JPEG writing, the parts the engine asks
  # of it (the other formats' files compile to stubs without their LOAD_).
  local out=$1/_web
  rm -rf "$out"
  emcc_objects "$out" -O2 -w -DLOAD_JPG -DLOAD_PNG -DLOAD_BMP -DSAVE_PNG -DSAVE_JPG -I"$PREFIX/include/SDL2" -I"$PREFIX/include" \
      -- "$1"/IMG*.c &&
    emar rcs "$out/libSDL2_image.a" "$out"/*.o &&
    cp "$1/SDL_image.h" "$PREFIX/include/SDL2/" &&
    cp "$out/libSDL2_image.a" "$PREFIX/lib/"
}
build_libsdl2-mixer() {
  # The mixer itself (channels, effects, the music hook, WAV, AIFF and VOC
  # reading): the engine gives it the music and decodes nothing else
  # through it, so no codec is built.
  local out=$1/_web
  rm -rf "$out"
  emcc_objects "$out" -O2 -w -I"$PREFIX/include/SDL2" -I"$1/include" -I"$1/src" -I"$1/src/codecs" \
      -- "$1"/src/*.c "$1/src/codecs/load_aiff.c" "$1/src/codecs/load_voc.c" "$1/src/codecs/mp3utils.c" &&
    emar rcs "$out/libSDL2_mixer.a" "$out"/*.o &&
    cp -p "$1/include/SDL_mixer.h" "$PREFIX/include/SDL2/" &&
    cp "$out/libSDL2_mixer.a" "$PREFIX/lib/"
}
build_libsquish() {
  # Plain C++ without SIMD or OpenMP; its CMake would probe the compiler only.
  local out=$1/_web
  rm -rf "$out"
  emcc_objects "$out" -O2 -w -DSQUISH_USE_SSE=0 -DSQUISH_USE_ALTIVEC=0 -- \
      "$1"/alpha.cpp "$1"/clusterfit.cpp "$1"/colourblock.cpp "$1"/colourfit.cpp "$1"/colourset.cpp "$1"/maths.cpp \
      "$1"/rangefit.cpp "$1"/singlecolourfit.cpp "$1"/squish.cpp &&
    emar rcs "$out/libsquish.a" "$out"/*.o &&
    cp "$1/squish.h" "$PREFIX/include/" &&
    cp "$out/libsquish.a" "$PREFIX/lib/"
}
build_libebur128() {
  local out=$1/_web
  rm -rf "$out"
  emcc_objects "$out" -O2 -w -I"$1/ebur128/queue" -- "$1/ebur128/ebur128.c" &&
    emar rcs "$out/libebur128.a" "$out"/*.o &&
    cp "$1/ebur128/ebur128.h" "$PREFIX/include/" &&
    cp "$out/libebur128.a" "$PREFIX/lib/"
}
build_libsoxr() {
  # Its FFT's table of functions cast to one type traps in WebAssembly
  # unless each has the exact type of its call.
  patch -p1 -N -d "$1" < "$ROOT/scripts/web-patches/libsoxr-exact-signatures.patch" &&
  cmake_build "$1" -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DWITH_OPENMP=OFF -DWITH_LSR_BINDINGS=OFF -DWITH_AVFFT=OFF \
    -DWITH_CR32S=OFF -DWITH_CR64S=OFF -DWITH_PFFFT=ON
}

status=0
for name in "${WANT[@]}"; do
  stamp="$PREFIX/.built-$name"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(stamp_text "$name")" ]; then
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
    echo "$name $BUILT_VERSION ${secs}s" >> "$PREFIX/build-times.txt"
    stamp_text "$name" > "$stamp"
    echo "web-deps: $name built in ${secs}s"
  else
    echo "web-deps: $name failed, see $WORK/$name.log" >&2
    tail -15 "$WORK/$name.log" >&2
    status=1
  fi
done
copy_late_headers || status=1
echo "$PREFIX"
exit $status
