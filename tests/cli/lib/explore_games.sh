# Games made to stress vantorel-script explore, sourced by the explore tests.
# BUILD must name the build directory. Each maker writes plain scripts to
# SRC and builds them into GAME.

# The engine's own pictures and sounds every game needs, drawn by the tools.
explore_skeleton() {
  mkdir -p "$1"/GameData/Texture/MsgBox "$1"/GameData/Music/SE "$1"/GameData/Text/セーブデータ
  "$BUILD/vantorel-makeart" window "$1"/GameData/Texture/MsgBox/MsgBox.dds
  "$BUILD/vantorel-makeart" frame "$1"/GameData/Texture/MsgBox/CharaPicFrame.dds
  "$BUILD/vantorel-makeart" cursor "$1"/GameData/Texture/MsgBox/Cursor.tga
  "$BUILD/vantorel-makesound" decide "$1"/GameData/Music/SE/Kachi04.wav
  "$BUILD/vantorel-makesound" cursor "$1"/GameData/Music/SE/Push11.wav
}

# One text menu of N items at the opening, each to an ending of its own:
# N branches, N endings.
explore_wide_game() {  # SRC GAME N
  local src=$1 game=$2 n=$3 i
  mkdir -p "$src/オープニング" "$src/本編"
  explore_skeleton "$game"
  {
    echo "どれにしよう？"
    echo "FontMenu { フォーマット 1 3 メニューアイテム {"
    for ((i = 1; i <= n; i++)); do echo "  「道$i」 $i 本編\\道$i"; done
    echo "} }"
  } > "$src/オープニング/オープニング1.txt"
  for ((i = 1; i <= n; i++)); do printf '道%s の先。\nGameEnd\n' "$i" > "$src/本編/道$i.txt"; done
  "$BUILD/vantorel-script" build "$src" "$game" >/dev/null
}

# M menus of K items one after another; each item sets a variable of its
# own, so no two ways meet: K^M endings after M choices each.
explore_deep_game() {  # SRC GAME M K
  local src=$1 game=$2 m=$3 k=$4 i j
  mkdir -p "$src/オープニング" "$src/本編"
  explore_skeleton "$game"
  printf 'goto 本編\\問1\n' > "$src/オープニング/オープニング1.txt"
  for ((i = 1; i <= m; i++)); do
    {
      echo "問$i。"
      echo "FontMenu { フォーマット 1 3 メニューアイテム {"
      for ((j = 1; j <= k; j++)); do echo "  「答${i}の$j」 $j 本編\\答${i}_$j"; done
      echo "} }"
    } > "$src/本編/問$i.txt"
    for ((j = 1; j <= k; j++)); do
      if ((i < m)); then next="goto 本編\\問$((i + 1))"; else next=GameEnd; fi
      printf 'string $答%s = %s\n%s\n' "$i" "$j" "$next" > "$src/本編/答${i}_$j.txt"
    done
  done
  "$BUILD/vantorel-script" build "$src" "$game" >/dev/null
}

# The named fields of the JSON report in out.json, a list by its length.
explore_fields() {
  python3 - "$@" <<'PY'
import json, sys
r = json.load(open("out.json"))
print(" ".join(str(len(r[k]) if isinstance(r[k], list) else r[k]) for k in sys.argv[1:]))
PY
}
