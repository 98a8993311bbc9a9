#!/usr/bin/env bash
# vantorel-script explore: a small game built from plain scripts with one
# choice of three (one way leads to a missing script, one into a loop of two
# scripts, one saves and then loads on its load screen) and a script nothing
# reaches is reported with exactly those, and fails; a message too long for
# the window is named in characters and rows without failing; one failure
# reached three ways is one line with its count; the demo, when built,
# reaches every script and both endings (told apart by their variables, each
# once however many ways lead there) with no failure and nothing too long in
# its English translation either. Bad command lines exit 2.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
TOOL="$BUILD/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg"
fail() { echo "FAIL: $*" >&2; exit 1; }

explore() {
  rc=0
  "$TOOL" explore "$@" >out.txt 2>err.txt || rc=$?
}

# The engine's own pictures and sounds every game needs, drawn by the tools.
skeleton() {
  mkdir -p "$1"/GameData/Texture/MsgBox "$1"/GameData/Music/SE "$1"/GameData/Text/セーブデータ
  "$BUILD/vantorel-makeart" window "$1"/GameData/Texture/MsgBox/MsgBox.dds
  "$BUILD/vantorel-makeart" frame "$1"/GameData/Texture/MsgBox/CharaPicFrame.dds
  "$BUILD/vantorel-makeart" cursor "$1"/GameData/Texture/MsgBox/Cursor.tga
  "$BUILD/vantorel-makesound" decide "$1"/GameData/Music/SE/Kachi04.wav
  "$BUILD/vantorel-makesound" cursor "$1"/GameData/Music/SE/Push11.wav
}

# --- command lines ---
for bad in "" "--format xml game" "-j 0 game" "-j x game" "-j0 game" "-jx game" "--budget 0 game" "--frobnicate game" "a b"; do
  # shellcheck disable=SC2086
  explore $bad
  [ "$rc" = 2 ] || fail "'explore $bad' exited $rc, not 2"
done
explore "$WORK/nowhere"
[ "$rc" = 1 ] && grep -q "nowhere" err.txt || fail "a game directory that does not exist exited $rc"
mkdir empty
explore empty
[ "$rc" = 1 ] && grep -q "no GameData/Text" err.txt || fail "a directory without a game exited $rc"

# --- the broken game ---
mkdir -p src/オープニング src/本編
skeleton game
cat > src/オープニング/オープニング1.txt <<'EOF2'
string $戻る = 本編\山頂
string $セーブデータ1 = セーブデータ\セーブデータ1
string $セーブデータ2 = セーブデータ\セーブデータ2
string $セーブデータ3 = セーブデータ\セーブデータ3
どこへ行こう？
FontMenu { フォーマット 1 3 メニューアイテム { 「海へ」 1 本編\海 「山へ」 2 本編\山 「森へ」 3 本編\森 } }
EOF2
# The sea saves in slot 2, which the mountain's load screen must not offer.
cat > src/本編/海.txt <<'EOF2'
Save 本編\山頂 セーブデータ\セーブデータ2
波の音がする。
goto 本編\浜
EOF2
cat > src/本編/浜.txt <<'EOF2'
砂浜を歩く。
goto 本編\海
EOF2
cat > src/本編/山.txt <<'EOF2'
Save 本編\宝 セーブデータ\セーブデータ1
山に登った。
LoadMenu
EOF2
cat > src/本編/宝.txt <<'EOF2'
宝を見つけた。
GameEnd
EOF2
cat > src/本編/山頂.txt <<'EOF2'
頂上に着いた。
GameEnd
EOF2
cat > src/本編/迷子.txt <<'EOF2'
誰もここには来ない。
GameEnd
EOF2
"$TOOL" build src game >/dev/null

for jobs in 1 2; do
  explore "-j$jobs" --format json game
  [ "$rc" = 1 ] || fail "-j $jobs: the broken game exited $rc, not 1: $(cat err.txt)"
  python3 -m json.tool out.txt >/dev/null || fail "-j $jobs: not JSON: $(cat out.txt)"
  python3 - "$jobs" <<'PY' || fail "-j $jobs: the report of the broken game is wrong: $(cat out.txt)"
import json, sys
r = json.load(open("out.txt"))
def want(what, got, expected):
    if got != expected:
        sys.exit(f"{what}: got {got!r}, expected {expected!r}")
want("reached", r["scripts"]["reached"],
     ["オープニング\\オープニング1.Dat", "本編\\宝.Dat", "本編\\山.Dat", "本編\\山頂.Dat", "本編\\浜.Dat", "本編\\海.Dat"])
want("unreached", r["scripts"]["unreached"], ["本編\\迷子.Dat"])
want("failures", [(f["script"], f["position"], f["choices"]) for f in r["failures"]], [("本編\\森.Dat", 0, ["「森へ」"])])
if "見つかりませんでした" not in r["failures"][0]["message"]:
    sys.exit("the failure's message: " + r["failures"][0]["message"])
slot1 = "データ1：2000年 1月 1日（土）12時 0分"
want("endings", sorted((e["kind"], e["script"], e["choices"]) for e in r["endings"]),
     [("GameEnd", "本編\\宝.Dat", ["「山へ」", slot1]), ("GameEnd", "本編\\山頂.Dat", ["「山へ」", "←戻る"])])
want("stops", [(s["reason"], s["choices"]) for s in r["stopped"]], [("loop", ["「海へ」"])])
# The load screen offers the slot its own branch saved, not the sea's.
want("load screen", sorted(m["label"] for m in r["menuItems"] if m["menu"] == "LoadMenu"), ["←戻る", slot1])
want("too long", r["tooLong"], [])
if r["branches"] != 4 or r["states"] < 5:
    sys.exit(f"branches {r['branches']}, states {r['states']}")
PY
done
explore game
[ "$rc" = 1 ] || fail "text: exited $rc"
grep -qxF "  本編\\森.Dat word 0: 指定された名前のスクリプトファイルが見つかりませんでした。 after 「森へ」 (1 way)" out.txt ||
  fail "the text report lacks the failure: $(cat out.txt)"
grep -qxF "  loop in 本編\\海.Dat after 「海へ」 (1 way)" out.txt || fail "the text report lacks the loop: $(cat out.txt)"
grep -qxF "4 branches, 8 states" out.txt || fail "the text report's count: $(cat out.txt)"
# A budget too small for any ending stops the branch there, which is no failure.
explore --budget 5 game
[ "$rc" = 0 ] || fail "a branch cut by the budget exited $rc"
grep -q "^  budget in オープニング" out.txt || fail "the budget stop is not named: $(cat out.txt)"
[ -z "$(ls game/GameData/Text/セーブデータ)" ] || fail "explore wrote saves into the game"

# --- a message longer than the window's three rows of 52 bytes, and the
# two endings that hand the game on: Battle and Map ---
mkdir -p long/src/オープニング long/src/本編
skeleton long/game
{
  printf 'あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン\n'
  printf 'FontMenu { フォーマット 1 2 メニューアイテム { 戦う 1 本編\\戦い 地図を見る 2 本編\\地図 } }\n'
} > long/src/オープニング/オープニング1.txt
printf '敵が来た。\nBattle\n' > long/src/本編/戦い.txt
printf '地図を広げた。\nMap\n' > long/src/本編/地図.txt
"$TOOL" build long/src long/game >/dev/null
explore --format json long/game
[ "$rc" = 0 ] || fail "a long message is no failure, yet exited $rc: $(cat out.txt)"
python3 - <<'PY' || fail "the long message game: $(cat out.txt)"
import json, sys
r = json.load(open("out.txt"))
t = r["tooLong"]
# 92 characters, 184 bytes: rows of 52 bytes, the window holds 3.
if len(t) != 1 or t[0]["script"] != "オープニング\\オープニング1.Dat" or t[0]["bytes"] != 184 or not t[0]["message"].startswith("あいう"):
    sys.exit(f"tooLong: {t}")
if (t[0]["characters"], t[0]["rows"], t[0]["windowRows"], t[0]["language"]) != (92, 4, 3, None):
    sys.exit(f"the long message's measure: {t}")
got = sorted((e["kind"], e["script"], e["choices"]) for e in r["endings"])
if got != [("Battle", "本編\\戦い.Dat", ["戦う"]), ("Map", "本編\\地図.Dat", ["地図を見る"])]:
    sys.exit(f"endings: {got}")
PY

explore long/game
grep -qxF "  オープニング\\オープニング1.Dat word 0: 92 characters: 4 rows where the window holds 3 (rows of 26 full-width or 52 half-width characters): あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン" out.txt ||
  fail "the text report's long message: $(cat out.txt)"

# --- one failure three ways: north and south meet at the bridge (the second
# stops where the first went on), east comes with a variable of its own; an
# ending after either of two items that meet is one ending of two ways ---
mkdir -p many/src/オープニング many/src/本編
skeleton many/game
cat > many/src/オープニング/オープニング1.txt <<'EOF2'
どちらへ？
FontMenu { フォーマット 1 3 メニューアイテム { 「北へ」 1 本編\橋 「南へ」 2 本編\橋 「東へ」 3 本編\東 「西へ」 4 本編\西 「西の奥へ」 5 本編\西 } }
EOF2
printf 'string $道 = 東\n東から来た。\ngoto 本編\\橋\n' > many/src/本編/東.txt
printf '橋を渡る。\ngoto 本編\\崖\n' > many/src/本編/橋.txt
printf '西の果て。\nGameEnd\n' > many/src/本編/西.txt
"$TOOL" build many/src many/game >/dev/null
explore --format json many/game
[ "$rc" = 1 ] || fail "the failure three ways exited $rc"
python3 - <<'PY' || fail "the failure three ways: $(cat out.txt)"
import json, sys
r = json.load(open("out.txt"))
f = r["failures"]
if len(f) != 1 or f[0]["script"] != "本編\\崖.Dat" or f[0]["ways"] != 3 or f[0]["choices"] not in (["「北へ」"], ["「南へ」"]):
    sys.exit(f"failures: {f}")
e = r["endings"]
if len(e) != 1 or e[0]["ways"] != 2 or e[0]["variables"] != {} or e[0]["choices"] != ["「西の奥へ」"]:
    sys.exit(f"endings: {e}")
PY
explore many/game
grep -qxF "  本編\\崖.Dat word 0: 指定された名前のスクリプトファイルが見つかりませんでした。 after 「北へ」 (3 ways)" out.txt ||
  fail "the text report's failure three ways: $(cat out.txt)"

# --- the demo ---
if [ -d "$BUILD/game/GameData/Text" ]; then
  cp -r "$BUILD/game" demo
  rm -rf demo/GameData/Text/セーブデータ/*
  explore --format json --language en demo
  [ "$rc" = 0 ] || fail "the demo exited $rc: $(cat out.txt)"
  python3 -m json.tool out.txt >/dev/null || fail "the demo's report is not JSON"
  python3 - <<'PY' || fail "the demo's report: $(cat out.txt)"
import json, sys
r = json.load(open("out.txt"))
if r["scripts"]["unreached"] or r["failures"] or r["tooLong"] or r["language"] != "en":
    sys.exit("unreached, failures or long messages")
if len(r["scripts"]["reached"]) != 15:
    sys.exit(f"reached {len(r['scripts']['reached'])} scripts")
# The story's two endings are told apart by the variable naming them, and
# each way the save screen offers is no ending of its own.
story = [e for e in r["endings"] if e["script"] == "本編\\おしまい.Dat"]
if {e["variables"].get("$結末") for e in story} != {"本編\\結末_待つ", "本編\\結末_煮干し"}:
    sys.exit(f"the story's endings: {story}")
keys = [(e["kind"], e["script"], tuple(sorted(e["variables"].items()))) for e in r["endings"]]
if len(keys) != len(set(keys)) or len(story) > 6 or max(e["ways"] for e in story) < 8:
    sys.exit(f"an ending listed twice, or its ways not counted: {r['endings']}")
park = {"「煮干しで呼んでみよう」", "「静かに待ってみよう」"}
if {c for e in story for c in e["choices"] if c in park} != park:
    sys.exit(f"the story's endings come after {story}")
taken = {(m["script"], m["menu"], m["label"]) for m in r["menuItems"]}
for want in [("システム\\キー設定.Dat", "KeyConfig", "OK"), ("システム\\キー設定.Dat", "KeyConfig", "キャンセル")]:
    if want not in taken:
        sys.exit(f"not taken: {want}")
# Before any save the title's load screen offers only the way back.
if {m[2] for m in taken if m[0] == "システム\\ロード画面.Dat"} != {"←戻る"}:
    sys.exit("the title's load screen offered a save no branch had made")
PY
else
  echo "demo game not built; its part skipped"
fi
echo "explore: ok"
