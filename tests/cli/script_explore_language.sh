#!/usr/bin/env bash
# explore --language and check --language: a translation's messages that do
# not fit the window are named as translate check measures them (the same
# rows and the same reason), explore naming those it reaches and check every
# one with its place in the sources, a text-menu item too; a translation the
# game lacks is named with those it has, a code that is no language is a bad
# command line.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
TOOL="$BUILD/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg"
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=lib/explore_games.sh
. "$HERE/lib/explore_games.sh"

mkdir -p src/オープニング src/本編
explore_skeleton game
cat > src/オープニング/オープニング1.txt <<'EOF2'
string $戻る = オープニング\オープニング1
陽菜： 「こんにちは」
.
短い。
.
FontMenu { フォーマット 1 3 メニューアイテム { 「右へ」 1 本編\右 「左へ」 2 本編\左 } }
EOF2
printf '右の道。\nGameEnd\n' > src/本編/右.txt
printf '左の道。\nGameEnd\n' > src/本編/左.txt
printf '誰も来ない道。\nGameEnd\n' > src/本編/迷子.txt
"$TOOL" build src game >/dev/null
"$TOOL" translate extract --source src game en >/dev/null
# Too long: the greeting (its label translated too), the right way's message,
# the unreached script's message and the left item; the rest fits.
python3 - game/GameData/Translations/en.po <<'PY'
import re, sys
p = sys.argv[1]
s = open(p, encoding="utf-8").read()
tr = {"オープニング/オープニング1.Dat:4": "Hina: ", "オープニング/オープニング1.Dat:5": "Hello there, " * 40,
      "オープニング/オープニング1.Dat:7": "Short.", "本編/右.Dat:0": "The right way, " * 40,
      "本編/左.Dat:0": "The left way.", "本編/迷子.Dat:0": "Nobody comes this way, " * 40,
      "オープニング/オープニング1.Dat:19": "To the left, " * 10}
for ctx, t in tr.items():
    s, n = re.subn(r'(msgctxt "%s"\nmsgid "[^"]*"\nmsgstr )""' % re.escape(ctx), lambda m: m.group(1) + '"' + t + '"', s)
    assert n == 1, ctx
open(p, "w", encoding="utf-8").write(s)
PY
rc=0
"$TOOL" translate check --format json game game/GameData/Translations/en.po >check.json || rc=$?
[ "$rc" = 1 ] || fail "translate check exited $rc"

# --- explore ---
rc=0
"$TOOL" explore --format json game >plain.json || rc=$?
[ "$rc" = 0 ] || fail "explore in the original exited $rc"
rc=0
"$TOOL" explore --language en --format json game >en.json 2>err.txt || rc=$?
[ "$rc" = 0 ] || fail "a translation too long is no failure, yet explore exited $rc: $(cat err.txt)"
python3 - <<'PY' || fail "explore --language en: $(cat en.json)"
import json, sys
plain, r, check = (json.load(open(f)) for f in ("plain.json", "en.json", "check.json"))
if plain["tooLong"] or plain["language"] is not None:
    sys.exit(f"the original fits: {plain['tooLong']}")
if r["language"] != "en" or [e["script"] for e in r["endings"]] != ["本編\\右.Dat", "本編\\左.Dat"]:
    sys.exit("the exploration itself changed with the language")
# The greeting is named where the message begins (its speaker word), the
# right way's too; the unreached script's is not.
got = [(t["script"], t["position"], t["language"]) for t in r["tooLong"]]
if got != [("オープニング\\オープニング1.Dat", 4, "en"), ("本編\\右.Dat", 0, "en")]:
    sys.exit(f"tooLong: {got}")
why = {o["context"]: o["why"] for o in check["overflows"]}
for t, ctx in zip(r["tooLong"], ["オープニング/オープニング1.Dat:5", "本編/右.Dat:0"]):
    if not t["why"].endswith(": " + why[ctx]) or t["rows"] <= t["windowRows"]:
        sys.exit(f"not translate check's measure: {t} / {why[ctx]}")
    if t["characters"] != len(t["message"]) or t["bytes"] != len(t["message"].encode()):
        sys.exit(f"characters and bytes: {t}")
if not r["tooLong"][0]["message"].startswith("Hina: Hello there,"):
    sys.exit("the message as shown has the translated label")
PY
"$TOOL" explore --language en game >en.txt
grep -q "^  本編\\\\右.Dat word 0 in en: 600 characters: 1[0-9] rows where the window holds [0-9] rows: The right way," en.txt ||
  fail "the text report: $(cat en.txt)"
rc=0
"$TOOL" explore --language fr game >/dev/null 2>err.txt || rc=$?
[ "$rc" = 1 ] && grep -qF 'no translation "fr" in GameData/Translations (it has en)' err.txt ||
  fail "a missing translation exited $rc: $(cat err.txt)"
for bad in "--language ../en game" "--language game" "--language"; do
  rc=0
  # shellcheck disable=SC2086
  "$TOOL" explore $bad >/dev/null 2>&1 || rc=$?
  [ "$rc" = 2 ] || fail "'explore $bad' exited $rc, not 2"
done

# --- check ---
rc=0
"$TOOL" check --source src game >check.txt || rc=$?
[ "$rc" = 0 ] || fail "check in the original exited $rc: $(cat check.txt)"
rc=0
"$TOOL" check --source src --language en game >check.txt || rc=$?
[ "$rc" = 1 ] || fail "check --language en exited $rc"
for line in "src/オープニング/オープニング1.txt:2:5: error: in en this message does not fit: " \
  "src/オープニング/オープニング1.txt:6:46: error: in en this text menu item does not fit: " \
  "src/本編/右.txt:1:1: error: in en this message does not fit: " \
  "src/本編/迷子.txt:1:1: error: in en this message does not fit: "; do
  grep -qF "$line" check.txt || fail "check does not name '$line': $(cat check.txt)"
done
grep -q "4 scripts checked: 4 errors, 1 warning" check.txt || fail "check's counts: $(tail -1 check.txt)"
rc=0
"$TOOL" check --language en --format json game >check2.json || rc=$?
python3 - <<'PY' || fail "check --format json --language en: $(cat check2.json)"
import json, sys
r = json.load(open("check2.json"))
if r["language"] != "en" or r["errors"] != 4:
    sys.exit("language or errors")
words = sorted((f["script"], f["word"]) for f in r["findings"] if f["severity"] == "error")
if words != [("オープニング\\オープニング1.Dat", 6), ("オープニング\\オープニング1.Dat", 20), ("本編\\右.Dat", 1), ("本編\\迷子.Dat", 1)]:
    sys.exit(f"words: {words}")
PY
rc=0
"$TOOL" check --language fr game >/dev/null 2>err.txt || rc=$?
[ "$rc" = 1 ] && grep -qF 'no translation "fr"' err.txt || fail "check --language fr exited $rc: $(cat err.txt)"
rc=0
"$TOOL" check --language "a/b" game >/dev/null 2>&1 || rc=$?
[ "$rc" = 2 ] || fail "check --language a/b exited $rc"
echo "explore and check --language: ok"
