#!/usr/bin/env bash
# The browser pass for CI, after scripts/test.sh has built build/: the demo's
# web page made by scripts/web.sh and checked in headless Chromium against
# the native build by scripts/web-test.sh. The WebAssembly libraries come
# from the packed prefix kept in web/deps (taken as packed, whatever newer
# Debian uploads the mirror lists: a rebuild would take twenty minutes).
#   OUT (default build-web-page)  where the page is written
#   --packages   prints the Debian packages it needs beyond the native
#                build's, and does nothing else (.ci/run installs them at once)
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${OUT:-build-web-page}

# What the page's build and its check need beyond the native build's; npm
# only where no Node.js brought its own (Debian's npm would fight another
# Node.js, as from NodeSource).
packages() {
  echo emscripten dpkg-dev python3-fonttools chromium imagemagick python3
  command -v npm >/dev/null || echo npm
}
if [ "${1:-}" = --packages ]; then packages; exit 0; fi
scripts/deps.sh $(packages)

export VANTOREL_WEB_DEPS_AS_PACKED=1
start=$(date +%s)
scripts/web.sh build/game "$OUT"
echo "== the page built in $(( $(date +%s) - start ))s"
start=$(date +%s)
scripts/web-test.sh "$OUT" build
echo "== the browser check ran in $(( $(date +%s) - start ))s"
