#!/usr/bin/env bash
# Where the IPA fonts are missing, fontconfig picks another face for the
# game's Japanese ones (Noto Sans CJK on a desktop Debian); its line is half
# again as tall. A message's three rows still stand one em apart inside the
# window, and --info and vantorel-script check name the face in use.
set -u
BUILD="$(cd "$1" && pwd)"
T=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
noto=$(ls /usr/share/fonts/opentype/noto/NotoSansCJK-*.ttc 2>/dev/null | head -n 1)
[ -n "$noto" ] || { echo "Noto Sans CJK is not installed (apt-get install fonts-noto-cjk); skipped"; exit 0; }
command -v convert >/dev/null || { echo "ImageMagick is not installed; skipped"; exit 0; }
# A fontconfig that knows only the Noto CJK fonts: the IPA fonts are absent.
cat > "$T/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$(dirname "$noto")</dir><cachedir>$T/fc-cache</cachedir></fontconfig>
CONF
export FONTCONFIG_FILE="$T/fonts.conf" XDG_CONFIG_HOME="$T/cfg" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

mkdir -p "$T/game/GameData/Text/オープニング" "$T/game/GameData/Texture"
# The demo's window picture: white text shows on it.
[ -d "$BUILD/game/GameData/Texture/MsgBox" ] || { echo "demo game not built; skipped"; exit 0; }
cp -r "$BUILD/game/GameData/Texture/MsgBox" "$T/game/GameData/Texture/"
# 26 full-width characters to a row: three rows.
row="いろはにほへとちりぬるをわかよたれそつねならむうゐの"
printf 'ナレーション： %s%s%s\n' "$row" "$row" "$row" > "$T/src.txt"
"$BUILD/vantorel-script" encode "$T/src.txt" "$T/game/GameData/Text/オープニング/オープニング1.Dat" >/dev/null || fail "encode"

"$BUILD/vantorel" --info --game-dir "$T/game" > "$T/info" 2>/dev/null || fail "--info"
grep -qE "^font ＭＳ Ｐゴシック: Noto Sans CJK [A-Z]+ \(/.*\.ttc\), standing in for IPAPGothic$" "$T/info" ||
  fail "--info does not name the stand-in: $(grep '^font' "$T/info")"
"$BUILD/vantorel-script" check "$T/game" > "$T/check" 2>&1
grep -qE "^message font ＭＳ Ｐゴシック: Noto Sans CJK [A-Z]+ \(/.*\.ttc\), standing in for IPAPGothic$" "$T/check" ||
  fail "check does not name the stand-in: $(cat "$T/check")"

# Before the message (pass 1) and once it is typed (pass 100, one
# character a pass): what differs is the text.
"$BUILD/vantorel" --headless --game-dir "$T/game" --frames 101 --screenshot "1:$T/before.png" \
  --screenshot "100:$T/shot.png" >/dev/null 2>&1 || fail "headless run"
convert "$T/before.png" "$T/shot.png" -compose difference -composite -colorspace gray "$T/text.png" || fail "convert"
ink() { convert "$T/text.png" -crop "$1" +repage -format '%[fx:maxima]' info:; }
# Text starts at (180, 331); the window ends at y 432. Rows at 331, 363, 395.
third=$(ink 420x32+180+395)
below=$(ink 420x48+180+432)
awk -v t="$third" -v b="$below" 'BEGIN { exit !(t > 0.5 && b == 0) }' ||
  fail "third row: ink $third in its place, $below below the window"
echo ok
