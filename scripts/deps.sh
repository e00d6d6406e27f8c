#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only when missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev
  libgl-dev libsndfile1-dev
  clang-format
  qt6-svg-dev liblo-dev
  libchm-dev fp-utils
  # scripts/check: the fuzz targets and their sanitizer runtimes
  clang libclang-rt-14-dev
)
# The install tests (ctest -L install): validators, the .deb's tools, man and systemd-analyze.
packages+=(desktop-file-utils appstream shared-mime-info dpkg-dev man-db systemd)
# scripts/screenshot.sh also needs a virtual X server and ImageMagick: bash scripts/deps.sh screenshot
# scripts/try adds a window manager: bash scripts/deps.sh try
case "${1:-}" in
screenshot) packages+=(xvfb xauth x11-utils imagemagick fonts-dejavu-core xdotool) ;;
try) packages+=(xvfb xauth x11-utils imagemagick fonts-dejavu-core xdotool openbox) ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
