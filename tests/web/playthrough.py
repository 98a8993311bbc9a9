#!/usr/bin/env python3
"""The demo in the browser against the native build: the park's second
choice, a save in slot 2 and a quit; then the page opened again (what the
first run kept in IndexedDB is found, as after a reload), "つづきから" on
the title and slot 2 on the load screen. The frames where menus open come
from native traces (as tests/cli/demo_playthrough.sh finds them); both
builds get the same input and take screenshots at the same passes, which
are then compared.

Usage: playthrough.py NATIVE_BUILD PAGE_URL WORKDIR
Prints one line per compared pass ("pass N: ..."); exit 1 on a failure."""
import json, os, subprocess, sys, urllib.parse

build, url, work = sys.argv[1:4]
native, game = os.path.join(build, "vantorel"), os.path.join(build, "game")
here = os.path.dirname(os.path.abspath(__file__))
saves = os.path.join(work, "native-saves")
os.makedirs(saves, exist_ok=True)


def fail(msg):
    sys.exit("FAIL: " + msg)


def input_lines(events):
    return [f"{at} {what}" for at, what in sorted(events, key=lambda e: e[0])]


def play(name, events, frames, shots=(), save_dir=None):
    """A native headless run; returns its trace."""
    inp, trace = f"{work}/{name}.in", f"{work}/{name}.jsonl"
    with open(inp, "w") as f:
        f.write("\n".join(input_lines(events)) + "\n")
    args = [native, "--headless", "--game-dir", game, "--answer", "yes", "--frames", str(frames), "--input", inp,
            "--trace", trace, "--save-dir", save_dir or f"{work}/{name}-saves"]
    os.makedirs(save_dir or f"{work}/{name}-saves", exist_ok=True)
    for n in shots:
        args += ["--screenshot", f"{n}:{work}/{name}-native-{n}.png"]
    r = subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, timeout=120)
    if r.returncode != 0:
        fail(f"native run {name}: status {r.returncode}: {r.stderr[-500:]}")
    with open(trace) as f:
        return [json.loads(line) for line in f]


def first(trace, test, after=0, what="state"):
    for p in trace:
        if p["frame"] >= after and test(p):
            return p
    fail(f"never reached: {what}")


def taps(start, stop, every=20):
    return [(f, "tap decide") for f in range(start, stop, every)]


choice = lambda p: p.get("menuActive") and not p.get("saveMode") and not p.get("loadMode")
save_screen = lambda p: p.get("menuActive") and p.get("saveMode")
load_screen = lambda p: p.get("menuActive") and p.get("loadMode")

# Where the menus open, from native probes.
F1 = first(play("probe1", taps(60, 4000), 4000), choice, what="the park's choice")["frame"]
session = [e for e in taps(60, 4000) if e[0] < F1] + [(F1 + 10, "tap down 10"), (F1 + 30, "tap decide")]
session += taps(F1 + 60, F1 + 4000)
F3 = first(play("probe2", session, F1 + 4000), save_screen, F1, "the save screen")["frame"]
session = [e for e in session if e[0] <= F3]
session += [(F3 + 10, "tap down 10"), (F3 + 30, "tap down 10"), (F3 + 50, "tap decide"), (F3 + 90, "menu-quit")]
G = first(play("probe3", [], 400), lambda p: p.get("buttonMenuActive"), what="the title menu")["frame"]
second = [(G + 10, "tap down 10"), (G + 30, "tap decide"), (G + 60, "tap down 10"), (G + 80, "tap decide")]
second += taps(G + 120, G + 600)

runs = [
    ("session1", session, F3 + 400, [F1 + 5, F1 + 20, F3 + 5, F3 + 45]),
    ("session2", second, G + 600, [G + 50, G + 75, G + 150, G + 599]),
]
# Native: both sessions over one save directory.
for name, events, frames, shots in runs:
    trace = play(name, events, frames, shots, save_dir=saves)
    if name == "session1" and not any(e["type"] == "save" for p in trace for e in p.get("events", [])):
        fail("the native session saved nothing")

# The page: both sessions in one browser profile.
argv = ["node", os.path.join(here, "run_page.cjs")]
for i, (name, events, frames, shots) in enumerate(runs):
    q = (f"headless&answer=yes&frames={frames}&screenshot={','.join(map(str, shots))}"
         f"&input={urllib.parse.quote('|'.join(input_lines(events)))}")
    argv += [f"{url}?{q}", f"{work}/{name}-web"]
    if i == 0:
        argv.append("300000")
r = subprocess.run(argv, capture_output=True, text=True, timeout=900)
print(r.stdout.strip())
if r.returncode != 0:
    fail(f"the page's runs: {r.stderr[-800:]}")

status = 0
for name, events, frames, shots in runs:
    for n in shots:
        a, b = f"{work}/{name}-native-{n}.png", f"{work}/{name}-web/shot-{n}.png"
        if not os.path.exists(b):
            print(f"FAIL {name} pass {n}: the page wrote no screenshot")
            status = 1
            continue
        ae = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True).stderr.strip()
        pae = subprocess.run(["compare", "-metric", "PAE", a, b, "null:"], capture_output=True, text=True).stderr.split()[0]
        # As web-test.sh: blended pixels may differ by 2 of 255 (514 of 65535).
        if ae == "0":
            print(f"  {name} pass {n}: same pixels")
        elif float(pae) <= 514:
            print(f"  {name} pass {n}: {ae} pixels differ by at most {int(float(pae)) // 257} of 255 (blending)")
        else:
            print(f"FAIL {name} pass {n}: {ae} pixels differ, by up to {pae} of 65535")
            status = 1
sys.exit(status)
