#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the game need.
# Idempotent and non-interactive; run as root (or through sudo) on Debian 12.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config git python3
  clang libclang-rt-14-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # a real X server and key presses for the windowed end-to-end test
  xvfb xdotool x11-utils
  # core libraries
  zlib1g-dev libxml2-dev libglib2.0-dev uuid-dev
  # window, input
  libsdl2-dev
  # graphics, images, fonts
  libpng-dev libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev fontconfig
  fonts-liberation2 fonts-dejavu-core fonts-comic-neue fonts-lobster
  libcairo2-dev
  # sound and video
  libopenal-dev libopenal1 libvorbis-dev libogg-dev libtheora-dev
  # network and web
  libnice-dev libprotobuf-dev protobuf-compiler libboost-dev libcurl4-openssl-dev
  # packages
  libminizip-dev
  # the file-type registrar and its tests: the freedesktop tools it runs (xdg-mime asks
  # libfile-mimeinfo-perl for a file's type when no desktop runs; gio launches entries)
  xdg-utils shared-mime-info desktop-file-utils libfile-mimeinfo-perl libglib2.0-bin
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
