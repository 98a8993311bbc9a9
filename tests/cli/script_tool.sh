#!/usr/bin/env bash
# vantorel-script round trip: a UTF-8 script with Japanese text is enciphered,
# deciphered and re-encoded byte for byte; build lays files out where the
# game looks; bad input fails with a clear message and a non-zero status.
set -euo pipefail
BUILD_DIR=$1
TOOL="$BUILD_DIR/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Expect a status and a message on stderr.
expect_error() {
  local status=$1 pattern=$2; shift 2
  local rc=0
  "$TOOL" "$@" 2>err.txt >/dev/null || rc=$?
  [ "$rc" = "$status" ] || fail "$* gave status $rc, expected $status"
  grep -q -- "$pattern" err.txt || fail "$* said: $(cat err.txt), expected: $pattern"
}

printf '/* 作者のメモ */\nアリス\n「こんにちは、　世界」\t「ソ表」\r\ngoto オープニング\\オープニング2\n' > scene.txt

"$TOOL" encode scene.txt out/scene.Dat >/dev/null
[ -f out/sceneE.Dat ] || fail "encode did not write out/sceneE.Dat"
[ ! -e out/scene.Dat ] || fail "encode wrote the plain name"
# Enciphered words end in a space before CR LF.
hex() { od -An -tx1 | tr -d ' \n'; }
[ "$(head -c 2 out/sceneE.Dat | hex)" != "2f2a" ] || fail "comment marker not enciphered"
[ "$(tail -c 3 out/sceneE.Dat | hex)" = "200d0a" ] || fail "a word does not end in space CR LF"

printf 'アリス\n「こんにちは、　世界」\n「ソ表」\ngoto\nオープニング\\オープニング2\n' > expected.txt
"$TOOL" decode out/sceneE.Dat > decoded.txt
cmp decoded.txt expected.txt || fail "decode differs: $(cat decoded.txt)"
"$TOOL" decode out/scene.Dat | cmp - expected.txt || fail "decode by the plain name"

# decode -o gives a plain script that encodes to the same words.
"$TOOL" decode -o plain.txt out/sceneE.Dat
"$TOOL" encode plain.txt again/scene.Dat >/dev/null
"$TOOL" decode again/sceneE.Dat | cmp - expected.txt || fail "re-encoded script differs"

# The same script in CP932 gives the identical file.
iconv -f UTF-8 -t CP932 scene.txt > scene-sjis.txt
"$TOOL" encode --cp932 scene-sjis.txt sjis/scene.Dat >/dev/null
cmp sjis/sceneE.Dat out/sceneE.Dat || fail "--cp932 source encodes differently"
"$TOOL" decode --cp932 -o back-sjis.txt out/sceneE.Dat
[ "$(iconv -f CP932 -t UTF-8 back-sjis.txt | tr -d '\r')" = "$(cat expected.txt)" ] || fail "decode --cp932 -o"

# build: every .txt below SRCDIR, same relative path, ".Dat", the "E" marker.
mkdir -p src/オープニング src/notes
cp scene.txt src/オープニング/オープニング1.txt
printf 'end\n' > src/notes/readme.md
# A destination that is not a game is refused unless --create asks for one.
expect_error 1 'game: not a game (it has no GameData directory); give --create' build src game
[ ! -e game ] || fail "a refused build wrote something"
"$TOOL" build --create src game >/dev/null
[ -f game/GameData/Text/オープニング/オープニング1E.Dat ] || fail "build layout: $(find game)"
cmp game/GameData/Text/オープニング/オープニング1E.Dat out/sceneE.Dat || fail "build bytes differ"
[ "$(find game/GameData -type f | wc -l)" = 1 ] || fail "build encoded a non-.txt file"
grep -qx 'source ../src' game/.vantorel-build || fail "build record: $(cat game/.vantorel-build)"
"$TOOL" build src game >/dev/null || fail "a game made by --create is a game"

# Errors.
printf 'ok\n絵文字😀です\n' > emoji.txt
expect_error 1 'emoji.txt:2:4: character U+1F600' encode emoji.txt x.Dat
[ ! -e xE.Dat ] || fail "a failed encode wrote a file"
# Words that encipher to whitespace where they stand are moved by padding
# comment blocks: the file reads back as written. Comments never reach it.
printf 'abcd */\n/* a comment */ -- ---!!\n' > hazard.txt   # '*' at byte 4 meets key nibble 0xA
"$TOOL" encode hazard.txt h.Dat >/dev/null || fail "hazard did not encode"
[ "$("$TOOL" decode hE.Dat | tr '\n' ' ')" = "abcd */ -- ---!! " ] || fail "hazard decodes as: $("$TOOL" decode hE.Dat)"
# A word that no place in a file can carry is refused, at its line.
printf 'ok\n!!!!!!!!!!\n' > impossible.txt
expect_error 1 'impossible.txt:2:1: the word "!!!!!!!!!!" cannot be enciphered at any place in a file' encode impossible.txt i.Dat
expect_error 1 'cannot read' encode missing.txt m.Dat
expect_error 1 'needs a "."' encode scene.txt noext
expect_error 1 'cannot read' decode missing.Dat
expect_error 1 'not a directory' build scene.txt game
expect_error 2 'expected 2 arguments' encode scene.txt
expect_error 2 'unknown option' encode --frobnicate scene.txt x.Dat
expect_error 2 'unknown command' frobnicate
# Read whole: grep -q would leave the tool writing into a closed pipe.
"$TOOL" --help >help.txt || fail "--help: status $?"
for c in new encode decode build check names help lsp package explore; do
  grep -q "^  $c " help.txt || fail "--help lacks $c"
done
# help: the keyword reference, whole or one keyword by either spelling.
"$TOOL" help bg | head -1 | grep -qxF '### `BG` or `bg`' || fail "help bg: $("$TOOL" help bg)"
[ "$("$TOOL" help | grep -c '^### ')" = 29 ] || fail "help lists $("$TOOL" help | grep -c '^### ') keywords"
expect_error 1 'help: "SEPaly" is no keyword; did you mean SEPlay?' help SEPaly
echo "script tool round trip OK"
