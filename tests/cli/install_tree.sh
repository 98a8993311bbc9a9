#!/usr/bin/env bash
# cmake --install lays out the engine as Linux software: programs, a desktop
# entry and AppStream metainfo that their validators accept, icons at every
# size and as SVG, man pages that render, the engine's catalogues (English
# and Japanese) and the demo game; the engine started without a game finds
# the installed demo.
set -euo pipefail
BUILD="$1"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$WORK/root" cmake --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1 || fail "install: $(cat "$WORK/install.log")"
R="$WORK/root/usr"
# A build without the demo game (-DVANTOREL_GAME=OFF) installs no demo.
demo=""
[ -d "$BUILD/game/GameData/Text" ] && demo=share/games/vantorel/demo/GameData/Text/オープニング/オープニング1E.Dat
for f in bin/vantorel bin/vantorel-script share/applications/org.vantorel.Vantorel.desktop \
  share/metainfo/org.vantorel.Vantorel.metainfo.xml share/icons/hicolor/scalable/apps/org.vantorel.Vantorel.svg \
  share/man/man6/vantorel.6 share/man/man1/vantorel-script.1 share/locale/en/LC_MESSAGES/vantorel.mo \
  share/locale/ja/LC_MESSAGES/vantorel.mo $demo; do
  [ -f "$R/$f" ] || fail "missing $f"
done
for s in 16 32 48 64 128 256; do
  png="$R/share/icons/hicolor/${s}x${s}/apps/org.vantorel.Vantorel.png"
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "icon $s is no PNG"
  [ "$(od -An -tu1 -j 16 -N 8 "$png" | awk '{print $3*256+$4, $7*256+$8}')" = "$s $s" ] || fail "icon $s has the wrong size"
done
desktop-file-validate "$R/share/applications/org.vantorel.Vantorel.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$R/share/metainfo/org.vantorel.Vantorel.metainfo.xml" >"$WORK/as.log" 2>&1 ||
  fail "metainfo: $(cat "$WORK/as.log")"
grep -q "<release version=\"$("$BUILD/vantorel" --version | cut -d' ' -f2)\"" "$R/share/metainfo/org.vantorel.Vantorel.metainfo.xml" ||
  fail "metainfo release is not the version"
# groff (from man-db's dependencies) renders the pages without a warning.
if command -v groff >/dev/null; then
  for m in "$R/share/man/man6/vantorel.6" "$R/share/man/man1/vantorel-script.1"; do
    out=$(groff -man -Tutf8 -ww -z "$m" 2>&1) || fail "$m: $out"
    [ -z "$out" ] || fail "$m: $out"
  done
fi

[ -n "$demo" ] || { echo "install tree: ok (no demo game in this build)"; exit 0; }

# Without --game-dir, in a directory without GameData, the installed demo plays.
mkdir "$WORK/empty" && cd "$WORK/empty"
rc=0
VANTOREL_DEMO_DIR="$R/share/games/vantorel/demo" "$BUILD/vantorel" --headless --frames 30 >/dev/null 2>err.txt || rc=$?
[ "$rc" = 0 ] || fail "demo fallback: status $rc: $(cat err.txt)"
grep -qF "vantorel: no GameData in '$WORK/empty'; starting the demo game installed in '$R/share/games/vantorel/demo'" err.txt ||
  fail "demo fallback line: $(cat err.txt)"
# The installed program finds the demo beside itself, wherever the prefix.
rc=0
env -u VANTOREL_DEMO_DIR "$R/bin/vantorel" --headless --frames 30 >/dev/null 2>err.txt || rc=$?
[ "$rc" = 0 ] && grep -qF "starting the demo game installed in '$R/share/games/vantorel/demo'" err.txt ||
  fail "installed program without VANTOREL_DEMO_DIR: $rc $(cat err.txt)"
# An explicit --game-dir stays the plain error; so does a missing demo.
rc=0
VANTOREL_DEMO_DIR="$R/share/games/vantorel/demo" "$BUILD/vantorel" --headless --frames 30 --game-dir . 2>err.txt || rc=$?
[ "$rc" = 1 ] && grep -q "there is no GameData directory" err.txt || fail "--game-dir without GameData: $rc $(cat err.txt)"
rc=0
VANTOREL_DEMO_DIR="$WORK/none" "$BUILD/vantorel" --headless --frames 30 2>err.txt || rc=$?
[ "$rc" = 1 ] && grep -q "there is no GameData directory" err.txt || fail "no demo installed: $rc $(cat err.txt)"
echo "install tree: ok"
