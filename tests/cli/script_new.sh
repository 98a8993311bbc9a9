#!/usr/bin/env bash
# vantorel-script new: the game it makes builds, checks without a finding and
# plays headless from the title to its ending without a failure report; an
# author's typos of each kind in its sources are reported at their line with
# the keyword meant, and an edit not yet built is named by a plain check.
set -euo pipefail
BUILD_DIR=$1
TOOL="$BUILD_DIR/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg"
fail() { echo "FAIL: $*" >&2; exit 1; }

rc=0
"$TOOL" new 物語 --title "星の約束" >out.txt 2>err.txt || rc=$?
[ "$rc" = 0 ] || fail "new: status $rc: $(cat err.txt)"
grep -qF "vantorel-script build --watch 物語/scripts 物語" out.txt || fail "new names no next step: $(cat out.txt)"
[ -f 物語/scripts/オープニング/オープニング1.txt ] || fail "no plain opening script"
[ -f 物語/GameData/Text/オープニング/オープニング1E.Dat ] || fail "the opening script is not built"
[ -d 物語/GameData/Text/セーブデータ ] || fail "no save folder"
for f in Texture/MsgBox/MsgBox.dds Texture/MsgBox/CharaPicFrame.dds Texture/MsgBox/Cursor.tga Music/SE/Kachi04.wav \
  Music/SE/Push11.wav Texture/Title/Logo.png Music/MIDI/Theme.mid; do
  [ -s "物語/GameData/$f" ] || fail "GameData/$f is missing or empty"
done
# The sources carry comments: they build, and stay out of the built files.
grep -q '^/\*' 物語/scripts/本編/はじまり.txt || fail "the sources have no comments to learn from"
"$TOOL" decode 物語/GameData/Text/本編/はじまりE.Dat | grep -qF '/*' && fail "a comment reached the built file"

rc=0
"$TOOL" check --source 物語/scripts 物語 >out.txt 2>&1 || rc=$?
[ "$rc" = 0 ] || fail "check: status $rc: $(cat out.txt)"
tail -n 1 out.txt | grep -qxE '[0-9]+ scripts checked: 0 errors, 0 warnings' || fail "check: $(cat out.txt)"

# Played headless, deciding every 20 passes: the title's first button, the
# first choice, the first button at the rest point (the save screen, left by
# its first item), and on to the ending, where the script stops for good.
python3 -c "print('\n'.join(f'{f} tap decide' for f in range(60, 2400, 20)))" >play.in
"$BUILD_DIR/vantorel" --headless --game-dir 物語 --frames 2400 --input play.in --trace play.jsonl >/dev/null 2>&1 ||
  fail "headless run: status $?"
python3 - play.jsonl <<'PY' || fail "the new game did not play to its ending"
import json, sys
trace = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
reports = [(p["frame"], e) for p in trace for e in p.get("events", []) if e["type"] == "report"]
assert not reports, reports
scripts = []
for p in trace:
    if p.get("script") and (not scripts or scripts[-1] != p["script"]):
        scripts.append(p["script"])
for s in ["本編\\はじまり.Dat", "本編\\ひと休み.Dat", "本編\\セーブ画面.Dat", "本編\\夜.Dat", "本編\\結末.Dat"]:
    assert s in scripts, (s, scripts)
last = trace[-1]
assert last["script"] == "本編\\結末.Dat" and not last["running"], last
assert last["message"].startswith("おしまい。"), last["message"]
PY

# The author's mistakes, one of each kind.
S=物語/scripts/本編/はじまり.txt
python3 - "$S" 物語/scripts/本編/待つ.txt <<'PY'
import sys
def edit(path, pairs):
    text = open(path, encoding="utf-8").read()
    for old, new in pairs:
        assert old in text, (path, old)
        text = text.replace(old, new, 1)
    open(path, "w", encoding="utf-8").write(text)
edit(sys.argv[1], [("\nFadeIn All", "\nFadeIN All"), ("SEPlay 足音", "SEPaly 足音"),
                   ("Left 立ち陽菜\n", "Left\u3000立ち陽菜\n"), ("Right 立ち詩織", "Right\nTexLoad 立ち詩織")])
edit(sys.argv[2], [("goto 本編", "Goto 本編")])
PY
line() { grep -n -m1 -F -- "$1" "$2" | cut -d: -f1; }
rc=0
"$TOOL" check --source 物語/scripts 物語 >out.txt 2>/dev/null || rc=$?
[ "$rc" = 1 ] || fail "check of the typos: status $rc"
has() { grep -qF -- "$1" out.txt || fail "missing: $1
--- got:
$(cat out.txt)"; }
has "$S:$(line 'FadeIN All' "$S"):1: error: \"FadeIN\" is no keyword: the player sees it as text; did you mean FadeIn?"
has "$S:$(line 'SEPaly' "$S"):1: error: \"SEPaly\" is no keyword: the player sees it as text; did you mean SEPlay?"
has "$S:$(line 'Left　' "$S"):1: error: a full-width space joins \"Left\" and \"立ち陽菜\" into one word"
has "$S:$(line 'Right' "$S"):1: error: \"Right\" is followed by the keyword \"TexLoad\" where its argument should stand"
W=物語/scripts/本編/待つ.txt
has "$W:$(line 'Goto' "$W"):1: error: \"Goto\" is no keyword: the player sees it as text; did you mean goto?"
# The game was not built again: a plain check names the edits.
rc=0
"$TOOL" check 物語 >out.txt 2>/dev/null || rc=$?
has "$S: warning: changed since the game was built"
has "$W: warning: changed since the game was built"

# new never writes over what is there.
rc=0
"$TOOL" new 物語 >out.txt 2>err.txt || rc=$?
[ "$rc" = 1 ] || fail "new over a game: status $rc"
grep -qF "already exists and is not an empty directory" err.txt || fail "new over a game: $(cat err.txt)"
grep -q 'SEPaly' "$S" || fail "new wrote over the author's script"
rc=0
"$TOOL" new >/dev/null 2>&1 || rc=$?
[ "$rc" = 2 ] || fail "new without a directory: status $rc"
rc=0
"$TOOL" new a b >/dev/null 2>&1 || rc=$?
[ "$rc" = 2 ] || fail "new with two directories: status $rc"
echo "script new: ok"
