#!/usr/bin/env bash
# Figures for the authors' tools, on games made for the purpose:
#   check    `check --source` and `check` (built) on a game of SCRIPTS scripts
#            (default 1000) that reach one another through menus and gotos
#   lsp      the language server's answer to a change in a script of LINES
#            lines (default 2000): from sending didChange to receiving its
#            diagnostics, over ROUNDS edits (default 40)
#   scripts/measure-authoring.sh [BUILD_DIR] [check|lsp ...]   (default: both)
set -euo pipefail
BUILD="$(cd "${1:-build}" && pwd)"
shift || true
PARTS="${*:-check lsp}"
TOOL="$BUILD/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load $(cut -d' ' -f1-3 /proc/loadavg)"
"$TOOL" new "$WORK/game" >/dev/null

SCRIPTS="${SCRIPTS:-1000}" LINES="${LINES:-2000}" ROUNDS="${ROUNDS:-40}" TOOL="$TOOL" WORK="$WORK" PARTS="$PARTS" \
python3 - <<'PY'
import json, os, statistics, subprocess, sys, time, pathlib
work, tool, parts = pathlib.Path(os.environ["WORK"]), os.environ["TOOL"], os.environ["PARTS"].split()
game, src = work / "game", work / "game" / "scripts"

def scene(i, n, lines):
    """A script of about `lines` lines: messages, pictures, sounds, a choice."""
    out = [f"/* 場面 {i} */", "BG 公園", "Left 立ち陽菜", "Right 立ち詩織"]
    k = 0
    while len(out) < lines - 8:
        k += 1
        out += [f"陽菜： 「{i}の{k}。夕方の公園は静かだね」", ".", "SEPlay 足音" if k % 5 == 0 else "Center 立ちミケ", f"詩織： 「そうね、{k}」", "."]
    nxt = f"量産\\場面{(i + 1) % n}"
    out += ["FontMenu {", "  フォーマット 1 2", "  メニューアイテム {",
            f"    「先へ」 1 {nxt}", "    「戻る」 2 オープニング\\オープニング1", "  }", "}"]
    return "\n".join(out) + "\n"

def timed(cmd):
    best = None
    for _ in range(3):
        t = time.perf_counter()
        r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        dt = time.perf_counter() - t
        best = dt if best is None else min(best, dt)
    return best, r

if "check" in parts:
    n = int(os.environ["SCRIPTS"])
    (src / "量産").mkdir()
    for i in range(n):
        (src / "量産" / f"場面{i}.txt").write_text(scene(i, n, 40), encoding="utf-8")
    # The first choice leads into them.
    p = src / "本編" / "ひと休み.txt"
    p.write_text(p.read_text(encoding="utf-8").replace("本編\\夜", "量産\\場面0"), encoding="utf-8")
    subprocess.run([tool, "build", str(src), str(game)], check=True, stdout=subprocess.DEVNULL)
    total = len(list(src.rglob("*.txt")))
    lines = sum(len(f.read_text(encoding="utf-8").splitlines()) for f in src.rglob("*.txt"))
    t, r = timed([tool, "check", "--source", str(src), str(game)])
    print(f"check --source, {total} scripts ({lines} lines): {t:.3f} s (best of 3): {r.stdout.strip().splitlines()[-1]}")
    t, r = timed([tool, "check", str(game)])
    print(f"check (built game), {total} scripts: {t:.3f} s (best of 3): {r.stdout.strip().splitlines()[-1]}")

if "lsp" in parts:
    lines = int(os.environ["LINES"])
    long = src / "本編" / "長い.txt"
    text = scene(0, 1, lines).replace("量産\\場面0", "本編\\結末")
    long.write_text(text, encoding="utf-8")
    p = subprocess.Popen(os.environ.get("LSP_WRAP", "").split() + [tool, "lsp", "--game", str(game)], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    def send(m):
        b = json.dumps(m).encode()
        p.stdin.write(b"Content-Length: %d\r\n\r\n" % len(b) + b)
        p.stdin.flush()
    def read():
        n = None
        while True:
            line = p.stdout.readline().strip()
            if not line:
                break
            if line.lower().startswith(b"content-length:"):
                n = int(line.split(b":")[1])
        return json.loads(p.stdout.read(n))
    def diagnostics(uri):
        while True:
            m = read()
            if m.get("method") == "textDocument/publishDiagnostics" and m["params"]["uri"] == uri:
                return m["params"]["diagnostics"]
    send({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"processId": None, "rootUri": None, "capabilities": {}}})
    read()
    uri = long.as_uri()
    t = time.perf_counter()
    send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
          "params": {"textDocument": {"uri": uri, "languageId": "vantorel", "version": 1, "text": text}}})
    diagnostics(uri)
    opened = time.perf_counter() - t
    rows = text.split("\n")
    times = []
    for k in range(int(os.environ["ROUNDS"])):
        rows[100 + k] = "SEPaly 足音" if k % 2 == 0 else "SEPlay 足音"  # a typo made and mended
        t = time.perf_counter()
        send({"jsonrpc": "2.0", "method": "textDocument/didChange",
              "params": {"textDocument": {"uri": uri, "version": k + 2}, "contentChanges": [{"text": "\n".join(rows)}]}})
        d = diagnostics(uri)
        times.append((time.perf_counter() - t) * 1000)
        if k % 2 == 0 and not any("SEPlay" in x["message"] for x in d):
            sys.exit("the typo was not reported")
    send({"jsonrpc": "2.0", "id": 2, "method": "shutdown", "params": None})
    read()
    send({"jsonrpc": "2.0", "method": "exit", "params": None})
    p.wait()
    times.sort()
    print(f"lsp, a change in a {len(rows)}-line script of a {len(list(src.rglob('*.txt')))}-script game: "
          f"median {statistics.median(times):.1f} ms, 90th percentile {times[int(len(times) * 0.9) - 1]:.1f} ms, "
          f"max {times[-1]:.1f} ms over {len(times)} changes (the first open: {opened * 1000:.0f} ms)")
PY
