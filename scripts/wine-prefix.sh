#!/usr/bin/env bash
# Creates the project's Wine prefix when it is missing and starts a persistent wineserver with
# Wine's own services already running. Services started later by a test would inherit the test's
# output pipe and keep CTest waiting, so they are started here with their output sent away.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine: creating prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$QUORALLION_WINE" wineboot --init >/dev/null 2>&1 </dev/null || true
  wineserver -w
fi
wineserver -p >/dev/null 2>&1 </dev/null || true
"$QUORALLION_WINE" wineboot >/dev/null 2>&1 </dev/null || true
