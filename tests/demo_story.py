"""The demo's story as headless runs find it, shared by the playthrough
tests (tests/cli/demo_playthrough.sh natively, tests/web/playthrough.py
against the page): the title's first button, the park's second choice, a
save in slot 2 at the rest point and a quit through the menu; then a second
start, "つづきから" on the title and slot 2 on the load screen. The frames
where menus open are found from traces of earlier runs, so the input
follows the story as it is written."""
import json
import os
import subprocess
import sys


def fail(msg):
    sys.exit("FAIL: " + msg)


def input_lines(events):
    """The scripted input file's lines, in frame order."""
    return [f"{at} {what}" for at, what in sorted(events, key=lambda e: e[0])]


def taps(start, stop, every=20):
    return [(f, "tap decide") for f in range(start, stop, every)]


def events(trace, kind):
    return [(p["frame"], e) for p in trace for e in p.get("events", []) if e["type"] == kind]


def first(trace, test, after=0, what="state"):
    for p in trace:
        if p["frame"] >= after and test(p):
            return p
    fail(f"never reached: {what}")


def choice(p):
    return p.get("menuActive") and not p.get("saveMode") and not p.get("loadMode")


def save_screen(p):
    return p.get("menuActive") and p.get("saveMode")


def load_screen(p):
    return p.get("menuActive") and p.get("loadMode")


class Runner:
    """Native headless runs of one game, their files in work."""

    def __init__(self, native, game, work, env=None, clock=None):
        """clock: a start time for the runs' wall clock ("2026-01-02
        03:04:00", faketime's), so that a save's time shows the same."""
        self.native, self.game, self.work, self.env, self.clock = native, game, work, env, clock
        self.runs = 0

    def play(self, name, evs, frames, shots=(), save_dir=None):
        """Runs the game with the given input events; returns the trace.
        Screenshots go to WORK/NAME-native-N.png."""
        self.runs += 1
        inp, trace = f"{self.work}/{name}.in", f"{self.work}/{name}.jsonl"
        with open(inp, "w") as f:
            f.write("\n".join(input_lines(evs)) + "\n")
        args = [self.native, "--headless", "--game-dir", self.game, "--answer", "yes", "--frames", str(frames),
                "--input", inp, "--trace", trace]
        if save_dir:
            os.makedirs(save_dir, exist_ok=True)
            args += ["--save-dir", save_dir]
        for n in shots:
            args += ["--screenshot", f"{n}:{self.work}/{name}-native-{n}.png"]
        if self.clock:
            args = ["faketime", "-f", "@" + self.clock] + args
        r = subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, timeout=120,
                           env=self.env)
        if r.returncode != 0:
            fail(f"run {name} ended with status {r.returncode}: {r.stderr[-800:]}")
        with open(trace) as f:
            return [json.loads(line) for line in f]


def first_session(run, save_dir=None):
    """Finds the park's choice and the save screen. Returns (the session's
    input up to the save screen, F1, F3, the pass at the choice, the pass
    at the save screen); the session's own input after F3 is the caller's."""
    probe = run.play("probe1", taps(60, 4000), 4000, save_dir=save_dir)
    at_choice = first(probe, choice, what="the park's choice (a font menu)")
    F1 = at_choice["frame"]
    # The second choice: down, then decide; read on to the rest point.
    session = [e for e in taps(60, 4000) if e[0] < F1] + [(F1 + 10, "tap down 10"), (F1 + 30, "tap decide")]
    session += taps(F1 + 60, F1 + 4000)
    probe = run.play("probe2", session, F1 + 4000, save_dir=save_dir)
    at_save = first(probe, save_screen, F1, "the save screen")
    F3 = at_save["frame"]
    # The tap that chose "セーブ" on the rest point's menu opened the screen
    # in its own frame: the input goes up to it.
    return [e for e in session if e[0] <= F3], F1, F3, at_choice, at_save


def save_in_slot_two(F3):
    """On the save screen: the back item first, then slots 1, 2, 3. Down
    twice to slot 2, decide, then quit through the menu (answered yes)."""
    return [(F3 + 10, "tap down 10"), (F3 + 30, "tap down 10"), (F3 + 50, "tap decide"), (F3 + 90, "menu-quit")]


def title(run, save_dir=None):
    """The pass where the title's buttons first take input, and that pass."""
    probe = run.play("probe3", [], 400, save_dir=save_dir)
    at_title = first(probe, lambda p: p.get("buttonMenuActive"), what="the title menu")
    return at_title["frame"], at_title


def load_slot_two(G, until):
    """The title's second button, then on the load screen (the back item,
    slot 1 empty and passed over) slot 2; then reading on until `until`."""
    second = [(G + 10, "tap down 10"), (G + 30, "tap decide"), (G + 60, "tap down 10"), (G + 80, "tap decide")]
    return second + taps(G + 120, until)
