#!/usr/bin/env bash
# The demo game unpacked in each of the three name forms an archive leaves
# (UTF-8, raw CP932 bytes, CP932 read as code page 437 by plain unzip) plays
# the same: the same trace, pass for pass, from the title into the story
# (scripts, pictures, music and sounds all found). Writing into such a tree
# is pinned by the path resolver's unit test.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
BUILD="$BUILD" T="$T" python3 - <<'PY'
import os, shutil, subprocess, sys

build, t = os.environ["BUILD"], os.environ["T"]
forms = {
    "utf8": lambda name: name.encode(),
    "cp932": lambda name: name.encode("cp932"),
    "cp437": lambda name: name.encode("cp932").decode("cp437").encode(),
}

def copy_tree(src, dst, rename):
    os.makedirs(dst)
    for entry in sorted(os.listdir(src)):
        s = os.path.join(src, entry)
        d = os.path.join(dst.encode() if isinstance(dst, str) else dst, rename(entry))
        if os.path.isdir(s):
            copy_tree(s, d, rename)
        else:
            shutil.copyfile(s, d)

# Taps of decide every half second: the title's first button, then the story.
with open(f"{t}/taps.in", "w") as f:
    for frame in range(40, 1800, 30):
        f.write(f"{frame} tap decide\n")

traces = {}
for form, rename in forms.items():
    game = f"{t}/{form}"
    copy_tree(f"{build}/game", game.encode(), rename)
    trace = f"{t}/{form}.jsonl"
    r = subprocess.run([f"{build}/vantorel", "--headless", "--game-dir", game, "--frames", "1800",
                        "--input", f"{t}/taps.in", "--trace", trace],
                       env=dict(os.environ, XDG_CONFIG_HOME=f"{t}/cfg"), capture_output=True, text=True, timeout=120)
    if r.returncode != 0:
        sys.exit(f"FAIL: {form}: status {r.returncode}: {r.stderr[-600:]}")
    with open(trace, encoding="utf-8") as f:
        traces[form] = f.read()
    if '"type":"report"' in traces[form]:
        sys.exit(f"FAIL: {form}: a failure was reported")

if '"type":"open"' not in traces["utf8"] or traces["utf8"].count("\n") < 100:
    sys.exit("FAIL: the UTF-8 run did not play")
for form in ("cp932", "cp437"):
    if traces[form] != traces["utf8"]:
        a, b = traces["utf8"].splitlines(), traces[form].splitlines()
        at = next(i for i in range(min(len(a), len(b))) if a[i] != b[i]) if a[:len(b)] != b[:len(a)] else min(len(a), len(b))
        sys.exit(f"FAIL: {form} differs from utf8 at trace line {at + 1}:\n{a[at][:300] if at < len(a) else ''}\n{b[at][:300] if at < len(b) else ''}")
print("name forms: the three trees play alike")
PY
