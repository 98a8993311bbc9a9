#!/usr/bin/env bash
# vantorel-script check: a small complete game passes without a word; a
# broken one fails with each problem at its source line (or its word number
# without sources), and the exit status tells errors from a clean game.
set -euo pipefail
BUILD_DIR=$1
TOOL="$BUILD_DIR/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs the checker; keeps stdout in out.txt, stderr in err.txt, status in rc.
check() {
  rc=0
  "$TOOL" check "$@" >out.txt 2>err.txt || rc=$?
}
# The output has this exact line.
has() { grep -qxF -- "$1" out.txt || fail "missing line: $1
--- got:
$(cat out.txt)"; }

# The engine's own files every game needs.
skeleton() {
  mkdir -p "$1"/GameData/Texture/MsgBox "$1"/GameData/Music/SE "$1"/GameData/Music/MIDI "$1"/GameData/Text
  touch "$1"/GameData/Texture/MsgBox/{MsgBox.dds,CharaPicFrame.dds,Cursor.tga}
  touch "$1"/GameData/Music/SE/{Kachi04.wav,Push11.wav}
}

# --- a good game: every command, both menus, the save screen ---
mkdir -p good/src/オープニング good/src/本編
skeleton good/game
mkdir -p good/game/GameData/Texture/{BG,Chara,Btn} good/game/GameData/Text/セーブデータ
touch good/game/GameData/Texture/BG/Park.png good/game/GameData/Texture/Chara/Hina.tga \
  good/game/GameData/Texture/Btn/{Yes,No}.tga good/game/GameData/Music/SE/Bell.wav good/game/GameData/Music/MIDI/朝.mid
cat > good/src/オープニング/オープニング1.txt <<'EOF'
/* 始まり */
Texture Nothing Nothing
Texture 背景 BG\Park.png
Texture ヒナ Chara\Hina.tga
Texture はいボタン Btn\Yes.tga
Texture いいえボタン Btn\No.tga
SELoad Bell.wav 鈴
string $戻る = オープニング\オープニング1
string $セーブデータ1 = セーブデータ\セーブデータ1
string $セーブデータ2 = セーブデータ\セーブデータ2
string $セーブデータ3 = セーブデータ\セーブデータ3
string $次
$次 = 本編\公園
MIDILoad 朝 1
MIDIPlay 朝
BG 背景
FadeIn Images
FadeIn Volume
SEPlay 鈴
ヒナ： こんにちは。
. ナレーション： どうする？
ButtonMenu { フォーマット 2 1 メニューアイテム { はい 1 $次 いいえ 2 本編\終わり } }
EOF
cat > good/src/本編/公園.txt <<'EOF'
NextScriptFile 本編\終わり.Dat
Right ヒナ
TexLoad ヒナ
ヒナ・笑顔： 公園に着いた。
Save 本編\終わり セーブデータ\セーブデータ1
Clear All
FontMenu { フォーマット 1 2 メニューアイテム { 続ける 1 本編\終わり セーブ 2 本編\セーブ画面 } }
EOF
cat > good/src/本編/セーブ画面.txt <<'EOF'
SaveMenu 本編\終わり どこに保存しますか？
EOF
cat > good/src/本編/終わり.txt <<'EOF'
TexUnload ヒナ
FadeOut All
FadeOut Volume
おしまい。
Load セーブデータ\セーブデータ1
EOF
"$TOOL" build good/src good/game >/dev/null
check --source good/src good/game
[ "$rc" = 0 ] || fail "good game: status $rc: $(cat out.txt err.txt)"
has "4 scripts checked: 0 errors, 0 warnings"

# --- a broken game ---
mkdir -p bad/src/オープニング bad/src/本編
skeleton bad/game
rm bad/game/GameData/Texture/MsgBox/Cursor.tga
cat > bad/src/オープニング/オープニング1.txt <<'EOF'
BG 空
Texture 空 BG\Sky.png
Left 幽霊
TexLoad 幽霊
SELoad Missing.wav 音
SEPlay 無音
MIDIPlay 無い曲
$未宣言 = 1
$後で = 2
string $後で
Texture 空 BG\Other.png
}
ButtonMenu Right { フォーマット 1 1 メニューアイテム { 行く 1 無い場所 戻る 1 $謎 } }
EOF
cat > bad/src/本編/壊れ.txt <<'EOF'
string $先 = 本編\無い3
goto $先
ナレーション： 届かない。
EOF
cat > bad/src/本編/ブロック.txt <<'EOF'
NextScriptFile 本編\壊れ.Dat
FontMenu { フォーマット 1 1 メニューアイテム { 一 1 本編\壊れ }
EOF
cat > bad/src/本編/末尾.txt <<'EOF'
goto 本編\平文
EOF
cat > bad/src/本編/引数.txt <<'EOF'
NextScriptFile 本編\無い2.Dat
$x =
EOF
cat > bad/src/本編/話者.txt <<'EOF'
NextScriptFile 本編\話者.Dat
Save 本編\話者 無いフォルダ\セーブ
Load 誰も書かない
LoadMenu
EOF
cat > bad/src/本編/最後.txt <<'EOF'
NextScriptFile 本編\最後.Dat
ヒナ：
EOF
"$TOOL" build bad/src bad/game >/dev/null
printf 'x\r\n' > bad/game/GameData/Text/本編/平文.Dat  # the plain form only
check --source bad/src bad/game
[ "$rc" = 1 ] || fail "bad game: status $rc"
O=bad/src/オープニング/オープニング1.txt
has "bad/game: error: the message window's picture GameData\\Texture\\MsgBox\\Cursor.tga is missing"
has "$O:1:4: warning: texture alias \"空\" is defined only later in this script: here the picture stays as it was"
has "$O:2:11: error: picture file \"GameData\\Texture\\BG\\Sky.png\" is missing"
has "$O:3:6: error: texture alias \"幽霊\" is not defined by any Texture command: the picture stays as it was"
has "$O:4:9: error: texture alias \"幽霊\" is not defined by any Texture command: the step fails"
has "$O:5:8: error: sound-effect file \"GameData\\Music\\SE\\Missing.wav\" is missing"
has "$O:6:8: error: sound alias \"無音\" is not defined by any SELoad command: nothing sounds"
has "$O:7:10: error: MIDI file \"GameData\\Music\\MIDI\\無い曲.mid\" is missing"
has "$O:8:1: error: variable \"\$未宣言\" is not defined by any string command: the assignment fails"
has "$O:9:1: warning: variable \"\$後で\" is defined only later in this script: here the assignment fails"
has "$O:11:9: warning: texture alias \"空\" is defined again with \"BG\\Other.png\": the first definition, \"BG\\Sky.png\", stands"
has "$O:12:1: warning: a lone \"}\" is shown as text: is a menu block out of balance?"
has "$O:13:12: error: unknown menu frame \"Right\": ButtonMenu knows \"InsideSerifuFrame\" and \"Left\"; the menu does not open"
has "$O:13:42: error: button picture alias \"行くボタン\" is not defined by any Texture command: the menu cannot be drawn"
has "$O:13:47: error: script \"無い場所.Dat\" is missing (\"GameData\\Text\\無い場所E.Dat\")"
has "$O:13:52: warning: item \"戻る\" repeats id 1: only the first item with it is shown"
has "$O:13:57: error: target variable \"\$謎\" is not declared by any string command: the jump fails"
# A jump through a variable checks the value the script gave it.
has "bad/src/本編/壊れ.txt:2:6: error: script \"本編\\無い3.Dat\" is missing (\"GameData\\Text\\本編\\無い3E.Dat\")"
has "bad/src/本編/壊れ.txt:3:1: warning: never reached: the script does not go on after \"goto\" (word 5)"
has "bad/src/本編/ブロック.txt:2:1: error: FontMenu block is not closed: the script ends inside it (a \"}\" is missing, or an item has too few words)"
has "bad/src/本編/末尾.txt:1:6: error: script \"本編\\平文.Dat\" exists only in the plain form; the game reads \"GameData\\Text\\本編\\平文E.Dat\" (encode it)"
has "bad/src/本編/引数.txt:1:16: error: script \"本編\\無い2.Dat\" is missing (\"GameData\\Text\\本編\\無い2E.Dat\")"
has "bad/src/本編/引数.txt:2:1: error: \"\$x\" needs 2 argument words, but the script ends after 1: the script stops here"
has "bad/src/本編/話者.txt:2:12: error: save \"無いフォルダ\\セーブ\" cannot be written: the folder \"GameData\\Text\\無いフォルダ\" is missing"
has "bad/src/本編/話者.txt:3:6: warning: no Save of the game writes \"誰も書かない\" and no such save file exists: loading it fails"
has "bad/src/本編/話者.txt:4:1: error: LoadMenu: the back item's target \"\$戻る\" is not declared: choosing it fails"
has "bad/src/本編/話者.txt:4:1: warning: LoadMenu: \"\$セーブデータ1\" is not set to \"セーブデータ\\セーブデータ1\": saves in slot 1 do not land where the screen looks"
has "bad/src/本編/最後.txt:2:1: error: speaker word \"ヒナ：\" is the script's last word: it has no text"
# Scripts nothing leads to are pointed out.
has "bad/src/本編/末尾.txt:1:1: warning: no script, menu or save of the game starts this script"
tail -n 1 out.txt | grep -qE '^7 scripts checked: [0-9]+ errors, [0-9]+ warnings$' || fail "summary: $(tail -n 1 out.txt)"

# Without sources, places are word numbers in the game's script.
check bad/game
[ "$rc" = 1 ] || fail "bad game without sources: status $rc"
has "オープニング\\オープニング1.Dat: word 7 \"幽霊\": error: texture alias \"幽霊\" is not defined by any Texture command: the picture stays as it was"

# With --source the sources are checked, edited or not; without it, a
# source changed since the build is named (the game checked is the old one).
echo "BG 別" > bad/src/本編/末尾.txt
check --source bad/src bad/game
has "bad/src/本編/末尾.txt:1:4: error: texture alias \"別\" is not defined by any Texture command: the picture stays as it was"
grep -qF "exists only in the plain form" out.txt && fail "the edited-away goto is still checked: $(cat out.txt)"
check bad/game
has "bad/src/本編/末尾.txt: warning: changed since the game was built: what is checked here is the last build, not this edit (run build, or check --source to check the sources)"
has "本編\\末尾.Dat: word 2 \"本編\\平文\": error: script \"本編\\平文.Dat\" exists only in the plain form; the game reads \"GameData\\Text\\本編\\平文E.Dat\" (encode it)"
echo "本編\\新しい話。" > bad/src/本編/新.txt
check bad/game
has "bad/src/本編/新.txt: warning: this script has not been built into the game: the game does not have it yet (run build, or check --source to check the sources)"
# A script only the sources have counts as there for a goto.
printf 'goto 本編\\新\n' > bad/src/本編/末尾.txt
check --source bad/src bad/game
grep -qF "新.Dat\" is missing" out.txt && fail "a script only the sources have is missing: $(cat out.txt)"
check --source "$WORK/nothing" bad/game
[ "$rc" = 1 ] || fail "missing source directory: status $rc"
grep -qF "nothing: no such directory" err.txt || fail "missing source directory: $(cat err.txt)"

# A game without its opening script cannot start; saves are no scripts.
skeleton empty
mkdir -p empty/GameData/Text/セーブデータ
printf 'セーブ日時\n102\n0\n9\n6\n21\n4\n9\n現在のスクリプトファイル名\nx\n変数情報\n' > save.txt
"$TOOL" encode save.txt empty/GameData/Text/セーブデータ/セーブデータ1.Dat >/dev/null
check empty
[ "$rc" = 1 ] || fail "empty game: status $rc"
has "empty: error: the opening script \"オープニング\\オープニング1.Dat\" is missing: the game cannot start"
has "0 scripts checked: 1 error, 0 warnings"

# Characters the window's fonts cannot draw are named, in text and in JSON.
mkdir -p glyph/src/オープニング
skeleton glyph/game
pua=$(printf '\xee\x80\x80')  # U+E000, CP932's first user-defined character
cat > glyph/src/オープニング/オープニング1.txt <<EOF
合計は∑です。
FontMenu { フォーマット 1 2 メニューアイテム { 続ける 1 オープニング\\オープニング1 私用${pua} 2 オープニング\\オープニング1 } }
EOF
"$TOOL" build glyph/src glyph/game >/dev/null
check --source glyph/src glyph/game
[ "$rc" = 1 ] || fail "missing glyphs: status $rc"
grep -qF "glyph/src/オープニング/オープニング1.txt:1:1: error: message \"合計は∑です。\" has characters that the message font" out.txt ||
  fail "message glyph: $(cat out.txt)"
grep -qF "cannot draw (they show as empty boxes): ∑ (U+2211)" out.txt || fail "message glyph named: $(cat out.txt)"
grep -qE "^glyph/src/オープニング/オープニング1.txt:2:[0-9]+: error: menu item .*text menu font.*: U\+E000$" out.txt ||
  fail "menu glyph: $(cat out.txt)"
check --format json --source glyph/src glyph/game
[ "$rc" = 1 ] || fail "json: status $rc"
python3 - out.txt <<'PY' || fail "json output: $(cat out.txt)"
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
assert doc["errors"] == 2 and doc["warnings"] == 0 and doc["scripts"] == 1, doc
by_line = {f["line"]: f for f in doc["findings"]}
m = by_line[1]
assert m["severity"] == "error" and m["script"] == "オープニング\\オープニング1.Dat", m
assert m["source"] == "glyph/src/オープニング/オープニング1.txt" and m["column"] == 1 and m["word"] == 1, m
assert "∑ (U+2211)" in m["message"], m
assert "U+E000" in by_line[2]["message"], by_line[2]
PY
# Without sources a finding has its word and no line.
check --format json glyph/game
python3 -c 'import json,sys; f=json.load(open(sys.argv[1]))["findings"][0]; assert "line" not in f and f["word"] == 1, f' out.txt ||
  fail "json without sources: $(cat out.txt)"

# Usage.
check
[ "$rc" = 2 ] || fail "no game directory: status $rc"
check --source
[ "$rc" = 2 ] || fail "--source without a directory: status $rc"
check --format yaml good/game
[ "$rc" = 2 ] || fail "unknown format: status $rc"
check "$WORK/none"
[ "$rc" = 1 ] || fail "missing game directory: status $rc"
echo "script check: ok"
