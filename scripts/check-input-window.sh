#!/usr/bin/env bash
# Presses in a real window under Xvfb, driven with xdotool as a player would:
# 15 taps of Return (`xdotool key`, press and release within a millisecond)
# and then clicks up to the park's choice, each on a typed-out message,
# counting those that advanced it;
# Return held from the park's 「さて、どうしようか。」 into its choice, the wheel
# over it, a click on its second item; six taps of Right on the settings
# screen; then, in a second run, the key configuration worked with the mouse
# alone. Prints the counts; screenshots go to OUT (default /tmp/input-window).
# Usage: [DISPLAY_NUMBER=N] scripts/check-input-window.sh BUILD [OUT]   (needs xvfb-run, xdotool, imagemagick's import)
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
OUT="${2:-/tmp/input-window}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"
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
# No key repeat: on a busy machine the server may be slow to see xdotool's
# release and repeat the key meanwhile, which would be more presses.
python3 -c 'import ctypes; x = ctypes.CDLL("libX11.so.6"); x.XOpenDisplay.restype = ctypes.c_void_p
d = ctypes.c_void_p(x.XOpenDisplay(None)); x.XAutoRepeatOff(d); x.XCloseDisplay(d)'
# Every xdotool call is logged with the pass the trace last showed.
xdo() {
  echo "$(tail -c 200000 trace.jsonl 2>/dev/null | grep -o '"frame":[0-9]*' | tail -1) $*" >>"$T/xdotool.log"
  command xdotool "$@"
}
start_game() {
  rm -f trace.jsonl
  XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/cfg" SDL_AUDIODRIVER=dummy \
    "$BUILD/vantorel" --game-dir "$T/game" --trace "$T/trace.jsonl" 2>>"$T/err.txt" &
  game=$!
}
# The trace's last whole line (the game may be writing the next one).
cat >"$T/lastline.py" <<'PY'
import json
def last():
    text = open("trace.jsonl").read()
    lines = text[: text.rfind("\n") + 1].splitlines()
    return json.loads(lines[-1]) if lines else {}
PY
export PYTHONPATH="$T"
last() { python3 -c 'import sys; from lastline import last; print(last().get(sys.argv[1], ""))' "$1"; }
# waits until the trace's last line satisfies the Python expression on p (a
# dict); with a second argument, gives up quietly after that many seconds
until_trace() {
  local tries=$(( ${2:-20} * 20 ))
  for _ in $(seq 1 "$tries"); do
    if python3 - "$1" <<'PY' 2>/dev/null; then return 0; fi
import sys
from lastline import last
p = last()
sys.exit(0 if eval(sys.argv[1]) else 1)
PY
    sleep 0.05
  done
  [ -n "${2:-}" ] && return 1
  echo "never: $1" >&2
  kill "$game"
  exit 1
}
shot() { sleep 0.3; import -window root "$OUT/$1.png"; }
# The game area starts below the 22-pixel menu bar.
at() { xdotool mousemove --window "$win" "$1" $(( $2 + 22 )); }
# Ready for a decide: the text typed out and no fade holding the script.
ready() {
  sleep 0.3  # a step's message starts typing in the pass after it
  until_trace 'not p.get("typing") and not p.get("imageFadeActive") and not p.get("volumeFadeActive") and p.get("running")'
  sleep 0.2
}
steps() { grep -c '"type":"step"' trace.jsonl || true; }
# Waits for the script to step after the press "$@" made (up to 10 s: a
# machine that is busy elsewhere slows the game); prints 1 if it did. Fades step the script by themselves when they end, so
# presses are made only on a typed-out message, never while one runs.
pressed() {
  local before
  before=$(steps)
  "$@"
  for _ in $(seq 1 200); do
    [ "$(steps)" -gt "$before" ] && { echo 1; return; }
    sleep 0.05
  done
  echo 0
}
# One press by "$@" on the next typed-out message (waits without text are
# passed with Return, uncounted); prints 1 when it stepped the script.
advance() {
  ready
  while [ -z "$(last message)" ]; do
    pressed xdo key Return >/dev/null
    ready
  done
  pressed "$@"
}

start_game
until_trace 'p.get("buttonMenuActive")'
win=$(xdotool search --sync --name Vantorel | head -1)
shot 1-title
xdo key Return  # はじめから
until_trace 'p.get("script") == "本編\\学校.Dat" and p.get("message")'
keys=0
for _ in $(seq 1 15); do keys=$(( keys + $(advance xdo key Return) )); done
# Then clicks, over the message, on to the park's last message before its choice.
at 400 200
clicks=0
made=0
while ! grep -q 'さて、どうしようか' trace.jsonl && [ "$made" -lt 40 ]; do
  clicks=$(( clicks + $(advance xdo click 1) ))
  made=$(( made + 1 ))
done
echo "xdotool key Return advanced $keys of 15 messages; xdotool click 1 advanced $clicks of $made" | tee "$OUT/counts.txt"
ready
case "$(last message)" in *さて、どうしようか*) ;; *) echo "not at さて、どうしようか。: $(last message)" >&2; kill "$game"; exit 1 ;; esac
shot 2-asked
xdo keydown Return
sleep 0.6
xdo keyup Return
sleep 1
held=$(python3 -c '
from lastline import last
p = last()
print("open, nothing chosen" if p.get("menuActive") and "公園_" not in p.get("script", "") else "CHOSEN: " + p.get("script", ""))')
echo "Return held 0.6 s from さて、どうしようか。 into the choice: $held" | tee -a "$OUT/counts.txt"
shot 3-choice-after-held-return
at 600 40
for _ in 1 2 3; do xdo click 5; sleep 0.3; done
python3 - >"$T/item.txt" <<'PY'
from lastline import last
p = last()
items = p["fontMenu"]["items"]
print(int(items[1]["x"]) + 10, int(items[1]["y"]) + 5)
PY
read -r ix iy <"$T/item.txt"
at "$ix" "$iy"
for _ in 1 2; do xdo click 5; sleep 0.3; done
wheel=$(python3 -c '
from lastline import last
p = last()
print("open, nothing chosen" if p.get("menuActive") and "公園_" not in p.get("script", "") else "CHOSEN: " + p.get("script", ""))')
echo "wheel down 3 times off the items and twice on one: $wheel" | tee -a "$OUT/counts.txt"
shot 4-choice-after-wheel
xdo click 1
until_trace '"公園_待つ" in p.get("script", "")'
echo "a click on the second item chose 本編\\公園_待つ.Dat" | tee -a "$OUT/counts.txt"
# The settings: down to the auto wait, six taps of Right.
xdo key F2
until_trace '(p.get("comfort") or {}).get("settingsOpen")'
xdo key Down
sleep 0.3
for _ in $(seq 1 6); do xdo key Right; sleep 0.3; done
delay=$(python3 -c 'from lastline import last; print(last()["comfort"]["settings"])')
echo "settings after Down and six taps of Right: $delay" | tee -a "$OUT/counts.txt"
shot 5-settings
xdo key Escape
sleep 0.3
kill "$game"; wait "$game" 2>/dev/null || true

# The key configuration with the mouse alone: キー設定 on the title, the
# keyboard cell of 決定ボタン（共通）, K, then OK.
start_game
until_trace 'p.get("buttonMenuActive")'
win=$(xdotool search --sync --name Vantorel | head -1)
python3 - >"$T/item.txt" <<'PY'
from lastline import last
p = last()
b = [i for i in p["buttonMenu"]["items"] if i["label"] == "キー設定"][0]
print(int(b["x"] + b["w"] / 2), int(b["y"] + b["h"] / 2))
PY
read -r bx by <"$T/item.txt"
at "$bx" "$by"; sleep 0.2; xdo click 1
until_trace '"keyconfig" in p'
shot 6-keyconfig
at 300 144; shot 7-keyconfig-hover
xdo click 1; shot 8-keyconfig-capturing
xdo key k; shot 9-keyconfig-bound
at 320 382; sleep 0.2; xdo click 1
until_trace '"keyconfig" not in p'
bound=$(grep -h '^7 key:K$' "$T/cfg/vantorel/"*.bindings || echo "not bound")
echo "key configuration by mouse: decide bound to K ($bound)" | tee -a "$OUT/counts.txt"
shot 10-after-keyconfig
kill "$game"; wait "$game" 2>/dev/null || true
DRIVE
chmod +x "$T/drive.sh"
T="$T" BUILD="$BUILD" OUT="$OUT" xvfb-run -a -n "${DISPLAY_NUMBER:-99}" -s "-screen 0 800x600x24" "$T/drive.sh"
