#!/bin/sh
# Installs a build into a fresh folder and checks what a desktop reads from it: the program, its
# data, a valid desktop entry, valid AppStream metadata and the icons; and that the installed
# program finds its data in share/zelmar from any working directory.
set -eu
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/zelmar share/zelmar/data.qzr share/zelmar/nullvertexshader.vsh share/zelmar/glowpixelshader.psh \
            share/zelmar/fire.wav share/zelmar/explosion.wav share/zelmar/ZEZIZIV5.it \
            share/applications/zelmar.desktop share/metainfo/org.zelmar.zelmar.metainfo.xml; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
for side in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${side}x${side}/apps/zelmar.png"
  [ -f "$icon" ] || { echo "no ${side}x${side} icon"; exit 1; }
  # The PNG header's width, big-endian at byte 16.
  width=$(od -An -tu1 -j16 -N4 "$icon" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
  [ "$width" -eq "$side" ] || { echo "the ${side}x${side} icon is $width wide"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/zelmar.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.zelmar.zelmar.metainfo.xml" >/dev/null

output=$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy "$prefix/bin/zelmar" 2>&1 || true)
case "$output" in
  *"reinstall the game"*) echo "the installed program does not find its data: $output"; exit 1 ;;
esac
echo "install: complete and valid"
