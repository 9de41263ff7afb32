#!/bin/sh
# Installs the Debian packages a target needs; does nothing when all are present.
#   play:    the game alone        test (default): the game, the tests and the tools
#   package: the game and the .deb with its checker
set -e
GAME="cmake make g++ pkg-config libsdl2-dev libx11-dev libgl-dev libgl1-mesa-dri libegl-mesa0 libpng-dev zlib1g-dev libfreetype-dev libogg-dev libvorbis-dev"
case "${1:-test}" in
  play) PKGS="$GAME" ;;
  package) PKGS="$GAME dpkg-dev file lintian" ;;
  *) PKGS="$GAME libgtest-dev libbenchmark-dev xvfb xauth xdotool desktop-file-utils appstream" ;;
esac
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
