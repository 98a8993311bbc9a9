#!/usr/bin/env bash
# vantorel-script names: a game tree unpacked with raw CP932 names or with
# CP932 read as code page 437 (plain unzip) gets proper UTF-8 names; UTF-8
# names (Japanese or not) stay; --dry-run changes nothing.
set -euo pipefail
TOOL="$1/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
fail() { echo "FAIL: $*" >&2; [ -f out.txt ] && cat out.txt err.txt >&2; exit 1; }
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
as437() { cp932 "$1" | iconv -f CP437 -t UTF-8; }

mkdir -p "g/GameData/Text/$(cp932 本編)" "g/GameData/Text/$(as437 オープニング)"
echo a > "g/GameData/Text/$(cp932 本編)/$(cp932 学校E.Dat)"
echo b > "g/GameData/Text/$(as437 オープニング)/$(as437 オープニング1E.Dat)"
echo c > "g/GameData/Text/既にUTF-8.Dat"
echo d > "g/GameData/Text/Café.txt"
echo e > "g/GameData/Text/Cafés.txt"   # reads as CP932 "CafＴ" but has no kana or kanji

"$TOOL" names --dry-run g >out.txt 2>err.txt || fail "dry run status"
grep -q "^would rename .*(CP932 bytes)$" out.txt || fail "dry run lists raw names"
grep -q "^would rename .* -> g/GameData/Text/オープニング (read as CP437)$" out.txt || fail "dry run lists mojibake"
grep -qx "4 names to rename" out.txt || fail "dry run count"
[ -d "g/GameData/Text/$(cp932 本編)" ] || fail "dry run renamed"

"$TOOL" names g >out.txt 2>err.txt || fail "rename status"
grep -qx "4 names renamed" out.txt || fail "count"
for f in 本編/学校E.Dat オープニング/オープニング1E.Dat 既にUTF-8.Dat Café.txt Cafés.txt; do
  [ -f "g/GameData/Text/$f" ] || fail "missing $f"
done
[ "$(cat g/GameData/Text/本編/学校E.Dat)" = a ] || fail "contents moved"
[ "$(ls g/GameData/Text | wc -l)" = 5 ] || fail "left-over entries: $(ls g/GameData/Text)"

# Run again: nothing to do.
"$TOOL" names g >out.txt 2>err.txt || fail "second run"
grep -qx "0 names renamed" out.txt || fail "second run count"

# A proper name already there is not overwritten.
mkdir -p h/本編 "h/$(cp932 本編)"
"$TOOL" names h >out.txt 2>err.txt && fail "a clash passed"
grep -q "h/本編 already exists" err.txt || fail "clash message"
# Usage.
rc=0; "$TOOL" names >/dev/null 2>&1 || rc=$?; [ "$rc" = 2 ] || fail "usage status $rc"
echo "script names: ok"
