#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, when it is missing.
set -euo pipefail

packages=(g++ cmake ninja-build ccache pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev sox netpbm xvfb xauth
          libmagickcore-6.q16-dev libxmp-dev libenet-dev
          xfonts-base libfreetype-dev fonts-dejavu-core cloc libosmesa6-dev iproute2 libpixman-1-dev libboost-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
