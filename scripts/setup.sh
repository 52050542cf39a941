#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing (Debian, as root).
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64 libz-mingw-w64-dev \
           wine wine64 libwine-dev xvfb xauth cmake make g++ googletest imagemagick clang \
           libclang-rt-14-dev python3 ghostscript libjpeg-turbo-progs poppler-utils emf2svg \
           librsvg2-bin; do
  have_pkg "$pkg" || need+=("$pkg")
done
if ((${#need[@]})); then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Several checkouts may set up at once: wait for another install's lock rather than fail.
  apt-get -o DPkg::Lock::Timeout=1200 update -qq
  apt-get -o DPkg::Lock::Timeout=1200 install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
