#!/usr/bin/env bash
# vantorel-script package: a game made by `new` becomes a Debian package that
# depends on the engine's and installs the command, the game, a desktop entry,
# an icon and AppStream metainfo (both validated), and a tarball that carries
# the engine with its libraries and plays headless from wherever it is
# unpacked, the build tree out of sight. Bad names, versions and icons are
# refused before anything is written.
set -euo pipefail
BUILD_DIR=$1
TOOL="$BUILD_DIR/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg" XDG_DATA_HOME="$WORK/data" SOURCE_DATE_EPOCH=1796860800
fail() { echo "FAIL: $*" >&2; exit 1; }

"$TOOL" new game --title "星の約束" >/dev/null || fail "new"
# A save the author made while playing stays out of the package.
echo "x" > game/GameData/Text/セーブデータ/セーブデータ1.Dat
rc=0
"$TOOL" package game --name hoshi-no-yakusoku --version 1.0 --title "星の約束" --summary "A promise under the stars" \
  -o out >out.txt 2>err.txt || rc=$?
[ "$rc" = 0 ] || fail "package: status $rc: $(cat err.txt)"
deb=out/hoshi-no-yakusoku_1.0_all.deb
tarball=out/hoshi-no-yakusoku-1.0-x86_64.tar.gz
grep -qxF "$deb" out.txt && grep -qxF "$tarball" out.txt || fail "the files made are not named: $(cat out.txt)"
[ -z "$(ls -A out | grep '^\.')" ] || fail "the staging directory was left behind: $(ls -A out)"

# --- the Debian package ---
[ "$(dpkg-deb -f "$deb" Package)" = hoshi-no-yakusoku ] || fail "Package"
[ "$(dpkg-deb -f "$deb" Version)" = 1.0 ] || fail "Version"
[ "$(dpkg-deb -f "$deb" Depends)" = vantorel ] || fail "Depends: $(dpkg-deb -f "$deb" Depends)"
[ "$(dpkg-deb -f "$deb" Architecture)" = all ] || fail "Architecture"
id=org.vantorel.game.hoshi_no_yakusoku
contents=$(dpkg-deb -c "$deb")
for f in ./usr/games/hoshi-no-yakusoku ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
  ./usr/share/icons/hicolor/256x256/apps/$id.png \
  ./usr/share/games/hoshi-no-yakusoku/GameData/Text/オープニング/オープニング1E.Dat \
  ./usr/share/games/hoshi-no-yakusoku/GameData/Music/SE/Kachi04.wav ./usr/share/games/hoshi-no-yakusoku/GameData/Text/セーブデータ/; do
  grep -qF " $f" <<<"$contents" || fail "the package lacks $f"
done
grep -qF "セーブデータ1.Dat" <<<"$contents" && fail "a save was packaged"
grep -q "^-rwxr-xr-x root/root .* ./usr/games/hoshi-no-yakusoku$" <<<"$contents" || fail "launcher mode or owner: $(grep usr/games <<<"$contents")"
mkdir root && dpkg-deb -x "$deb" root
desktop-file-validate root/usr/share/applications/$id.desktop || fail "desktop entry"
grep -qxF "Name=星の約束" root/usr/share/applications/$id.desktop || fail "the desktop entry's name"
appstreamcli validate --no-net --pedantic root/usr/share/metainfo/$id.metainfo.xml >as.txt 2>&1 ||
  appstreamcli validate --no-net root/usr/share/metainfo/$id.metainfo.xml >as.txt 2>&1 || fail "metainfo: $(cat as.txt)"
grep -qF 'date="2026-12-10"' root/usr/share/metainfo/$id.metainfo.xml || fail "SOURCE_DATE_EPOCH not used for the release date"
grep -qxF 'exec vantorel --game-dir /usr/share/games/hoshi-no-yakusoku "$@"' root/usr/games/hoshi-no-yakusoku || fail "launcher"
# The launcher, pointed at the engine of this build, plays the installed game.
PATH="$BUILD_DIR:$PATH" sh -c "sed 's|/usr/share/games|$WORK/root/usr/share/games|' root/usr/games/hoshi-no-yakusoku > run.sh"
PATH="$BUILD_DIR:$PATH" sh run.sh --headless --frames 200 --trace deb.jsonl >/dev/null 2>&1 || fail "the installed game does not start"
grep -qF '"type":"open","name":"オープニング\\オープニング1.Dat","result":0' deb.jsonl || fail "the installed game did not open its title"

# --- the tarball, unpacked elsewhere and run with the build out of PATH ---
mkdir -p far/away && tar -C far/away -xzf "$tarball"
T=far/away/hoshi-no-yakusoku-1.0
[ -x "$T/hoshi-no-yakusoku" ] && [ -x "$T/lib/vantorel" ] || fail "the tarball lacks its launcher or engine"
ls "$T"/lib | grep -q '^libSDL2-2.0.so' || fail "the engine's libraries are not carried: $(ls "$T"/lib)"
ls "$T"/lib | grep -qE '^libc\.so|^ld-linux' && fail "the C library was carried"
desktop-file-validate "$T/share/applications/$id.desktop" || fail "tarball desktop entry"
input="$WORK/tap.in"
printf '300 tap decide\n' > "$input"
# The sanitizer run's options go through (its leak suppressions).
env -i HOME="$WORK" PATH=/usr/bin:/bin XDG_CONFIG_HOME="$WORK/cfg" \
  ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} \
  ${UBSAN_OPTIONS:+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
  "$T/hoshi-no-yakusoku" --headless --frames 500 --input "$input" --trace "$WORK/tar.jsonl" >/dev/null 2>tar.err ||
  fail "the unpacked game does not run: $(cat tar.err)"
grep -q '"script":"本編\\\\はじまり.Dat"' tar.jsonl || fail "the unpacked game did not start its story"
grep -q '"type":"report"' tar.jsonl && fail "a failure was reported: $(grep -m1 report tar.jsonl)"
ls "$T/share/game/GameData/Text/セーブデータ" >/dev/null || fail "no save folder in the tarball"

# --- refusals ---
expect() {
  local want=$1 msg=$2
  shift 2
  rc=0
  "$TOOL" package "$@" -o bad >/dev/null 2>err.txt || rc=$?
  [ "$rc" = "$want" ] || fail "package $*: status $rc, wanted $want"
  grep -qF -- "$msg" err.txt || fail "package $*: $(cat err.txt)"
  [ ! -e bad ] || [ -z "$(ls -A bad)" ] || fail "package $*: files were written: $(ls -A bad)"
}
expect 2 'the name "Hoshi" does not start with a lower-case letter' game --name Hoshi --version 1
expect 2 'the version "v1" does not start with a digit' game --name hoshi --version v1
expect 2 "--format is deb or tar" game --name hoshi --version 1 --format rpm
expect 2 "--name and --version are needed" game --version 1
mkdir -p nogame/GameData
expect 1 "not a game that can start" nogame --name hoshi --version 1
expect 1 "it must be square" game --name hoshi --version 1 --icon game/GameData/Texture/BG/Park.png
echo "not a picture" > bad.png
expect 1 "not a PNG picture" game --name hoshi --version 1 --icon bad.png
echo "script package: ok"
