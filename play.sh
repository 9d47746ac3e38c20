#!/bin/sh
# Builds Mudlark and starts it from its run folder (build/release/run), installing
# what is missing first. Without a display it plays a short demo under Xvfb
# instead and saves screenshots of every layout.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
. "$root/scripts/common.sh"

ensure_packages $build_packages
build="$root/build/release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMUDLARK_TESTS=OFF -DMUDLARK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(build_jobs)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  cd "$build/run"
  exec ./mudlark
fi

ensure_packages $demo_packages
exec "$root/scripts/demo.sh" "$build/run" "$root/screenshots-demo"
