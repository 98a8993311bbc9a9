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

bad=0
# The platform library's sources sit in subfolders by concern.
files_of() {
  if [ "$1" = platform ]; then find platform -name '*.h' -o -name '*.cpp'
  else printf '%s\n' "$1"/*.h "$1"/*.cpp; fi
}

# One grep a folder, matched in bash: a process per file or per line made
# the check take half a minute.
for folder in "${!allowed[@]}"; do
  mapfile -t files < <(files_of "$folder" | while IFS= read -r f; do [ -e "$f" ] && echo "$f"; done)
  [ ${#files[@]} -gt 0 ] || continue
  while IFS= read -r line; do
    # file:line:#include "dir/X.h" -- the folder an include names is dir.
    [[ $line =~ ^([^:]+):([0-9]+):#include\ *\"([^\"]+)\" ]] || continue
    inc=${BASH_REMATCH[3]}
    [[ $inc == */* ]] || continue
    target=${inc%%/*}
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "${BASH_REMATCH[1]}:${BASH_REMATCH[2]}: $folder may not include $inc"; bad=1 ;;
    esac
  done < <(grep -HnE '^#include *"' "${files[@]}")
done
# A folder the table does not know would escape the check.
for d in */; do
  d=${d%/}
  [ -n "${allowed[$d]+x}" ] || { echo "$d: no entry in the layer table"; bad=1; }
done
exit $bad
