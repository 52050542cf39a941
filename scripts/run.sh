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
echo "config:"
"$QUORALLION_WINE" "$bin/core_client.exe" config
echo "word2pdf (a job: wait, then its reply):"
"$QUORALLION_WINE" "$bin/core_client.exe" word2pdf 'C:\missing.docx'
