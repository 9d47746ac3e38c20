#!/bin/sh
# package.sh [BUILD_DIR] -- builds Mudlark for installing under /usr (the game in
# /usr/games, as the games section wants it) and packs it: a Debian package (its
# dependencies found by dpkg-shlibdeps) and a .tar.gz of the install tree, both
# in BUILD_DIR (default build/package). Installs what it needs first.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"

ensure_packages $build_packages dpkg-dev file
build=${1:-"$root/build/package"}
# Debian's hardening flags (stack protector, fortified calls, read-only relocations).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_BINDIR=games -DMUDLARK_TESTS=OFF -DMUDLARK_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j "$(build_jobs)"
(cd "$build" && cpack >/dev/null)
ls "$build"/*.deb "$build"/*.tar.gz
