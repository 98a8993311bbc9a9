#!/usr/bin/env bash
# cpack -G DEB makes a Debian package whose dependencies come from the
# programs' libraries (dpkg-shlibdeps) plus the fonts and the soundfont, and
# which holds the engine, the authors' tool, the desktop files and the demo.
set -euo pipefail
BUILD="$1"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$WORK" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1) ||
  fail "cpack: $(tail -20 "$WORK/cpack.log")"
deb=$(ls "$WORK"/out/vantorel_*_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for d in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libsdl2-ttf-2.0-0 libsdl2-image-2.0-0 libfluidsynth3 libsquish0 \
  fonts-ipafont-gothic timgm6mb-soundfont; do
  grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
contents=$(dpkg-deb -c "$deb")
demo=""  # a build without the demo game packages none
[ -d "$BUILD/game/GameData" ] && demo=./usr/share/games/vantorel/demo/GameData/Music/SE/Kachi04.wav
for f in ./usr/bin/vantorel ./usr/bin/vantorel-script ./usr/share/applications/org.vantorel.Vantorel.desktop $demo; do
  grep -qF " $f" <<<"$contents" || fail "package lacks $f"
done
echo "debian package: ok"
