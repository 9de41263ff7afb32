#!/bin/sh
# Runs the benchmarks headless: the frame benchmark in full (full screen, then in a
# window), the others briefly.
# Usage: sh scripts/bench.sh [BUILD_DIR] [frame_bench options...]
# The machine may be shared; numbers from a busy machine are high and noisy (see uptime).
set -e
BUILD=${1:-build}
[ $# -gt 0 ] && shift
BUILD=$(cd "$BUILD" && pwd)
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# The game reads its sounds and data files from data/ beside the program.
cd "$BUILD"
echo "== load: $(uptime | sed 's/.*load average/load average/')"
echo "== frame_bench: full screen, the picture scaled to the desktop"
"$BUILD/bench/frame_bench" "$@"
echo "== frame_bench: a 640x480 window, drawn into straight"
KELVANE_WINDOWED=1 "$BUILD/bench/frame_bench" "$@"
for b in "$BUILD"/bench/*_bench; do
  name=$(basename "$b")
  [ "$name" = frame_bench ] && continue
  echo "== $name (brief)"
  case "$name" in
    entities_bench) "$b" ;;
    *) "$b" --benchmark_min_time=0.05 ;;
  esac
done
