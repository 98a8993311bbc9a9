#!/usr/bin/env bash
# Puts the keyword reference that `vantorel-script help` prints (generated
# from the keyword table) into docs/script-language.md, between its two
# keyword markers. A test fails while the two differ.
#   scripts/update-script-language.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
DOC=docs/script-language.md
"$BUILD/vantorel-script" help > "$DOC.keywords"
python3 - "$DOC" "$DOC.keywords" <<'PY'
import sys
doc, part = sys.argv[1], sys.argv[2]
text = open(doc, encoding="utf-8").read()
begin = text.index("<!-- keywords:")
begin = text.index("\n", begin) + 1
end = text.index("<!-- end of keywords -->")
generated = open(part, encoding="utf-8").read()
open(doc, "w", encoding="utf-8").write(text[:begin] + "\n" + generated + "\n" + text[end:])
PY
rm -f "$DOC.keywords"
