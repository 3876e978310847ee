#!/usr/bin/env bash
# Installs the Debian packages Tunevane builds and tests with; silent when all are present.
set -euo pipefail

PACKAGES=(
  g++ cmake make ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev qt6-image-formats-plugins
  libavformat-dev libavcodec-dev libswresample-dev libswscale-dev libavutil-dev libavfilter-dev
  libopencore-amrnb-dev ffmpeg libebur128-dev parallel
  libtag1-dev
  libcdio-dev libcdio-paranoia-dev libdiscid-dev libcdio-utils cd-paranoia
  libburn-dev libisofs-dev xorriso
  xvfb xauth x11-utils imagemagick
  strace
  desktop-file-utils appstream dpkg-dev dbus-daemon
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
