#!/usr/bin/env bash
# The engine's own catalogues (po/LANG.po, English and Japanese at least):
# each compiles with msgfmt --check into the build's locale folder, gives a
# translation (not fuzzy) of every msgid the sources mark (xgettext over
# src/ with the engine's keywords: Tr, Tr with a context, TR_NOOP and the
# saves' Said), and keeps no entry the sources no longer have.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
SRC="$(cd "$2" && pwd)"
command -v xgettext >/dev/null || { echo "xgettext not installed; skipping"; exit 0; }
T="$(mktemp -d)"
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cd "$SRC"
find src -name '*.cpp' -o -name '*.h' | sort >"$T/files"
xgettext --from-code=UTF-8 -k -kTr -kTr:1c,2 -kTR_NOOP -kSaid -f "$T/files" -o "$T/engine.pot" ||
  fail "xgettext over the sources"
ids=$(grep -c '^msgid ' "$T/engine.pot")
[ "$ids" -gt 50 ] || fail "only $((ids - 1)) msgids marked in the sources"
for lang in en ja; do [ -f "po/$lang.po" ] || fail "no po/$lang.po"; done

for po in po/*.po; do
  lang=$(basename "$po" .po)
  msgfmt --check -o /dev/null "$po" || fail "$po does not compile"
  [ -f "$BUILD/locale/$lang/LC_MESSAGES/vantorel.mo" ] || fail "$po is not compiled into the build"
  # Every marked msgid is there; and none is there that the sources lost.
  msgcmp -N "$po" "$T/engine.pot" 2>"$T/cmp" || fail "$po does not cover the sources: $(grep -v 'not used' "$T/cmp")"
  if grep -q 'not used' "$T/cmp"; then fail "$po has entries the sources no longer use: $(grep 'not used' "$T/cmp")"; fi
  left=$(msgattrib --untranslated --no-obsolete "$po" | grep -c '^msgid ' || true)
  fuzzy=$(msgattrib --only-fuzzy --no-obsolete "$po" | grep -c '^msgid ' || true)
  [ "$left" -le 1 ] && [ "$fuzzy" -le 1 ] || fail "$po: $((left ? left - 1 : 0)) untranslated, $((fuzzy ? fuzzy - 1 : 0)) fuzzy"
done
echo "engine catalogues: ok ($(ls po/*.po | wc -l) languages, $((ids - 1)) msgids)"
