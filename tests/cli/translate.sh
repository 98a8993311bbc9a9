#!/usr/bin/env bash
# Translations end to end on the demo: extract gives a PO file msgfmt
# accepts; a translated PO makes the trace show the translation; editing one
# message in the sources and running update marks exactly that entry fuzzy;
# check finds a line made too long on purpose; the shipped English
# translation fits and the English demo plays to both endings.
set -u
BUILD="$(cd "$1" && pwd)"
SRC="$(cd "$2" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
command -v msgfmt >/dev/null || { echo "msgfmt not installed; skipping"; exit 0; }
T="$(mktemp -d)"
trap '[ -n "${KEEP:-}" ] && echo "kept $T" || rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
TOOL="$BUILD/vantorel-script"
cp -r "$BUILD/game" "$T/game"
cp -r "$SRC/game/scripts" "$T/src"

# extract: every text, a file msgfmt --check accepts; an existing file is not overwritten.
"$TOOL" translate extract --source "$T/src" -o "$T/fr.po" "$T/game" fr >/dev/null || fail "extract"
msgfmt --check -o /dev/null "$T/fr.po" || fail "msgfmt --check refuses the extracted file"
grep -q '^msgctxt "本編/学校.Dat:11"$' "$T/fr.po" || fail "no entry for the corridor's first message"
grep -q '^#: .*本編/学校.txt:8$' "$T/fr.po" || fail "no source line for it"
"$TOOL" translate extract "$T/game" en >/dev/null 2>&1 && fail "extract overwrote the shipped en.po"

# A translated entry shows, and is traced, in a run in that language.
python3 - "$T/fr.po" <<'PY' || fail "could not translate fr.po"
import sys
p = sys.argv[1]
s = open(p, encoding="utf-8").read()
old = 'msgctxt "本編/学校.Dat:11"\nmsgid "放課後の廊下は、しんと静まりかえっていた。"\nmsgstr ""'
assert old in s
s = s.replace(old, old[:-2] + '"Ça, c’est l’œuvre du soir : très calme."')
open(p, "w", encoding="utf-8").write(s)
PY
cp "$T/fr.po" "$T/game/GameData/Translations/fr.po"
for f in $(seq 60 20 900); do echo "$f tap decide"; done > "$T/taps.in"
XDG_CONFIG_HOME="$T/cfg" "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 900 --input "$T/taps.in" \
  --trace "$T/fr.jsonl" --language fr >/dev/null 2>&1 || fail "the French run failed"
grep -q '"message":"Ça, c’est l’œuvre du soir : très calme."' "$T/fr.jsonl" ||
  fail "the trace does not show the translation"
grep -q '"language":"fr"' "$T/fr.jsonl" || fail "the trace does not name the language"
# The PO file was kept compiled beside the settings; the next start reads
# that and shows the same.
CACHED="$(find "$T/cfg" -path '*/translations/fr.mo')"
[ -n "$CACHED" ] || fail "no compiled translation beside the settings: $(find "$T/cfg")"
XDG_CONFIG_HOME="$T/cfg" "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 900 --input "$T/taps.in" \
  --trace "$T/fr2.jsonl" --language fr >/dev/null 2>&1 || fail "the second French run failed"
cmp -s "$T/fr.jsonl" "$T/fr2.jsonl" ||
  fail "the run from the compiled translation differs"
XDG_CONFIG_HOME="$T/cfg2" "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 900 --input "$T/taps.in" \
  --trace "$T/ja.jsonl" >/dev/null 2>&1 || fail "the run in the original failed"
grep -q '"language"' "$T/ja.jsonl" && fail "a run without a translation traces a language"
grep -q '"message":"放課後の廊下は、しんと静まりかえっていた。' "$T/ja.jsonl" || fail "the original's message is not traced"

# update after editing one message: exactly that entry fuzzy.
cp "$BUILD/game/GameData/Translations/en.po" "$T/en.po"
sed -i 's/^僕： 「ごめん、陽菜。すっかり忘れてた」$/僕： 「ごめん、陽菜。うっかり忘れてた」/' "$T/src/本編/学校.txt"
grep -q 'うっかり' "$T/src/本編/学校.txt" || fail "the edit did not apply"
out="$("$TOOL" translate update --source "$T/src" "$T/game" "$T/en.po")" || fail "update"
echo "$out" | grep -q "119 translated, 1 fuzzy, 0 untranslated, 0 obsolete" || fail "update counts: $out"
msgfmt --check -o /dev/null "$T/en.po" || fail "msgfmt --check refuses the updated file"
fuzzy="$(msgattrib --only-fuzzy --no-obsolete "$T/en.po" | grep '^msgctxt')"
[ "$fuzzy" = 'msgctxt "本編/学校.Dat:37"' ] || fail "fuzzy entries: $fuzzy"

# check: the shipped translation fits; a line made too long does not.
"$TOOL" translate check --source "$SRC/game/scripts" "$BUILD/game" "$BUILD/game/GameData/Translations/en.po" \
  >"$T/check.txt" || fail "the English translation does not pass check: $(cat "$T/check.txt")"
python3 - "$BUILD/game/GameData/Translations/en.po" "$T/long.po" <<'PY'
import sys
s = open(sys.argv[1], encoding="utf-8").read()
s = s.replace('"“Yep! Apparently', '"“Yep! ' + "Really, truly, honestly, " * 12 + 'Apparently', 1)
assert "truly" in s
open(sys.argv[2], "w", encoding="utf-8").write(s)
PY
"$TOOL" translate check --format json "$BUILD/game" "$T/long.po" >"$T/long.json"
[ $? -eq 1 ] || fail "check passed a line too long"
python3 -c "
import json, sys
r = json.load(open('$T/long.json'))
c = [o['context'] for o in r['overflows']]
sys.exit(0 if c == ['本編/学校.Dat:72'] else 'overflows: %s' % c)" || fail "check did not name the long line"

# The English pictures each stand in for one of the original's, and every
# picture lettered in Japanese (the title's logo and buttons) has one.
( cd "$BUILD/game/GameData/Texture/en" && find . -type f ) >"$T/en-pictures.txt"
while read -r f; do
  [ -f "$BUILD/game/GameData/Texture/$f" ] || fail "en/$f replaces no picture of the original"
done <"$T/en-pictures.txt"
for f in Title/Logo.png Button/Start.png Button/Continue.png Button/Keys.png Button/Quit.png; do
  [ -f "$BUILD/game/GameData/Texture/en/$f" ] || fail "no English $f"
done

# The English demo plays to both endings.
GAME="$T/game" VANTOREL="$BUILD/vantorel" WORK="$T" python3 - <<'PY' || fail "the English demo"
import json, os, subprocess, sys
work, game = os.environ["WORK"], os.environ["GAME"]
def play(name, events, frames):
    inp, trace = f"{work}/{name}.in", f"{work}/{name}.jsonl"
    with open(inp, "w") as f:
        f.write("\n".join(f"{a} {w}" for a, w in sorted(events)) + "\n")
    subprocess.run([os.environ["VANTOREL"], "--headless", "--game-dir", game, "--frames", str(frames),
                    "--input", inp, "--trace", trace, "--language", "en"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120,
                   env=dict(os.environ, XDG_CONFIG_HOME=f"{work}/cfg-{name}"), check=True)
    return [json.loads(l) for l in open(trace)]
taps = [(f, "tap decide") for f in range(60, 8000, 20)]
probe = play("en1", taps, 8000)
menu = next(p for p in probe if p.get("menuActive") and not p.get("saveMode") and p.get("script") == "本編\\公園1.Dat")
labels = [i["label"] for i in menu["fontMenu"]["items"]]
if labels != ["“Let's call it with the sardines”", "“Let's wait quietly”"]:
    sys.exit(f"choice labels {labels}")
F = menu["frame"]
second = [e for e in taps if e[0] < F] + [(F + 10, "tap down 10"), (F + 30, "tap decide")]
second += [(f, "tap decide") for f in range(F + 60, 8000, 20)]
for name, trace in (("sardines", probe), ("waiting", play("en2", second, 8000))):
    opened = [e["name"] for p in trace for e in p.get("events", []) if e["type"] == "open"]
    reports = [e for p in trace for e in p.get("events", []) if e["type"] == "report"]
    ending = "本編\\結末_煮干し.Dat" if name == "sardines" else "本編\\結末_待つ.Dat"
    if reports or ending not in opened or trace[-1]["script"] != "本編\\おしまい.Dat" or trace[-1]["running"]:
        sys.exit(f"{name}: reports {reports}, opened {opened}, last {trace[-1]['script']}")
    if trace[-1].get("comfort", {}).get("language") != "en":
        sys.exit(f"{name}: not in English at the end")
print("both endings in English")
PY
echo "translate: ok"
