# Sourced by the Wine scripts: the settings of this build's Wine session.
# Needs LUMAVINE_WINE_DIR (the build's wine/ folder).
: "${LUMAVINE_WINE_DIR:?LUMAVINE_WINE_DIR must name the wine folder of a build}"
# shellcheck disable=SC1091
. "$LUMAVINE_WINE_DIR/config.sh"
[ -f "$LUMAVINE_WINE_DIR/display.sh" ] && . "$LUMAVINE_WINE_DIR/display.sh"
export WINELOADER WINEPREFIX WINEARCH
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DISPLAY="${DISPLAY:-}"
if [ -x /usr/lib/wine/wineserver64 ]; then
  export WINESERVER=/usr/lib/wine/wineserver64
else
  export WINESERVER=/usr/lib/wine/wineserver32
fi
