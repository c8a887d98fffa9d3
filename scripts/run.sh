#!/usr/bin/env bash
# Installs what is missing, builds the game and its default data tree, and
# starts it. Arguments go to the game (as "-S:script.txt").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zentrova
# Drive C: is the data tree, drive D: the CD with its audio tracks.
if [ -z "${ZENTROVA_DRIVES:-}" ]; then
  export ZENTROVA_DRIVES="C=fixed:$PWD/build/data;D=cdrom:$PWD/build/cd"
fi
exec build/zentrova "$@"
