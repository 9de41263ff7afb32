#!/bin/sh
# Plays tools/tours/tour.txt through the playtest tool and writes its pictures to docs/screens.
# The game runs in a scratch folder with only the sounds beside it, so the pictures never
# show a best score left by earlier play, and the player's own saved files are not touched.
# Usage: sh scripts/screenshots.sh [BUILD_DIR]
set -e
BUILD=$(cd "${1:-build}" && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
mkdir -p "$SCRATCH/data" "$SRC/docs/screens"
cp "$SRC"/data/*.ogg "$SCRATCH/data/"
cd "$SCRATCH"
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$BUILD/tools/playtest/playtest" "$SRC/tools/tours/tour.txt" "$SRC/docs/screens"
