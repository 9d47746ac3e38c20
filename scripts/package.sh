#!/bin/sh
# package.sh -- builds Mudlark for installing under /usr and packs it: a Debian
# package (its dependencies found by dpkg-shlibdeps) and a .tar.gz of the
# install tree, both in build/package/. Installs what it needs first.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"

ensure_packages $build_packages dpkg-dev file
build="$root/build/package"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DMUDLARK_TESTS=OFF -DMUDLARK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(build_jobs)"
(cd "$build" && cpack >/dev/null)
ls "$build"/*.deb "$build"/*.tar.gz
