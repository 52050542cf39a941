#!/usr/bin/env bash
# Registers every COM server of a build folder in the project's Wine prefix.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
bin=${1:-$QUORALLION_ROOT/build/win/bin}
# The fault stand-in carries the core's type library: registered first, so the product's entry wins.
for server in QuorallionFaultCore QuorallionCore2 QuorallionICore QuorallionEchoCore; do
  if [ -f "$bin/$server.exe" ]; then
    "$QUORALLION_WINE" "$bin/$server.exe" /RegServer
    echo "registered $server"
  fi
done
# The tests' stand-in for the outside equation control, an in-process control.
if [ -f "$bin/QuorallionWordEqStandin.dll" ]; then
  "$QUORALLION_WINE" regsvr32 /s "$bin/QuorallionWordEqStandin.dll"
  echo "registered QuorallionWordEqStandin"
fi
