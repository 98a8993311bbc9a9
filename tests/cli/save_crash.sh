#!/usr/bin/env bash
# Saving while killed with SIGKILL at random moments leaves a whole save that
# loads (a short run; scripts/ci-hardening.sh runs it longer).
set -euo pipefail
BUILD=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$BUILD/vantorel-savecrash" "${SAVECRASH_SECONDS:-3}" "$dir/game"
