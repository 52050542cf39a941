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

# Wine's desktop process (explorer.exe) starts with the first window of the prefix and keeps the
# standard error of the process that made it. Were that a test, CTest would wait for the desktop
# to end, which it does not while other tests have windows. A keeper with a hidden window starts
# it here, with the output sent away, and keeps it up for the whole run.
keeper_ready="$QUORALLION_BUILD_DIR/win/desktop_keeper.ready"
rm -f "$keeper_ready"
"$QUORALLION_WINE" "$QUORALLION_BUILD_DIR/win/bin/desktop_keeper.exe" "Z:${keeper_ready//\//\\}" \
  </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 100); do
  [ -e "$keeper_ready" ] && break
  sleep 0.1
done
[ -e "$keeper_ready" ] || echo "test: the desktop keeper did not start" >&2

# Extra arguments go to both CTest runs (for instance -R clipboard).
build=$QUORALLION_BUILD_DIR
status=0
ctest --test-dir "$build/native" --output-on-failure -j "${QUORALLION_JOBS:-$(nproc)}" "$@" || status=1
ctest --test-dir "$build/win" --output-on-failure -j "${QUORALLION_JOBS:-$(nproc)}" "$@" || status=1
python3 scripts/test-summary.py "$build/native" "$build/win" || status=1
exit $status
