#!/usr/bin/env bash
# Sets up, builds, registers the COM servers in the project's Wine prefix and runs the system's
# main job end to end, printing the JSON replies.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
QUORALLION_SKIP_NATIVE=1 bash scripts/build.sh >/dev/null
source scripts/wine-env.sh
source scripts/xvfb.sh
quorallion_start_xvfb
trap 'wineserver -k >/dev/null 2>&1 || true; quorallion_stop_xvfb' EXIT
bash scripts/wine-prefix.sh
bin=$QUORALLION_BUILD_DIR/win/bin
bash scripts/register-servers.sh "$bin" >/dev/null
# The host's road: quorallion_host -> QuorallionIC.dll -> QuorallionICore (ICore) -> QuorallionCore2.
echo "config (version 15200, through the bridge and the dispatcher):"
"$QUORALLION_WINE" "$bin/quorallion_host.exe" 15200 '{"lang":"en"}' config
echo "gcbhtml (the clipboard's HTML, through the bridge and the dispatcher):"
"$QUORALLION_WINE" "$bin/quorallion_host.exe" 15200 '{"lang":"en"}' gcbhtml
