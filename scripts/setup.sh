#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, when it is missing.
set -euo pipefail

# The libraries and headers the build needs, and the tools a developer uses
# on the code (cloc counts the lines of code and tests).
packages=(pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev
          libmagickcore-6.q16-dev libxmp-dev libenet-dev
          xfonts-base libfreetype-dev fonts-dejavu-core cloc libosmesa6-dev libpixman-1-dev libboost-dev)
# The packages of the programs the tests, benchmarks and scripts run.
while read -r _ package _; do
  packages+=("$package")
done < <(grep -v '^[[:space:]]*\(#\|$\)' "$(dirname "$0")/programs.txt")

missing=()
declare -A seen=()
for p in "${packages[@]}"; do
  [ -n "${seen[$p]:-}" ] && continue
  seen[$p]=1
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The profiler, for the benchmarks only: building and testing never need
# it, so a mirror without it leaves the set-up successful.
optional=(linux-perf)
for p in "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" && continue
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$p" ||
    echo "Could not install $p (only the benchmarks' profiling uses it)" >&2
done
