#!/usr/bin/env bash
# Installs the Debian packages Vantorel needs, only when some are missing.
set -euo pipefail
PKGS=(
  cmake g++ make pkg-config clang libclang-rt-14-dev python3
  libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libsdl2-mixer-dev
  libsquish-dev libpng-dev libjpeg-dev libfluidsynth-dev timgm6mb-soundfont libebur128-dev libsoxr-dev
  libfontconfig-dev fonts-ipafont-gothic fonts-dejavu-core
  libicu-dev libgettextpo-dev gettext
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev neovim
  desktop-file-utils appstream dpkg-dev file
)
# Further packages a caller needs may be named: scripts/deps.sh NAME...
PKGS+=("$@")
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
