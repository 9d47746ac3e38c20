#!/bin/sh
# sanitize.sh [CTEST ARGUMENTS] -- builds the game and every test with address
# and undefined-behaviour sanitizers (any finding is fatal) and runs the whole
# suite: the end-to-end tests then play the sanitized game; then three minutes
# of it left running (scripts/soak.sh). CI runs this
# besides the test command.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"
ensure_packages $build_packages $test_packages
build="$root/build/sanitize"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUDLARK_SANITIZE=ON \
  -DMUDLARK_WERROR=ON -DMUDLARK_WINDOWS_TESTS=OFF -DMUDLARK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(build_jobs)"
# Leaks in the system's own libraries (the GL driver, X, fontconfig) are theirs.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/leak-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j "$(build_jobs)" -LE frame-rate "$@"
# Three minutes of the sanitized game left running: races, replays, layouts.
SOAK_BUILD="$build" "$root/scripts/soak.sh" 3
