#!/usr/bin/env bash
# Failure reports name what failed, as the game names it: a script, a
# picture file, an alias, a button picture, a variable, a sound-effect file,
# a music file and a save file each reach stderr ("対象: NAME" below the
# report's line), the trace (the report event's "subject") and the box (one
# more line below its four). The missing music file is reported without a
# box. A GameData without the opening script gives one plain message.
set -u
BUILD="$1"
T=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export XDG_CONFIG_HOME="$T/cfg"
G="$T/game/GameData/Text"
mkdir -p "$G/オープニング" "$G/本編" "$G/セーブデータ"
enc() { printf '%s\n' "$2" > "$T/src.txt"; "$BUILD/vantorel-script" encode "$T/src.txt" "$G/$1" >/dev/null || fail "encode $1"; }
enc オープニング/オープニング1.Dat 'NextScriptFile 本編\続き.Dat
SELoad 無い.wav 音
MIDIPlay 無い曲
Texture 背景 BG\無い.png
BG 背景
BG 未定義
ナレーション： 一つ目
Load セーブデータ\無い'
enc 本編/続き.Dat 'NextScriptFile 本編\終わり.Dat
ナレーション： 二つ目
$無い = 1'
enc 本編/終わり.Dat 'ButtonMenu { フォーマット 1 1 メニューアイテム { はい 1 本編\うた } }'
printf '10 tap decide\n30 tap decide\n60 tap decide\n' > "$T/in.txt"
"$BUILD/vantorel" --headless --game-dir "$T/game" --frames 90 --input "$T/in.txt" --trace "$T/t.jsonl" \
  >/dev/null 2>"$T/err" || fail "run: $(tail -5 "$T/err")"

python3 - "$T/t.jsonl" "$T/err" <<'PY' || exit 1
import json, sys
events = [e for line in open(sys.argv[1], encoding="utf-8") for e in json.loads(line).get("events", [])]
err = open(sys.argv[2], encoding="utf-8").read()
# Each subject with the unit that reports it, and whether a box shows.
expected = [
    ("CDMMusic", "無い.wav", True),             # sound-effect file
    ("CDSMusic", "無い曲.mid", False),          # music file: no box, the game plays on
    ("CPolygon", "BG\\無い.png", True),         # picture file
    ("CMsgBox", "未定義", True),                # alias
    ("CMsgBox", "セーブデータ\\無い.Dat", True),  # save file
    ("CMsgBox", "$無い", True),                 # variable
    ("CMsgBox", "はいボタン", True),            # button picture
    ("CMsgBox", "本編\\うた.Dat", True),         # script
]
reports = [(i, e) for i, e in enumerate(events) if e["type"] == "report"]
for unit, subject, box in expected:
    found = [(i, e) for i, e in reports if e.get("subject") == subject]
    assert len(found) == 1, f"{subject}: {len(found)} reports: {reports}"
    i, e = found[0]
    assert e["unit"] == unit, e
    after = events[i + 1] if i + 1 < len(events) else {}
    if box:
        assert after.get("type") == "dialog", f"{subject}: no box after its report: {after}"
        lines = after["text"].split("\n")
        assert len(lines) == 5 and lines[3] == "Calling: " + e["message"], lines
        assert lines[4] == "対象: " + subject, lines
    else:
        assert after.get("type") != "dialog", f"{subject}: a box: {after}"
    # On stderr, right below the report's own line.
    assert f"({e['line']}): {e['message']} (hr={e['code']})\n対象: {subject}\n" in err, f"{subject} not on stderr"
# The missing music is said once, not again when nothing replays it.
assert sum(1 for _, e in reports if e["unit"] == "CDSMusic") == 1
PY
[ $? -eq 0 ] || exit 1

# A GameData without its opening script: one plain line, no box, status 1.
mkdir -p "$T/bare/GameData/Texture"
"$BUILD/vantorel" --headless --frames 5 --game-dir "$T/bare" >/dev/null 2>"$T/err"; status=$?
[ $status -eq 1 ] || fail "no opening script: status $status"
[ "$(wc -l < "$T/err")" -eq 1 ] || fail "no opening script: more than one line: $(cat "$T/err")"
grep -q "オープニング/オープニング1.Dat" "$T/err" && grep -qF "$T/bare" "$T/err" ||
  fail "no opening script: the message names neither the script nor the directory: $(cat "$T/err")"
echo ok
