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
# One host session, so that the clipboard set by "scbhtml" is still there for the reads after it.
config='{"lang":"en"}'
html='<p>Quorallion <b>中文</b> <a href="/docs/a.html">link</a></p>'
echo "Requests (version, config, action, params) and the JSON replies, through the bridge:"
{
  printf '15200\t%s\tconfig\n' "$config"
  printf '15200\t%s\tisinstalled\n' "$config"
  printf '15200\t%s\tscbhtml\t%s\tQuorallion\n' "$config" "$html"
  printf '15200\t%s\tgcbformat\n' "$config"
  printf '15200\t%s\tgcbhtml\n' "$config"
  printf '15200\t%s\tgcbtext\n' "$config"
  printf 'release\n'
} | "$QUORALLION_WINE" "$bin/quorallion_host.exe"
