#!/usr/bin/env bash
# The demo game that the build puts into BUILD/game is complete: the message
# window's pictures, every script source under its enciphered name, every
# picture, sound and script file the scripts and their menus name, no picture
# alias used without a Texture line, a button picture for every button, no
# sound played that was not loaded, sound files of the right formats, and no
# message longer than the window's three rows.
set -u
BUILD="$(cd "$1" && pwd)"
SRC="$(cd "$2" && pwd)"
GAME="$BUILD/game/GameData"
SCRIPTS="$SRC/game/scripts"
if grep -q '^VANTOREL_GAME:BOOL=OFF' "$BUILD/CMakeCache.txt" 2>/dev/null; then
  echo "the demo game is not configured in this build; nothing to check"
  exit 0
fi
fail=0
problem() {
  echo "FAIL: $*"
  fail=1
}
need() { [ -s "$1" ] || problem "missing ${1#"$BUILD"/}"; }

# The engine path of a script below GameData/Text in its enciphered form: an
# "E" before the first "." (the game reads scripts enciphered).
enciphered() { local p="$1"; echo "${p%%.*}E.${p#*.}"; }

for f in MsgBox/MsgBox.dds MsgBox/CharaPicFrame.dds MsgBox/Cursor.tga; do need "$GAME/Texture/$f"; done

mapfile -d '' sources < <(cd "$SCRIPTS" && find . -name '*.txt' -print0 | sort -z)
[ "${#sources[@]}" -gt 0 ] || problem "no script sources in $SCRIPTS"
for s in "${sources[@]}"; do
  rel="${s#./}"
  need "$GAME/Text/$(enciphered "${rel%.txt}.Dat")"
done
need "$GAME/Text/$(enciphered 'オープニング/オープニング1.Dat')"

# Walk the words as the interpreter takes them (comment blocks removed,
# commands with their argument words, menu blocks skipped) and print what
# the game needs: "file KIND NAME", "use ALIAS", "long FILE BYTES WORD".
# Byte lengths are those of CP932, where the row breaks are counted.
walk() {
  LC_ALL=C awk '
    BEGIN {
      for (i = 0; i < 256; i++) ord[sprintf("%c", i)] = i
      split("Battle Map キーコンフィグ GameEnd LoadMenu", z, " ");                            for (k in z) args[z[k]] = 0
      split("NextScriptFile FadeIn FadeOut MIDIPlay SEPlay TexLoad TexUnload SaveMenu Load load goto BG bg Right right Center center WideCenter Left left Clear", o, " "); for (k in o) args[o[k]] = 1
      split("MIDILoad SELoad Save save Texture texture", t, " ");                            for (k in t) args[t[k]] = 2
      split("BG bg Right right Center center WideCenter Left left TexLoad TexUnload", p, " "); for (k in p) picture[p[k]] = 1
    }
    # CP932 length of a UTF-8 word: ASCII 1, half-width katakana 1, others 2.
    function cplen(w,   n, i, c, len) {
      len = length(w); n = 0
      for (i = 1; i <= len; ) {
        c = ord[substr(w, i, 1)]
        if (c < 128) { n += 1; i += 1 }
        else if (c >= 240) { n += 2; i += 4 }
        else if (c >= 224) {
          if (c == 239 && ((ord[substr(w, i + 1, 1)] == 189 && ord[substr(w, i + 2, 1)] >= 161) || ord[substr(w, i + 1, 1)] == 190)) n += 1
          else n += 2
          i += 3
        }
        else { n += 2; i += 2 }
      }
      return n
    }
    FNR == 1 { incomment = 0 }
    {
      for (f = 1; f <= NF; f++) {
        w = $f
        if (incomment) { if (w == "*/") incomment = 0; continue }
        if (w == "/*") { incomment = 1; continue }
        words[++nw] = w; from[nw] = FILENAME
      }
    }
    END {
      for (i = 1; i <= nw; i++) if (words[i] == "Texture" || words[i] == "texture") alias[words[i + 1]] = 1
      # The menu sounds are loaded by the engine, the rest by SELoad.
      sound["決定キー音"] = 1; sound["方向キー音"] = 1
      for (i = 1; i <= nw; i++) if (words[i] == "SELoad") sound[words[i + 2]] = 1
      label = ""
      for (i = 1; i <= nw; i++) {
        w = words[i]
        if (w == "FontMenu" || w == "ButtonMenu") {
          kind = w
          if (words[i + 1] != "{") i++
          if (words[i + 1] != "{") continue
          depth = 0
          do {
            i++
            if (words[i] == "メニューアイテム" && words[i + 1] == "{") {
              # Items of three words: label, id, target (a script, or a "$" variable).
              for (i += 2; i <= nw && words[i] != "}"; i += 3) {
                if (kind == "ButtonMenu" && !((words[i] "ボタン") in alias)) print "button " words[i] " " from[i]
                target = words[i + 2]
                if (target in value) target = value[target]
                if (substr(target, 1, 1) != "$") print "file Text " target ".Dat"
              }
            } else if (words[i] == "{") depth++
            else if (words[i] == "}") depth--
          } while (depth > 0 && i < nw)
          continue
        }
        if (w in args) {
          a = words[i + 1]
          if (w == "Texture" || w == "texture") { if (words[i + 2] != "Nothing") print "file Texture " words[i + 2] }
          else if (w == "SELoad") print "file Music/SE " a
          else if (w == "MIDIPlay") print "file Music/MIDI " a ".mid"
          else if (w == "SEPlay" && !(a in sound)) print "sound " a " " from[i]
          else if (w == "NextScriptFile") print "file Text " a
          else if (w == "goto") { if (a in value) a = value[a]; print "file Text " a ".Dat" }
          else if (w in picture && !(a in alias)) print "use " a " " from[i]
          i += args[w]
          continue
        }
        if (w == "string") {
          if (words[i + 2] == "=") { value[words[i + 1]] = words[i + 3]; i += 3 } else { value[words[i + 1]] = ""; i += 1 }
          continue
        }
        if (substr(w, 1, 1) == "$") {
          v = words[i + 2]; if (v in value) v = value[v]
          value[w] = v; i += 2
          continue
        }
        if (w == ".") continue
        if (index(w, "：") > 0) {
          key = w; sub(/：/, "", key)
          if (index(key, "＊") > 0) label = "？？？："
          else if (key in alias) { cut = index(key, "・"); label = (cut > 0 ? substr(key, 1, cut - 1) : key) "：" }
          else label = (key == "ナレーション") ? "" : key "："
          i++
          w = words[i]
        }
        n = cplen(label w)
        if (n > 156) print "long " from[i] " " n " " w
      }
    }' "$@"
}

cd "$SCRIPTS" || exit 1
mapfile -t needs < <(walk "${sources[@]}")
[ "${#needs[@]}" -gt 0 ] || problem "the scripts name no files at all: the word walk failed"
for line in "${needs[@]}"; do
  read -r kind a b c <<<"$line"
  case "$kind" in
    file)
      path="$a/${b//\\//}"
      [ "$a" = Text ] && path="Text/$(enciphered "${b//\\//}")"
      need "$GAME/$path" ;;
    use) problem "alias $a is shown by $b but no Texture line defines it" ;;
    button) problem "button $a in $b has no picture: no Texture line defines the alias ${a}ボタン" ;;
    sound) problem "sound $a is played by $b but no SELoad line loads it" ;;
    long) problem "$a: \"$c\" makes a message of $b bytes, more than the window's three rows of 52 bytes" ;;
  esac
done
# The sound: the menus' two effects, every effect a 16-bit PCM .wav, every
# piece a Standard MIDI File of 30 to 90 seconds with several parts whose
# notes all end.
need "$GAME/Music/SE/Kachi04.wav"
need "$GAME/Music/SE/Push11.wav"
python3 - "$GAME/Music" <<'PY' || fail=1
import glob, struct, sys
music, bad = sys.argv[1], []
def wav(path):
    d = open(path, "rb").read()
    if d[:4] != b"RIFF" or d[8:12] != b"WAVE" or d[12:16] != b"fmt ":
        return "not a RIFF/WAVE file"
    tag, channels, rate, _, _, bits = struct.unpack("<HHIIHH", d[20:36])
    if tag != 1 or bits != 16:
        return f"format {tag}, {bits} bits: not 16-bit PCM"
    seconds = (len(d) - 44) / (rate * channels * 2)
    return None if 0.02 <= seconds <= 10 else f"{seconds:.2f} s long"
def midi(path):
    d = open(path, "rb").read()
    if d[:4] != b"MThd":
        return "not a Standard MIDI File"
    kind, tracks, division = struct.unpack(">HHH", d[8:14])
    if kind not in (0, 1) or division & 0x8000:
        return f"type {kind}, division {division}"
    pos, tempo, end, channels = 14, 500000, 0, set()
    for _ in range(tracks):
        if d[pos:pos + 4] != b"MTrk":
            return "a track chunk is missing"
        stop = pos + 8 + struct.unpack(">I", d[pos + 4:pos + 8])[0]
        p, t, status, sounding = pos + 8, 0, 0, set()
        def number():
            nonlocal p
            v = 0
            while True:
                b = d[p]; p += 1; v = (v << 7) | (b & 0x7F)
                if b < 0x80: return v
        while p < stop:
            t += number()
            if d[p] & 0x80:
                status = d[p]; p += 1
            if status == 0xFF:
                kind_, length = d[p], None; p += 1; length = number()
                if kind_ == 0x51: tempo = int.from_bytes(d[p:p + 3], "big")
                if kind_ == 0x2F: end = max(end, t)
                p += length
                continue
            high, ch = status & 0xF0, status & 0x0F
            if high in (0xC0, 0xD0):
                p += 1
                continue
            key, vel = d[p], d[p + 1]; p += 2
            if high == 0x90 and vel: sounding.add((ch, key)); channels.add(ch)
            elif high in (0x80, 0x90): sounding.discard((ch, key))
        if sounding:
            return f"notes left sounding at the end: {sorted(sounding)[:4]}"
        pos = stop
    seconds = end / division * tempo / 1e6
    if not 30 <= seconds <= 90:
        return f"{seconds:.1f} s long, not 30-90 s"
    return None if len(channels) >= 3 else f"only {len(channels)} parts"
effects, pieces = sorted(glob.glob(music + "/SE/*.wav")), sorted(glob.glob(music + "/MIDI/*.mid"))
for f, check in [(f, wav) for f in effects] + [(f, midi) for f in pieces]:
    why = check(f)
    if why: bad.append(f"{f}: {why}")
if len(pieces) < 2: bad.append(f"only {len(pieces)} MIDI pieces")
for b in bad: print("FAIL:", b)
sys.exit(1 if bad else 0)
PY

[ "$fail" -eq 0 ] && echo "demo game complete: ${#sources[@]} scripts, ${#needs[@]} named files"
exit "$fail"
