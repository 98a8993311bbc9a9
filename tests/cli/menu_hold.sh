#!/usr/bin/env bash
# A decide held from the park's 「さて、どうしようか。」 into its choice, at hold
# lengths from one pass to two seconds and at each phase of the decide grid,
# by key, by the mouse and as the wheel: the choice stays open with nothing
# chosen. A fresh click off the items still chooses nothing; on an item, it.
# The demo from a copy whose opening sets up the title's names and goes
# straight to the park.
set -u
BUILD="$(cd "$1" && pwd)"
SRC="$(cd "$2" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T="$(mktemp -d)"
trap '[ -n "${KEEP:-}" ] && echo "kept $T" || rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cp -rL "$BUILD/game" "$T/game"  # -L: BUILD/game may be a link (scripts/snapshot.sh)
sed '/^Clear All/,$d' "$SRC/game/scripts/オープニング/オープニング1.txt" > "$T/opening.txt"
echo 'goto 本編\公園1' >> "$T/opening.txt"
"$BUILD/vantorel-script" encode "$T/opening.txt" "$T/game/GameData/Text/オープニング/オープニング1.Dat" >/dev/null ||
  fail "encode"

VANTOREL="$BUILD/vantorel" GAME="$T/game" WORK="$T" XDG_CONFIG_HOME="$T/cfg" python3 - <<'PY' || exit 1
import concurrent.futures, json, os, subprocess, sys

work, game = os.environ["WORK"], os.environ["GAME"]

def play(name, events, frames):
    base = name.replace(" ", "_")
    inp, trace = f"{work}/{base}.in", f"{work}/{base}.jsonl"
    with open(inp, "w") as f:
        f.write("".join(f"{at} {what}\n" for at, what in sorted(events, key=lambda e: e[0])))
    r = subprocess.run([os.environ["VANTOREL"], "--headless", "--game-dir", game, "--frames", str(frames),
                        "--input", inp, "--trace", trace], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                       text=True, timeout=60)
    if r.returncode != 0:
        sys.exit(f"FAIL: run {name} ended with status {r.returncode}: {r.stderr[-800:]}")
    with open(trace) as f:
        return [json.loads(line) for line in f]

def fail(msg):
    sys.exit("FAIL: " + msg)

def opened(trace):
    return [e["name"] for p in trace for e in p.get("events", []) if e["type"] == "open"]

choice = lambda p: p.get("menuActive") and not p.get("saveMode") and not p.get("loadMode")
# Taps every 20 passes read the park up to its choice.
taps = [(f, "tap decide") for f in range(40, 2000, 20)]
probe = play("probe", taps, 2000)
at = next((p for p in probe if choice(p)), None)
if not at or at["script"] != "本編\\公園1.Dat":
    fail("the park's choice never opened")
# The last message before it, and the first pass it stood typed out.
shown = next((p["frame"] for p in probe if "さて、どうしようか。" in p.get("message", "")), None)
if shown is None or shown >= at["frame"]:
    fail("「さて、どうしようか。」 was never shown before the choice")
asked = next((p["frame"] for p in probe if p["frame"] > shown and not p.get("typing")), at["frame"])
before = [t for t in taps if t[0] < asked]
# A point inside each item's cell, as the trace lays them out.
spot = {i["id"]: f'{int(i["x"]) + 20} {int(i["y"]) + 10}' for i in at["fontMenu"]["items"]}

def check(name, events, frames, chosen=None):
    trace = play(name, before + events, frames)
    scripts = opened(trace)
    if not any(choice(p) for p in trace):
        return f"{name}: the choice never opened"
    picked = [s for s in scripts if s in ("本編\\公園_煮干し.Dat", "本編\\公園_待つ.Dat")]
    if chosen is None and (picked or not choice(trace[-1])):
        return f"{name}: chose {picked} for the player"
    if chosen is not None and picked != [chosen]:
        return f"{name}: chose {picked}, not {chosen}"
    return None

F = asked + 10
runs = []
# Hold lengths from one pass to two seconds, each at another phase of the grid.
for n, hold in enumerate((1, 2, 3, 4, 6, 10, 20, 40, 125)):
    at_ = F + n % 4
    runs.append((f"held {hold}", [(at_, "press decide"), (at_ + hold, "release decide")], at_ + hold + 30, None))
runs.append(("click held", [(F, "mouse " + spot[1]), (F, "press mouse"), (F + 40, "release mouse")], F + 80, None))
runs.append(("wheel", [(F, "mouse 600 30"), (F, "wheel down"), (F + 20, "wheel down"), (F + 30, "mouse " + spot[1]),
                       (F + 40, "wheel down")], F + 80, None))
runs.append(("click off the items", [(F, "tap decide"), (F + 30, "click 600 30")], F + 80, None))
runs.append(("click on the second", [(F, "tap decide"), (F + 30, "click " + spot[2])], F + 80,
             "本編\\公園_待つ.Dat"))
with concurrent.futures.ThreadPoolExecutor(2) as pool:
    faults = [f for f in pool.map(lambda r: check(*r), runs) if f]
if faults:
    fail("; ".join(faults))
print(f"the park's choice stayed open under all {len(runs) - 1} presses made before it was shown")
PY
