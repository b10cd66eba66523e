#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the outside-in host check need. Idempotent.
set -euo pipefail
PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  juce-modules-source juce-tools fst-dev
  libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev
  libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxrender-dev libxcursor-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-roboto-unhinted
  xvfb xauth xdotool x11-utils imagemagick python3-fonttools
  ardour qtractor sox python3
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
