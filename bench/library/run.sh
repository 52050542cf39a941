#!/usr/bin/env sh
# Runs library_bench under Wine, then juice (npm) on the same 1 MB page and 200 rules.
# Usage: run.sh <library_bench.exe> <juice folder> <work folder> <juice_inline.js>
bench=$1
juice=$2
work=$3
inline=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$work"
winwork="Z:$(printf '%s' "$work" | tr '/' '\\')"
"$root/scripts/wine-exec.sh" "$bench" "$winwork" || exit 1
if [ -f "$juice/UNAVAILABLE" ] || [ ! -d "$juice/node_modules/juice" ]; then
  echo "  juice          skipped: $(cat "$juice/UNAVAILABLE" 2>/dev/null || echo 'not installed')"
  exit 0
fi
printf '  '
node "$inline" "$juice" "$work/bench.html" "$work/bench.css" "$work/bench.juice.html" 3 \
  || echo "juice failed on the benchmark input"
