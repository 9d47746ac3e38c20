#!/bin/sh
# Builds Mudlark with warnings as errors and runs every test: unit tests, GL
# tests and end-to-end tests (each starts an Xvfb of its own). Installs what is
# missing first.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
. "$root/scripts/common.sh"

ensure_packages $build_packages $test_packages
build="$root/build/test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUDLARK_WERROR=ON >/dev/null
cmake --build "$build" -j "$(build_jobs)"
ctest --test-dir "$build" --output-on-failure -j "$(build_jobs)" "$@"
