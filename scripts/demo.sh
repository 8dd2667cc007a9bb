#!/usr/bin/env bash
# Builds the player and plays the demo under Wine.
#  - With a desktop (DISPLAY set) the player's window appears on it.
#  - Without one, the player runs for a few seconds in a virtual display and
#    a screenshot is written to build/demo-screenshot.png.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
scripts/setup.sh

# The product is the 32-bit build; machines that cannot run 32-bit programs
# play the x86-64 twin.
preset=win32
scripts/can-run-32bit.sh || preset=win64
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

build=$root/build/$preset
demo=$build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp -r demo/. "$demo/"
cp "$build/src/lumavine.exe" "$demo/"

# The demo's own Wine folder shares the tests' prefix but not their display.
export LUMAVINE_WINE_DIR=$build/demo-wine
mkdir -p "$LUMAVINE_WINE_DIR"
cp "$build/wine/config.sh" "$LUMAVINE_WINE_DIR/config.sh"
run=$root/tests/win32/wine-run.sh
session=$root/tests/win32/wine-session.sh

if [ -n "${DISPLAY:-}" ]; then
  "$session" prefix "$LUMAVINE_WINE_DIR"
  cd "$demo"
  exec "$run" ./lumavine.exe
fi

shot=$root/build/demo-screenshot.png
"$session" start "$LUMAVINE_WINE_DIR" >/dev/null
trap '"$session" stop "$LUMAVINE_WINE_DIR"' EXIT
(cd "$demo" && exec "$run" ./lumavine.exe) &
player=$!
sleep "${LUMAVINE_DEMO_SECONDS:-5}"
. "$LUMAVINE_WINE_DIR/display.sh"
DISPLAY=$DISPLAY /usr/bin/import -window root "$shot"
kill "$player" 2>/dev/null || true
wait "$player" 2>/dev/null || true
echo "demo: screenshot written to $shot"
