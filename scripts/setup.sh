#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing (Debian, as root).
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
# Each topic lists its packages in scripts/packages/*.list (one per line, # starts a comment).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
for pkg in $(sed -e 's/#.*//' "$root"/scripts/packages/*.list); do
  have_pkg "$pkg" || need+=("$pkg")
done
if ((${#need[@]})); then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Several checkouts may set up at once: wait for another install's lock rather than fail.
  apt-get -o DPkg::Lock::Timeout=1200 update -qq
  apt-get -o DPkg::Lock::Timeout=1200 install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
