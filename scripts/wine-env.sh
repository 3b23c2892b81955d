# Sourced: the private Wine prefix and loader of this checkout's build folder.
# TARVEL_BUILD_ROOT chooses another build folder (default: <repo>/build).
TARVEL_ROOT=${TARVEL_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
TARVEL_BUILD_ROOT=${TARVEL_BUILD_ROOT:-$TARVEL_ROOT/build}
export WINEPREFIX=${TARVEL_WINEPREFIX:-$TARVEL_BUILD_ROOT/wineprefix}
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers, no desktop menu entries.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
TARVEL_SESSION_DIR=${TARVEL_SESSION_DIR:-$TARVEL_BUILD_ROOT/wine-session}
# The display of a running session wins: tests never draw on a person's screen.
if [ -f "$TARVEL_SESSION_DIR/display" ]; then
  export DISPLAY=$(cat "$TARVEL_SESSION_DIR/display")
fi
