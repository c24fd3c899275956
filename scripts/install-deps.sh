#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need; does nothing when they are there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libpng-dev zlib1g-dev
  libcurl4-openssl-dev
  libgtest-dev googletest libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-liberation2 fonts-crosextra-carlito
  xvfb xdotool imagemagick x11-utils libx11-dev
  libeigen3-dev libcli11-dev nlohmann-json3-dev ngspice
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
