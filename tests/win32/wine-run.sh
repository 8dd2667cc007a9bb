#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the test run's session
# when there is one. Used as the cross build's test emulator:
#     wine-run.sh PROGRAM.exe ARGS...
# Without LUMAVINE_WINE_DIR the program's own build folder is searched for
# wine/config.sh.
set -euo pipefail
if [ -z "${LUMAVINE_WINE_DIR:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/wine/config.sh" ]; do dir=$(dirname "$dir"); done
  export LUMAVINE_WINE_DIR="$dir/wine"
fi
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$WINELOADER" "$@"
