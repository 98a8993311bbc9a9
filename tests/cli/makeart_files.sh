#!/usr/bin/env bash
# vantorel-makeart writes DDS and TGA files that loaders read correctly:
# header fields, pixel order and size, the same bytes on every run, and
# clear refusals for unknown pictures and formats.
set -u
BUILD="$1"
SRC="$2"
BIN="$BUILD/vantorel-makeart"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
# Little-endian unsigned integer of N bytes at OFFSET.
u() { od -An -t "u$3" -j "$2" -N "$3" --endian=little "$1" | tr -d ' '; }
byte() { u "$1" "$2" 1; }
size() { stat -c %s "$1"; }

# Uncompressed DDS: 128-byte header, 32-bit ARGB described by masks.
"$BIN" window "$T/w.dds" || fail "window.dds not written"
[ "$(head -c 4 "$T/w.dds")" = "DDS " ] || fail "DDS magic"
[ "$(u "$T/w.dds" 4 4)" = 124 ] || fail "DDS header size"
[ "$(u "$T/w.dds" 8 4)" = $((0x100F)) ] || fail "DDS flags (caps, height, width, pitch, pixel format)"
[ "$(u "$T/w.dds" 12 4)" = 136 ] || fail "DDS height"
[ "$(u "$T/w.dds" 16 4)" = 470 ] || fail "DDS width"
[ "$(u "$T/w.dds" 20 4)" = $((470 * 4)) ] || fail "DDS pitch"
[ "$(u "$T/w.dds" 80 4)" = $((0x41)) ] || fail "DDS pixel format flags (RGB with alpha)"
[ "$(u "$T/w.dds" 88 4)" = 32 ] || fail "DDS bit count"
[ "$(u "$T/w.dds" 92 4)" = $((0xFF0000)) ] || fail "DDS red mask"
[ "$(u "$T/w.dds" 104 4)" = $((0xFF000000)) ] || fail "DDS alpha mask"
[ "$(u "$T/w.dds" 108 4)" = $((0x1000)) ] || fail "DDS caps"
[ "$(size "$T/w.dds")" = $((128 + 470 * 136 * 4)) ] || fail "DDS file size"
# Rows top first: the rounded corner is clear, the middle of the panel is not.
[ "$(byte "$T/w.dds" $((128 + 3)))" = 0 ] || fail "DDS top-left pixel should be transparent"
mid=$((128 + (68 * 470 + 235) * 4))
[ "$(byte "$T/w.dds" $((mid + 3)))" -gt 150 ] || fail "DDS panel middle should be nearly opaque"

# DXT5 blocks through libsquish.
"$BIN" cursor "$T/c.dds" --dxt5 || fail "DXT5 cursor not written"
[ "$(head -c 88 "$T/c.dds" | tail -c 4)" = "DXT5" ] || fail "DXT5 four-character code"
[ "$(u "$T/c.dds" 20 4)" = $(((96 / 4) * (32 / 4) * 16)) ] || fail "DXT5 linear size"
[ "$(size "$T/c.dds")" = $((128 + (96 / 4) * (32 / 4) * 16)) ] || fail "DXT5 file size"

# TGA: uncompressed true colour, 32 bits with 8 alpha bits, bottom row first.
"$BIN" hina "$T/h.tga" || fail "hina.tga not written"
[ "$(byte "$T/h.tga" 2)" = 2 ] || fail "TGA image type"
[ "$(u "$T/h.tga" 12 2)" = 200 ] || fail "TGA width"
[ "$(u "$T/h.tga" 14 2)" = 426 ] || fail "TGA height"
[ "$(byte "$T/h.tga" 16)" = 32 ] || fail "TGA pixel depth"
[ "$(byte "$T/h.tga" 17)" = 8 ] || fail "TGA descriptor (8 alpha bits, bottom-left origin)"
[ "$(size "$T/h.tga")" = $((18 + 200 * 426 * 4)) ] || fail "TGA file size"
# The first row in the file is the picture's bottom (her skirt, opaque), the
# last its top (above her head, clear).
[ "$(byte "$T/h.tga" $((18 + 100 * 4 + 3)))" = 255 ] || fail "TGA first row should be the opaque bottom"
[ "$(byte "$T/h.tga" $((18 + (425 * 200 + 100) * 4 + 3)))" = 0 ] || fail "TGA last row should be the clear top"

# PNG keeps the alpha channel (colour type 6); JPEG is for opaque pictures.
"$BIN" cat "$T/m.png" || fail "cat.png not written"
[ "$(od -An -tx1 -N8 "$T/m.png" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "PNG signature"
[ "$(u "$T/m.png" 16 4)" != 0 ] && [ "$(byte "$T/m.png" 25)" = 6 ] || fail "PNG should be RGBA"
"$BIN" park-night "$T/n.JPG" || fail "night park .JPG not written"
[ "$(od -An -tx1 -N3 "$T/n.JPG" | tr -d ' ')" = ffd8ff ] || fail "JPEG signature"

# The same bytes every time, so builds are reproducible.
"$BIN" hina "$T/h2.tga" && cmp -s "$T/h.tga" "$T/h2.tga" || fail "two runs differ"

# Refusals.
"$BIN" nonsense "$T/x.dds" 2>/dev/null; [ $? -eq 2 ] || fail "unknown picture must exit 2"
"$BIN" hina "$T/x.gif" 2>/dev/null; [ $? -eq 2 ] || fail "unsupported extension must exit 2"
"$BIN" hina "$T/x.png" --dxt5 2>/dev/null; [ $? -eq 2 ] || fail "a DXT option for a PNG must exit 2"
"$BIN" hina "$T/x.dds" --dxt9 2>/dev/null; [ $? -eq 2 ] || fail "unknown option must exit 2"
[ ! -e "$T/x.dds" ] && [ ! -e "$T/x.gif" ] && [ ! -e "$T/x.png" ] || fail "a refused run must not write a file"
"$BIN" hina "$T/h.tga/x.tga" 2>/dev/null; [ $? -eq 1 ] || fail "a target below a plain file must exit 1"

# Every picture the game's build asks for is one the tool knows.
list=$("$BIN" --list | awk '{print $1}')
for name in $(sed -n '/^set(GAME_PICTURES/,/^)/p' "$SRC/game/CMakeLists.txt" | awk 'NF == 2 {print $1}'); do
  grep -qx "$name" <<<"$list" || fail "game/CMakeLists.txt names unknown picture $name"
done
exit 0
