#!/usr/bin/env bash
# Builds the product and writes the demo as it ships: one folder with
#   lumavine.exe       the player
#   LumavineShows.exe  the launcher, with the demo set packed inside
#   ix                 the index of the packed files
#   LumavineShows.scr  the same launcher, to install as a screen saver
# (Windows file names ignore case: a launcher named Lumavine.exe would be
# lumavine.exe, the player, itself.)
#
#   scripts/package.sh [--preset win32|win64] [--out DIR] [--no-build]
#   scripts/package.sh --list      # the pack specifications, NAME=PATH a line
#
# The packed names are those by which the player opens the files: the show
# files and the menu definition beside the program ("%loaderpath%intro", the
# launcher's folder being the player's), the script as the launcher's own
# script ("%loaderpath%LumavineShows.scr", found for LumavineShows.exe and for
# LumavineShows.scr alike), and pictures, masks and sounds by the relative names
# the shows give them ("photos/photo06.jpg", "masks/brush", "music.mp3").
# The photo browser lists folders on disk, so its "photos" are not browsable
# from the launcher alone.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
demo=$root/demo
launcher_name=LumavineShows

pack_list() {
  echo "%loaderpath%$launcher_name.scr=$demo/menu.scr"
  local f name
  for f in "$demo"/intro "$demo"/slyde* "$demo"/menudef; do
    echo "%loaderpath%$(basename "$f")=$f"
  done
  # Everything else the shows open, by its path inside the set.
  while IFS= read -r f; do
    name=${f#"$demo"/}
    echo "$name=$f"
  done < <(find "$demo" -type f \( -name '*.jpg' -o -name '*.mp3' -o -name '*.wav' -o -path "$demo/masks/*" \) | LC_ALL=C sort)
}

preset=win32
out=$root/build/package
build=1
while [ $# -gt 0 ]; do
  case $1 in
    --list) pack_list; exit 0 ;;
    --preset) preset=$2; shift ;;
    --out) out=$2; shift ;;
    --no-build) build=0 ;;
    *) echo "usage: scripts/package.sh [--preset win32|win64] [--out DIR] [--no-build] | --list" >&2; exit 2 ;;
  esac
  shift
done

if [ "$build" = 1 ]; then
  scripts/setup.sh
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target lumavine lumavine-launcher
  cmake --preset native >/dev/null
  cmake --build --preset native --target lumavine-tool
fi

product=$root/build/$preset/src
tool=$root/build/native/tools/lumavine-tool
stub=$(find "$root/build/$preset" -name lumavine-launcher.exe -print -quit)
[ -n "$stub" ] || { echo "package: no lumavine-launcher.exe in build/$preset" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cp "$product/lumavine.exe" "$out/lumavine.exe"
mapfile -t specs < <(pack_list)
"$tool" pack "$out/$launcher_name.exe" --stub "$stub" "${specs[@]}"
cp "$out/$launcher_name.exe" "$out/$launcher_name.scr"
ls -l "$out"
