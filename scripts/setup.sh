#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need.
# Safe to repeat: it installs only what is missing. Run as root (or with sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libplist-dev libcairo2-dev libpango1.0-dev libfontconfig-dev libspng-dev libturbojpeg0-dev libexif-dev libheif-dev
  libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libx11-dev
  fonts-dejavu-core fonts-noto-color-emoji fonts-droid-fallback python3 python3-pil
  xvfb xauth xdotool imagemagick
)
if [ "${TESSARY8_FUZZ_TOOLS:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
