#!/usr/bin/env python3
"""The page against the native build, headless, the same input and passes
both ways: the title (300 passes), then the demo's story (tests/demo_story.py):
the park's second choice, a save in slot 2 and a quit; the page opened again
(what the first run kept in IndexedDB is found, as after a reload),
"つづきから" on the title and slot 2 on the load screen. The native runs
share one save directory, the page's runs one browser profile. Screenshots
at the same passes are compared: the same pixels, or where pictures are
blended a channel off by at most 4 of 255 (SDL's blitters take MMX paths on
x86-64 and plain C ones in WebAssembly, which round differently, up to 2 a
blend; a window frame over a character blends twice); and the page's
traces must show the save and the load.

Usage: playthrough.py NATIVE_BUILD PAGE_URL WORKDIR
Prints one line per compared pass; exit status 1 on any failure."""
import json
import os
import subprocess
import sys
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from demo_story import (Runner, events, fail, first_session, input_lines, load_slot_two,  # noqa: E402
                        save_in_slot_two, title)

build, url, work = sys.argv[1:4]
here = os.path.dirname(os.path.abspath(__file__))
# Both builds' wall clocks start at the same time of day (faketime here,
# Date shifted in the page), so that the load screen shows the same save time.
CLOCK = "2026-01-02 03:04:00"
os.environ["TZ"] = "UTC"
os.environ["VANTOREL_PAGE_CLOCK"] = "2026-01-02T03:04:00Z"
run = Runner(os.path.join(build, "vantorel"), os.path.join(build, "game"), work)
probes = os.path.join(work, "probe-saves")  # the probes save nothing the sessions see

session, F1, F3, _, _ = first_session(run, save_dir=probes)
session += save_in_slot_two(F3)
G, _ = title(run, save_dir=probes)
second = load_slot_two(G, G + 600)

runs = [  # name, input, passes, screenshots
    ("title", [], 300, [1, 60, 200, 299]),
    ("session1", session, F3 + 400, [F1 + 5, F1 + 20, F3 + 5, F3 + 45]),
    ("session2", second, G + 600, [G + 50, G + 75, G + 150, G + 599]),
]
saves = os.path.join(work, "native-saves")
run.clock = CLOCK
for name, evs, frames, shots in runs:
    run.play(name, evs, frames, shots, save_dir=saves)

# The page: every run in one browser profile, one after the other.
argv = ["node", os.path.join(here, "run_page.cjs")]
for i, (name, evs, frames, shots) in enumerate(runs):
    q = f"headless&trace&answer=yes&frames={frames}&screenshot={','.join(map(str, shots))}"
    if evs:
        q += f"&input={urllib.parse.quote('|'.join(input_lines(evs)))}"
    argv += [f"{url}?{q}", f"{work}/{name}-web"]
    if i == 0:
        argv.append("300000")
r = subprocess.run(argv, capture_output=True, text=True, timeout=900)
print(r.stdout.strip())
if r.returncode != 0:
    fail(f"the page's runs: {r.stderr[-800:]}")


def page_trace(name):
    with open(f"{work}/{name}-web/trace.jsonl") as f:
        return [json.loads(line) for line in f]


status = 0
saved = [e for _, e in events(page_trace("session1"), "save")]
loaded = [e for _, e in events(page_trace("session2"), "load")]
if len(saved) != 1 or saved[0]["result"] != 0:
    print(f"FAIL session1: the page's saves: {saved}")
    status = 1
if len(loaded) != 1 or loaded[0]["result"] != 0 or not loaded[0]["path"].endswith("セーブデータ2.Dat"):
    print(f"FAIL session2: the page's loads after the reload: {loaded}")
    status = 1

for name, evs, frames, shots in runs:
    for n in shots:
        a, b = f"{work}/{name}-native-{n}.png", f"{work}/{name}-web/shot-{n}.png"
        if not os.path.exists(b):
            print(f"FAIL {name} pass {n}: the page wrote no screenshot")
            status = 1
            continue
        ae = subprocess.run(["compare", "-metric", "AE", a, b, f"{work}/{name}-diff-{n}.png"],
                            capture_output=True, text=True).stderr.strip()
        pae = subprocess.run(["compare", "-metric", "PAE", a, b, "null:"],
                             capture_output=True, text=True).stderr.split()[0]
        if ae == "0":
            print(f"  {name} pass {n}: same pixels")
        elif float(pae) <= 1028:  # 4 of 255, in 16-bit units
            print(f"  {name} pass {n}: {ae} pixels differ by at most {int(float(pae)) // 257} of 255 (blending)")
        else:
            print(f"FAIL {name} pass {n}: {ae} pixels differ, by up to {pae} of 65535 ({work}/{name}-diff-{n}.png)")
            status = 1
sys.exit(status)
