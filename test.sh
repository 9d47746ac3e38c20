#!/bin/sh
# Builds Mudlark with warnings as errors and runs every test: unit tests (the
# SDL backend's pads in a real SDL window among them), end-to-end tests of the
# built game (each starts an Xvfb of its own), the install tree and the Debian
# package through whichever packager's validators are installed, the Windows
# build under Wine when mingw-w64 and Wine are installed, the benchmarks
# briefly, and a short run of every fuzz target. Installs what is missing
# first. Arguments go to the first ctest.
set -eu
root=$(cd "$(dirname "$0")" && pwd)
. "$root/scripts/common.sh"

ensure_packages $build_packages $test_packages
build="$root/build/test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUDLARK_WERROR=ON >/dev/null
cmake --build "$build" -j "$(build_jobs)"
ctest --test-dir "$build" --output-on-failure -j "$(build_jobs)" "$@"

# A few seconds of fuzzing for every file reader (clang and libFuzzer), so the
# fuzz targets keep building and running; scripts/fuzz.sh fuzzes for longer.
fuzz="$root/build/fuzz"
cmake -S "$root" -B "$fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUDLARK_FUZZ=ON -DMUDLARK_SANITIZE=ON \
  -DMUDLARK_TESTS=OFF -DMUDLARK_BENCH=OFF >/dev/null
cmake --build "$fuzz" -j "$(build_jobs)"
ctest --test-dir "$fuzz" --output-on-failure -j "$(build_jobs)" -L fuzz
