#!/usr/bin/env bash
# The browser pass for CI, after scripts/test.sh has built build/: the demo's
# web page made by scripts/web.sh and checked in headless Chromium against
# the native build by scripts/web-test.sh. The WebAssembly libraries come
# from the packed prefix kept in web/deps (taken as packed, whatever newer
# Debian uploads the mirror lists: a rebuild would take twenty minutes).
#   OUT (default build-web-page)  where the page is written
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${OUT:-build-web-page}

# What the page's build and its check need beyond the native build's.
scripts/deps.sh emscripten dpkg-dev chromium imagemagick python3

export VANTOREL_WEB_DEPS_AS_PACKED=1
start=$(date +%s)
scripts/web.sh build/game "$OUT"
echo "== the page built in $(( $(date +%s) - start ))s"
start=$(date +%s)
scripts/web-test.sh "$OUT" build
echo "== the browser check ran in $(( $(date +%s) - start ))s"
