# Sourced by the other scripts: the project's own Wine prefix and quiet Wine.
QUORALLION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export QUORALLION_ROOT
# Separate build folders (and their own prefixes) let several builds run side by side.
export QUORALLION_BUILD_DIR="${QUORALLION_BUILD_DIR:-$QUORALLION_ROOT/build}"
export WINEPREFIX="${QUORALLION_WINEPREFIX:-$QUORALLION_BUILD_DIR/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompts, no desktop menu entries.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
QUORALLION_WINE=/usr/lib/wine/wine64
[ -x "$QUORALLION_WINE" ] || QUORALLION_WINE=$(command -v wine64 || command -v wine)
export QUORALLION_WINE
