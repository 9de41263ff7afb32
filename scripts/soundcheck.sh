#!/bin/sh
# Plays tools/tours/tour.txt at the game's own pace with SDL's disk audio driver standing in
# for the sound card, then prints the figures of what was heard and of each sound file.
# The capture is left in BUILD/soundcheck/tour.raw (44100 Hz, 16-bit stereo), and as
# tour.wav where sox is present. Takes as long as the tour: about two and a half minutes.
# Usage: sh scripts/soundcheck.sh [BUILD_DIR]
set -e
BUILD=$(cd "${1:-build}" && pwd)
SRC=$(cd "$(dirname "$0")/.." && pwd)
OUT="$BUILD/soundcheck"
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
mkdir -p "$SCRATCH/data" "$SCRATCH/shots" "$OUT"
cp "$SRC"/data/*.ogg "$SCRATCH/data/"
rm -f "$OUT/tour.raw"
cd "$SCRATCH"
# A window keeps each frame cheap enough for 60 a second on a software renderer.
KELVANE_WINDOWED=1 SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$OUT/tour.raw" \
  "$BUILD/tools/playtest/playtest" --paced "$SRC/tools/tours/tour.txt" "$SCRATCH/shots"
if command -v sox >/dev/null; then
  sox -q -t raw -r 44100 -e signed -b 16 -c 2 "$OUT/tour.raw" "$OUT/tour.wav"
fi
"$BUILD/tools/soundcheck/soundcheck" "$OUT/tour.raw" "$SRC"/data/*.ogg
