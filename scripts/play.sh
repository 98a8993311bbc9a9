#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demo game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/vantorel --game-dir build/game "$@"
