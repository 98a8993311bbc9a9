#!/usr/bin/env bash
# A game's package installed as a player would install it: a clean Debian 12
# root (mmdebstrap, variant apt, from the Debian archive), the engine's
# package (cpack) and the game's (`vantorel-script package` of a game made
# by `new`) installed with apt, then the game's command played headless in
# the root from its title into its story. Needs root, mmdebstrap and the
# network; takes minutes, so it is not part of ctest.
#   scripts/check-package-install.sh [BUILD_DIR]
set -euo pipefail
BUILD="$(cd "${1:-build}" && pwd)"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v mmdebstrap >/dev/null || fail "mmdebstrap is not installed (apt-get install mmdebstrap)"

mkdir -p "$WORK/debs"
(cd "$WORK" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/engine" >"$WORK/cpack.log" 2>&1) ||
  fail "cpack: $(tail -20 "$WORK/cpack.log")"
cp "$WORK"/engine/vantorel_*.deb "$WORK/debs/"
"$BUILD/vantorel-script" new "$WORK/game" --title "星の約束" >/dev/null
"$BUILD/vantorel-script" package "$WORK/game" --name hoshi-no-yakusoku --version 1.0 --format deb -o "$WORK/debs" >/dev/null
ls -l "$WORK/debs"

# In the root: install both with apt (which fetches the engine's
# dependencies), then play: the title, a decide on its first button, the
# story's first scene.
start=$(date +%s)
mmdebstrap --variant=apt \
  --customize-hook="copy-in $WORK/debs /tmp" \
  --customize-hook='chroot "$1" sh -c "apt-get install -y --no-install-recommends /tmp/debs/*.deb"' \
  --customize-hook='chroot "$1" sh -c "printf \"300 tap decide\n\" > /tmp/in && HOME=/tmp /usr/games/hoshi-no-yakusoku --headless --frames 600 --input /tmp/in --trace /tmp/play.jsonl"' \
  --customize-hook="copy-out /tmp/play.jsonl $WORK" \
  bookworm "$WORK/root.tar" >"$WORK/mmdebstrap.log" 2>&1 || fail "mmdebstrap: $(tail -30 "$WORK/mmdebstrap.log")"
grep -q '"script":"本編\\\\はじまり.Dat"' "$WORK/play.jsonl" || fail "the installed game did not reach its story"
grep -q '"type":"report"' "$WORK/play.jsonl" && fail "a failure was reported: $(grep -m1 report "$WORK/play.jsonl")"
echo "installed with apt in a clean Debian 12 root and played headless ($(( $(date +%s) - start )) s)"
