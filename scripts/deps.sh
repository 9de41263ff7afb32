#!/bin/sh
# Installs the Debian packages the build, the game and the tests need; does nothing when all are present.
set -e
PKGS="cmake make g++ pkg-config libsdl2-dev libgl-dev libgl1-mesa-dri libegl-mesa0 libpng-dev zlib1g-dev libfreetype-dev libogg-dev libvorbis-dev libgtest-dev libbenchmark-dev xvfb xauth"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
