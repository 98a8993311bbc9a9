#!/usr/bin/env python3
"""The characters a game's web page can show, for the font subset that
scripts/web.sh ships: every character of the game's scripts (deciphered
when enciphered), of its translations, and of the engine's own screens
(its catalogues and the texts in its sources), plus ASCII, Latin-1, the
kana, the CJK punctuation and the full- and half-width forms whole (cheap,
and what a player's name or a number on a save screen may hold).

Usage: web-charset.py GAMEDIR ENGINE_ROOT > chars.txt (UTF-8, one line)"""
import os
import sys

KEY = b"qlymzo5170"  # the engine's script cipher (script/CTextFile.h)
SPACE = set(range(0x09, 0x0E)) | {0x20}
RANGES = [(0x20, 0x7E), (0xA0, 0xFF), (0x2010, 0x2027), (0x2030, 0x203B), (0x2190, 0x2193),
          (0x3000, 0x30FF), (0xFF01, 0xFF9F), (0xFFE0, 0xFFE6)]


def decipher(data):
    """The enciphered script's words: each byte raised by the key's low
    nibble, one running key cursor over the words (spaces not counted)."""
    out, cursor = bytearray(), 0
    for b in data:
        if b in SPACE:
            out.append(b)
            continue
        out.append((b + (KEY[cursor % len(KEY)] & 0x0F)) & 0xFF)
        cursor += 1
    return bytes(out)


def script_text(path):
    with open(path, "rb") as f:
        data = f.read()
    if os.path.splitext(path)[0].endswith("E"):
        data = decipher(data)
    return data.decode("cp932", errors="ignore")


def main():
    game, root = sys.argv[1:3]
    chars = set()
    for lo, hi in RANGES:
        chars.update(map(chr, range(lo, hi + 1)))
    for base, _, files in os.walk(os.path.join(game, "GameData")):
        for name in files:
            path = os.path.join(base, name)
            low = name.lower()
            if low.endswith((".dat", ".txt")):
                chars.update(script_text(path))
            elif low.endswith(".po"):
                with open(path, encoding="utf-8", errors="ignore") as f:
                    chars.update(f.read())
    # The engine's screens: its catalogues and the texts in its sources.
    for top in ("src", "po"):
        for base, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if name.endswith((".cpp", ".h", ".po")):
                    with open(os.path.join(base, name), encoding="utf-8", errors="ignore") as f:
                        chars.update(c for c in f.read() if ord(c) > 0x7F)
    chars = sorted(c for c in chars if c.isprintable() or c == "\u3000")
    sys.stdout.write("".join(chars) + "\n")


if __name__ == "__main__":
    main()
