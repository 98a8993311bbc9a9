#!/usr/bin/env bash
# The comforts in a real window under Xvfb, driven with xdotool as a player
# would: the pointer over the title's buttons and a click on one, hiding the
# window with a right click, the history on the wheel, the settings on F2,
# Ctrl held from the school corridor's first message to the park's choice
# (its real time is printed), a click on a choice, and the system menu. Screenshots of each
# go to OUT (default /tmp/comfort-window) for a person to look at.
# Usage: scripts/check-comfort-window.sh BUILD [OUT]   (needs xvfb-run, xdotool, imagemagick's import)
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
OUT="${2:-/tmp/comfort-window}"
mkdir -p "$OUT"
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "needs $tool"; exit 2; }
done
T=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] && echo "kept $T" || rm -rf "$T"' EXIT
cp -rL "$BUILD/game" "$T/game"
rm -f "$T/game/GameData/Text/セーブデータ/"*.Dat

cat >"$T/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -euo pipefail
cd "$T"
XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/cfg" SDL_AUDIODRIVER=dummy \
  "$BUILD/vantorel" --game-dir "$T/game" --trace "$T/trace.jsonl" 2>"$T/err.txt" &
game=$!
# waits until the trace's last line satisfies the Python expression on p (a dict)
until_trace() {
  for _ in $(seq 1 400); do
    if python3 - "$1" <<'PY' 2>/dev/null; then return 0; fi
import json, sys
lines = open("trace.jsonl").read().splitlines()
p = json.loads(lines[-1]) if lines else {}
sys.exit(0 if eval(sys.argv[1]) else 1)
PY
    sleep 0.05
  done
  echo "never: $1" >&2
  kill "$game"
  exit 1
}
shot() { sleep 0.3; import -window root "$OUT/$1.png"; }
until_trace 'p.get("buttonMenuActive")'
win=$(xdotool search --sync --name Vantorel | head -1)
# The game area starts below the 22-pixel menu bar.
at() { xdotool mousemove --window "$win" "$1" $(( $2 + 22 )); }
at 75 100; shot 1-title-hover
at 75 30; sleep 0.2; xdotool click 1
until_trace 'p.get("script") == "本編\\学校.Dat" and p.get("message")'
until_trace 'not p.get("typing")'
shot 2-corridor
xdotool click 3; shot 3-hidden
xdotool click 1; sleep 0.2
xdotool click 4; shot 4-history
xdotool click 5; sleep 0.2
xdotool key F2; shot 5-settings
xdotool key Escape; sleep 0.2
start=$(python3 -c 'import json; print(json.loads(open("trace.jsonl").read().splitlines()[-1])["ms"])')
xdotool keydown Control_L
until_trace 'p.get("menuActive") and not p.get("saveMode") and not p.get("loadMode")'
xdotool keyup Control_L
end=$(python3 -c 'import json; print(json.loads(open("trace.jsonl").read().splitlines()[-1])["ms"])')
echo "ctrl-skip corridor to the park's choice: $(( end - start )) ms" | tee "$OUT/skip.txt"
shot 6-choice
# Hover the second choice and click it.
python3 - >"$T/item.txt" <<'PY'
import json
p = json.loads(open("trace.jsonl").read().splitlines()[-1])
items = p["fontMenu"]["items"]
print(int(items[1]["x"]) + 10, int(items[1]["y"]) + 5)
PY
read -r ix iy <"$T/item.txt"
at "$ix" "$iy"; shot 7-choice-hover
xdotool click 1
until_trace '"公園_" in p.get("script", "")'
shot 8-after-choice
# The system menu lists the comforts above quitting.
xdotool mousemove --window "$win" 30 10 click 1; shot 9-system-menu
xdotool key Escape
kill "$game"
wait "$game" 2>/dev/null || true
grep -h '"type":"report"' "$T/trace.jsonl" | head -3 || true
DRIVE
chmod +x "$T/drive.sh"
T="$T" BUILD="$BUILD" OUT="$OUT" xvfb-run -a -s "-screen 0 800x600x24" "$T/drive.sh"
echo "screenshots in $OUT"
