#!/usr/bin/env bash
# CTest's emulator for Windows test programs: runs one program under the project's Wine prefix.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$QUORALLION_WINE" "$@"
