#!/usr/bin/env bash
# Quick save, quit, --continue: the game resumes at the saved script and word
# with the history reaching back before the save. A save of a script edited
# since loads at the same word when the words up to it are unchanged, else at
# the nearest earlier message still there, else at the start of the script,
# said once as a note (no failure report); a save of a script that is gone is
# refused with a report.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
SRC="$(cd "$2" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T=$(mktemp -d)
[ -z "${KEEP:-}" ] || echo "kept in $T"
trap '[ -n "${KEEP:-}" ] || rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cp -rL "$BUILD/game" "$T/game"
cp -r "$SRC/game/scripts" "$T/src"
export XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/cfg"

# Through the title into the school, a quick save at its second message,
# two messages more, then the run ends (and autosaves).
{
  for f in $(seq 40 30 530); do echo "$f tap decide"; done
  echo "560 tap key:F5"
  echo "590 tap decide"
  echo "620 tap decide"
} >"$T/play.txt"
"$BUILD/vantorel" --headless --game-dir "$T/game" --frames 650 --input "$T/play.txt" --trace "$T/play.jsonl" \
  --save-dir "$T/saves" 2>/dev/null || fail "play: exit status $?"

# facts TRACE: the script, position, message and how much of it is typed in
# the pass that quick-saved (else the first pass), the script and position of
# the last pass, whether the history is open
# then and what it holds; tab-separated, each as JSON (one start-up of
# Python a trace: it is slow to start on a busy machine).
facts() {
  python3 - "$1" <<'PY'
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8")]
saved = [i for i, l in enumerate(lines) if any(e.get("type") == "save" and e.get("kind") == "quick" for e in l["events"])]
# The pass before the one that saved holds where the save stands.
first = lines[saved[0] - 1] if saved else lines[0]
last = lines[-1]
comfort = last.get("comfort", {})
out = [first.get("script"), first.get("position"), first.get("message"), last.get("script"),
       last.get("position"), comfort.get("historyOpen"), comfort.get("history"), first.get("typed")]
print("\t".join(json.dumps(v, ensure_ascii=False) for v in out))
PY
}
# at NAME: the facts of NAME.jsonl into s0 p0 m0 (first), s1 p1 (last), open, history, t0 (first).
at() { IFS=$'\t' read -r s0 p0 m0 s1 p1 open history t0 < <(facts "$T/$1.jsonl"); }
grep -q '"type":"save","kind":"quick","file":"quick.vsave"' "$T/play.jsonl" || fail "play: no quick save"
at play
script=$s0 position=$p0 message=$m0
[ "$script" = '"本編\\学校.Dat"' ] || fail "play: saved in $script"
[ "$p1" -gt "$position" ] || fail "play: the game did not go on after the save"
[ -f "$T/saves/saves/auto-00.vsave" ] || fail "play: no autosave at the end"
# The quit's autosave, written within a second of the quick save, is the
# newer: --continue takes it.
"$BUILD/vantorel" --headless --game-dir "$T/game" --frames 5 --continue --trace "$T/newest.jsonl" \
  --save-dir "$T/saves" 2>/dev/null || fail "newest: exit status $?"
grep -q '"type":"load","kind":"auto"' "$T/newest.jsonl" || fail "newest: --continue did not take the quit's autosave"
# Without the autosaves --continue has only the quick save to take.
rm -f "$T/saves/saves/"auto-*.vsave
cp -r "$T/saves" "$T/saved"

# resume NAME: --continue with a copy of the saves, the history opened with
# Page Up; the trace in NAME.jsonl, stderr in NAME.err.
resume() {
  rm -rf "$T/saves" && cp -r "$T/saved" "$T/saves"
  printf '30 tap key:PageUp\n' >"$T/resume.txt"
  "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 45 --continue --input "$T/resume.txt" \
    --trace "$T/$1.jsonl" --save-dir "$T/saves" 2>"$T/$1.err" || fail "$1: exit status $?"
}

# 1. Unchanged: the same place, the message, the history before the save.
resume continue
grep -q '"type":"load","kind":"quick","file":"quick.vsave"' "$T/continue.jsonl" || fail "continue: not loaded"
at continue
[ "$s0" = "$script" ] || fail "continue: another script"
[ "$p0" = "$position" ] || fail "continue: another position"
[ "$m0" = "$message" ] || fail "continue: another message"
[ "$open" = true ] || fail "continue: the history did not open"
case "$history" in *放課後の廊下は、しんと静まりかえっていた。*窓から差しこむ夕日が*) ;;
  *) fail "continue: the history does not reach back before the save: $history" ;; esac
case "$history" in *すっかり遅くなっちゃったな*) fail "continue: the history holds what came after the save" ;; esac
grep -q '"type":"report"' "$T/continue.jsonl" && fail "continue: a failure was reported"
# The music back at the place the save holds, not from its beginning.
tick=$(python3 - "$T/saved/saves/quick.vsave" <<'PY'
import sys
def fields(b):
    out, i = [], 0
    while i < len(b):
        sp, nl = b.index(b" ", i), b.index(b"\n", i)
        n = int(b[sp + 1:nl])
        out.append((b[i:sp], b[nl + 1:nl + 1 + n]))
        i = nl + 2 + n
    return out
data = open(sys.argv[1], "rb").read()
entry = [v for k, v in fields(data[data.index(b"\n") + 1:]) if k == b"entry"][-1]
state = dict(fields(dict(fields(entry))[b"state"]))
print(state.get(b"musicTick", b"none").decode())
PY
)
[ "$tick" -gt 0 ] 2>/dev/null || fail "continue: the save holds no place in the music ($tick)"
grep -q "\"type\":\"midi\",\"name\":\"[^\"]*\",\"result\":0,\"at\":$tick}" "$T/continue.jsonl" ||
  fail "continue: the music did not come back at its place ($tick)"
grep -q 'スクリプトが変わって' "$T/continue.err" && fail "continue: an unchanged script was said to have changed"

# rebuild: the edited sources into the game copy.
rebuild() { "$BUILD/vantorel-script" build "$T/src" "$T/game" >/dev/null || fail "the edited script does not build"; }
school="$T/src/本編/学校.txt"
cp "$school" "$T/school.orig"

# fitted NAME NOTE: loaded without a failure report, the note said exactly once.
fitted() {
  grep -q '"type":"load","kind":"quick"' "$T/$1.jsonl" || fail "$1: not loaded"
  grep -q '"type":"report"' "$T/$1.jsonl" && fail "$1: the fitted load was reported as a failure"
  [ "$(grep -o "$2" "$T/$1.jsonl" | wc -l)" = 1 ] || fail "$1: the note was not said once in the trace"
  [ "$(grep -c "$2" "$T/$1.err")" = 1 ] || fail "$1: the note was not said once on the debug output"
}

# 2. Changed after the saved word: the same word.
sed -i 's/いつの間にかこんな時間だ。/気づけばもう夕方だ。/' "$school"
rebuild
resume after
fitted after 同じ場所から続けます
at after
[ "$p0" = "$position" ] || fail "after: moved from the saved word"
[ "$m0" = "$message" ] || fail "after: another message"

# 3. Words added before it: the saved message where it stands now, said so.
cp "$T/school.orig" "$school"
sed -i '0,/^ナレーション： 放課後の廊下は/s//ナレーション： 遠くで部活の声がする。\n.\n&/' "$school"
rebuild
resume before
fitted before 同じメッセージから続けます
at before
[ "$m0" = "$message" ] || fail "before: not at the saved message"
[ "$p0" -gt "$position" ] || fail "before: not moved past the added words"
case "$history" in *窓から差しこむ夕日が*) ;; *) fail "before: the history was lost" ;; esac

# 4. Every message up to it rewritten: the start of the script.
cp "$T/school.orig" "$school"
sed -i -e 's/放課後の廊下は、しんと静まりかえっていた。/放課後の廊下には、誰もいなかった。/' \
  -e 's/窓から差しこむ夕日が、/窓からの夕日が、/' "$school"
rebuild
resume start
fitted start そのスクリプトの最初から続けます
at start
[ "$s0" = "$script" ] || fail "start: another script"
# Stepped from its first word: stopped at its opening fade, the old message
# no longer shown (as when the script opens afresh).
[ "$p0" -le 2 ] || fail "start: not at the start"
[ "$t0" = 0 ] && [ "$m0" = '""' ] || fail "start: the old message is still shown ($t0 typed of $m0)"

# 5. The script gone: refused in the player's words, the game at its title.
rm -f "$T/game/GameData/Text/本編/学校E.Dat"
resume gone
grep -q '"type":"load"' "$T/gone.jsonl" && fail "gone: loaded"
grep -q '"type":"report".*このセーブデータのスクリプトは、今のゲームにはもうありません。' "$T/gone.jsonl" ||
  fail "gone: not refused in the player's words"
at gone  # nothing saved in this run: the first pass is start-up's title
[ "$s1" = "$s0" ] && [ "$p1" = "$p0" ] || fail "gone: not left at the title"
echo "continue: resumed with the history; edited scripts fitted and said once; a gone script refused"
