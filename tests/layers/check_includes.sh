#!/bin/bash
# Every engine folder may include only its own headers and those of the
# folders below it; the table is the library graph src/CMakeLists.txt links.
# Usage: check_includes.sh SRC_DIR
set -u
cd "$1" || exit 2

declare -A allowed=(
  [platform]="platform"
  [framework]="framework platform"
  [script]="script platform"
  [sound]="sound framework platform"
  [input]="input platform"
  [gfx]="gfx framework platform"
  [msgbox]="msgbox gfx input script sound framework platform"
  [comfort]="comfort msgbox gfx input script sound framework platform"
  [saves]="saves comfort msgbox gfx input script sound framework platform"
  [app]="app framework saves comfort msgbox gfx input script sound platform"
)

# The folder an include names: "dir/X.h" is dir.
layer_of() {
  case "$1" in
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

bad=0
# The platform library's sources sit in subfolders by concern.
files_of() {
  if [ "$1" = platform ]; then find platform -name '*.h' -o -name '*.cpp'
  else printf '%s\n' "$1"/*.h "$1"/*.cpp; fi
}

for folder in "${!allowed[@]}"; do
  while IFS= read -r f; do
    [ -e "$f" ] || continue
    while IFS= read -r line; do
      inc=$(sed -E 's/^[0-9]+:#include *"([^"]+)".*/\1/' <<<"$line")
      target=$(layer_of "$inc")
      [ -n "$target" ] || continue
      case " ${allowed[$folder]} " in
        *" $target "*) ;;
        *) echo "$f:${line%%:*}: $folder may not include $inc"; bad=1 ;;
      esac
    done < <(grep -nE '^#include *"' "$f")
  done < <(files_of "$folder")
done
# A folder the table does not know would escape the check.
for d in */; do
  d=${d%/}
  [ -n "${allowed[$d]+x}" ] || { echo "$d: no entry in the layer table"; bad=1; }
done
exit $bad
