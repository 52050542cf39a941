#!/usr/bin/env bash
# Sets up, builds and runs every test: the portable code natively under the sanitizers, then the
# Windows programs under Wine (with Xvfb for the tests that make windows).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh || exit 1
bash scripts/build.sh || exit 1
source scripts/wine-env.sh
source scripts/xvfb.sh
quorallion_start_xvfb || exit 1
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  quorallion_stop_xvfb
}
trap cleanup EXIT
bash scripts/wine-prefix.sh || exit 1
# Wine's desktop process, started here with its output sent away and kept up for the whole run:
# started by a test instead, it would hold that test's output pipe and keep CTest waiting.
keeper="$QUORALLION_BUILD_DIR/win/bin/desktop_keeper.exe"
if [ -f "$keeper" ]; then
  "$QUORALLION_WINE" "$keeper" >/dev/null 2>&1 </dev/null &
  sleep 3
fi

# Extra arguments go to both CTest runs (for instance -R clipboard).
build=$QUORALLION_BUILD_DIR
status=0
ctest --test-dir "$build/native" --output-on-failure -j "${QUORALLION_JOBS:-$(nproc)}" "$@" || status=1
ctest --test-dir "$build/win" --output-on-failure -j "${QUORALLION_JOBS:-$(nproc)}" "$@" || status=1
python3 scripts/test-summary.py "$build/native" "$build/win" || status=1
exit $status
