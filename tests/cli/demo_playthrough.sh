#!/usr/bin/env bash
# The demo game played headless from a copy of BUILD/game (saves stay out of
# the build): the title's first button, the park's second choice, a save in
# slot 2 at the rest point, quitting through the menu; then a second start,
# "つづきから" on the title, slot 2 on the load screen, and on to GameEnd.
# The frames where menus open are found from the trace of earlier runs, so
# the test follows the story as it is written. No failure report may appear.
set -u
BUILD="$(cd "$1" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T="$(mktemp -d)"
trap '[ -n "${KEEP:-}" ] && echo "kept $T" || rm -rf "$T"' EXIT  # KEEP=1 keeps the traces
cp -r "$BUILD/game" "$T/game"
rm -rf "$T/game/GameData/Text/セーブデータ"
mkdir -p "$T/game/GameData/Text/セーブデータ"

VANTOREL="$BUILD/vantorel" GAME="$T/game" WORK="$T" XDG_CONFIG_HOME="$T/cfg" \
  PYTHONPATH="$(cd "$(dirname "$0")/.." && pwd)" python3 - <<'PY'
import os
from demo_story import (Runner, events, fail, first, first_session, load_screen, load_slot_two,
                        save_in_slot_two, title)

work, game = os.environ["WORK"], os.environ["GAME"]
run = Runner(os.environ["VANTOREL"], game, work)
play = run.play

def no_reports(trace, name):
    reports = events(trace, "report")
    if reports:
        fail(f"{name}: failure reported at frame {reports[0][0]}: {reports[0][1]}")

# --- First session: read on to the park's choice, take the second one, on
# to the rest point's save screen; save in slot 2 and quit.
session, F1, F3, at_choice, at_save = first_session(run)
if at_choice["script"] != "本編\\公園1.Dat":
    fail(f"the choice opened in {at_choice['script']}")
labels = [i["label"] for i in at_choice["fontMenu"]["items"]]
if len(labels) != 2:
    fail(f"the choice offers {labels}")
if at_save["script"] != "本編\\セーブ画面.Dat":
    fail(f"the save screen opened in {at_save['script']}")
saved_vars = at_save["variables"]
if saved_vars.get("$ミケの呼び方") != "待つ":
    fail(f"the second choice did not set its variable: {saved_vars}")
session += save_in_slot_two(F3)
first_run = play("session1", session, F3 + 400)
no_reports(first_run, "first session")
opened = [e["name"] for _, e in events(first_run, "open")]
for script in ["オープニング\\オープニング1.Dat", "本編\\学校.Dat", "本編\\公園1.Dat", "本編\\公園_待つ.Dat",
               "本編\\ひと休み.Dat", "本編\\セーブ画面.Dat"]:
    if script not in opened:
        fail(f"first session never opened {script}: {opened}")
if "本編\\公園_煮干し.Dat" in opened:
    fail("the first choice was taken instead of the second")
saves = events(first_run, "save")
if len(saves) != 1 or not saves[0][1]["path"].endswith("セーブデータ\\セーブデータ2.Dat") or saves[0][1]["result"] != 0:
    fail(f"expected one save in slot 2: {saves}")
if not events(first_run, "quit"):
    fail("the menu's quit did not end the game")
if first_run[-1]["frame"] >= F3 + 399:
    fail("the game ran on after quitting")
sounds = {e["alias"] for _, e in events(first_run, "se")}
for alias in ["決定キー音", "方向キー音", "チャイム", "足音", "鳴き声"]:
    if alias not in sounds:
        fail(f"sound {alias} never played in the first session: {sorted(sounds)}")
music = [e["name"] for _, e in events(first_run, "midi")]
if "School.mid" not in music or "Evening.mid" not in music:
    fail(f"music played: {music}")
if not os.path.exists(f"{game}/GameData/Text/セーブデータ/セーブデータ2E.Dat"):
    fail("slot 2's file was not written")

# --- Second session: the title's second button, slot 2 on the load screen.
G, at_title = title(run)
buttons = [i["label"] for i in at_title["buttonMenu"]["items"]]
if buttons != ["はじめから", "つづきから", "キー設定", "おわる"]:
    fail(f"title buttons {buttons}")
second = load_slot_two(G, G + 4000)
second_run = play("session2", second, G + 4000)
no_reports(second_run, "second session")
at_load = first(second_run, load_screen, G, "the load screen")
items = {i["id"]: i for i in at_load["fontMenu"]["items"]}
if items[1]["selectable"] or not items[2]["selectable"] or "空き" in items[2]["label"]:
    fail(f"load screen slots: {[items[i]['label'] for i in sorted(items)]}")
loads = events(second_run, "load")
if len(loads) != 1 or loads[0][1]["result"] != 0 or not loads[0][1]["path"].endswith("セーブデータ2.Dat"):
    fail(f"expected one load of slot 2: {loads}")
after = first(second_run, lambda p: p["frame"] >= loads[0][0], what="the frame of the load")
if after["script"] != "本編\\公園2.Dat":
    fail(f"the load landed in {after['script']}")
for name in ["$ミケの呼び方", "$結末"]:
    if after["variables"].get(name) != saved_vars.get(name):
        fail(f"{name} is {after['variables'].get(name)!r} after the load, {saved_vars.get(name)!r} when saved")
# Reading on reaches the second choice's ending and GameEnd.
opened = [e["name"] for _, e in events(second_run, "open")]
if "本編\\結末_待つ.Dat" not in opened or "本編\\おしまい.Dat" not in opened:
    fail(f"the story after the load went {opened}")
end = second_run[-1]
if end["script"] != "本編\\おしまい.Dat" or end["running"]:
    fail(f"the game did not stop at GameEnd: {end['script']} running={end['running']}")
print(f"played through in {run.runs} runs: choice at frame {F1}, save screen at {F3}, "
      f"loaded into {after['script']} with {after['variables']['$ミケの呼び方']}")
PY
