#!/usr/bin/env bash
# The demo game that the build puts into BUILD/game is complete: the message
# window's pictures, every script source under its enciphered name, every
# picture, sound and script file the scripts name, no picture alias used
# without a Texture line, and no message longer than the window's three rows.
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
      label = ""
      for (i = 1; i <= nw; i++) {
        w = words[i]
        if (w == "FontMenu" || w == "ButtonMenu") {
          if (words[i + 1] != "{") i++
          if (words[i + 1] != "{") continue
          depth = 0
          do { i++; if (words[i] == "{") depth++; else if (words[i] == "}") depth-- } while (depth > 0 && i < nw)
          continue
        }
        if (w in args) {
          a = words[i + 1]
          if (w == "Texture" || w == "texture") { if (words[i + 2] != "Nothing") print "file Texture " words[i + 2] }
          else if (w == "SELoad") print "file Music/SE " a
          else if (w == "MIDIPlay") print "file Music/MIDI " a ".mid"
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
for line in "${needs[@]}"; do
  read -r kind a b c <<<"$line"
  case "$kind" in
    file)
      path="$a/${b//\\//}"
      [ "$a" = Text ] && path="Text/$(enciphered "${b//\\//}")"
      need "$GAME/$path" ;;
    use) problem "alias $a is shown by $b but no Texture line defines it" ;;
    long) problem "$a: \"$c\" makes a message of $b bytes, more than the window's three rows of 52 bytes" ;;
  esac
done
[ "$fail" -eq 0 ] && echo "demo game complete: ${#sources[@]} scripts, ${#needs[@]} named files"
exit "$fail"
