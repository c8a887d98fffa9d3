#!/usr/bin/env bash
# Starts the built game on its play tree: a copy of the data tree that
# datagen made (build/data), brought up to date from it at each start, so
# that what the game writes (screenshots, "CONSOLE.TXT", texture banks,
# replays, saved setups) stays in the play tree and the data tree, which
# the tests copy, never changes. A file of the play tree newer than the
# data tree's is kept: the player's saved files survive a new build.
# ZENTROVA_BUILD_DIR names the build (default build), ZENTROVA_PLAY_DIR the
# play tree (default play in the build). Arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${ZENTROVA_BUILD_DIR:-build}")
play="${ZENTROVA_PLAY_DIR:-$build/play}"
if [ ! -f "$build/data/.stamp" ] || [ ! -x "$build/zentrova" ]; then
  echo "play.sh: $build holds no built game and data tree: run scripts/run.sh" >&2
  exit 1
fi
mkdir -p "$play"
cp -R -p -u "$build/data/." "$play/"
# Drive C: is the play tree, drive D: the CD with its audio tracks.
if [ -z "${ZENTROVA_DRIVES:-}" ]; then
  export ZENTROVA_DRIVES="C=fixed:$(realpath "$play");D=cdrom:$build/cd"
fi
exec "$build/zentrova" "$@"
