#!/usr/bin/env sh
# Installs juice from npm into the build folder with the machine's own npm, then inlines the
# comparison page with it. When npm or its registry cannot be reached it leaves UNAVAILABLE with
# the reason, and the tests and the benchmark that need juice skip and say why.
# Usage: setup.sh <juice folder> <page.html> <page.css>
dir=$1
page=$2
sheet=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
rm -f "$dir/UNAVAILABLE"
unavailable() {
  echo "$1" > "$dir/UNAVAILABLE"
  echo "juice: $1 (the comparison with juice is skipped)"
  exit 0
}
command -v node >/dev/null 2>&1 || unavailable "no node on this machine"
if [ ! -f "$dir/node_modules/juice/package.json" ]; then
  command -v npm >/dev/null 2>&1 || unavailable "no npm on this machine"
  timeout 300 npm install --prefix "$dir" --no-audit --no-fund --no-save --silent juice@12 \
      >"$dir/npm.log" 2>&1 || unavailable "npm could not install juice: $(tail -n 3 "$dir/npm.log" | tr '\n' ' ')"
fi
node "$here/juice_inline.js" "$dir" "$page" "$sheet" "$dir/newsletter.juice.html" \
  || unavailable "juice failed on the comparison page"
echo "juice: $(node -e "console.log(require('$dir/node_modules/juice/package.json').version)") ready"
