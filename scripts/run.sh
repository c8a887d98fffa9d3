#!/usr/bin/env bash
# Installs what is missing, builds the game and its default data tree, and
# starts it on a play tree of its own (scripts/play.sh). Arguments go to the
# game (as "-S:script.txt").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zentrova datatree
exec scripts/play.sh "$@"
