#!/bin/sh
# fuzz.sh [SECONDS] [TARGET...] -- fuzzes the game's file readers with libFuzzer
# (clang, address and undefined-behaviour sanitizers), each target in turn for
# SECONDS (default 60): every fuzz/fuzz_TARGET.cpp unless some are named. The
# corpus grows in build/fuzz/fuzz-corpus/TARGET; a finding is saved as
# build/fuzz/fuzz-crash-TARGET-*.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-$(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$//')}

ensure_packages $build_packages clang libclang-rt-14-dev
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUDLARK_FUZZ=ON -DMUDLARK_SANITIZE=ON \
  -DMUDLARK_TESTS=OFF -DMUDLARK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(build_jobs)"

for target in $targets; do
  echo "fuzz_$target: $seconds seconds"
  mkdir -p "$build/fuzz-corpus/$target"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-crash-$target-" \
    "$build/fuzz-corpus/$target" "$build/fuzz-seeds/$target" 2>&1 |
    grep -E "^stat::number_of_executed_units|^stat::peak_rss|ERROR|SUMMARY|Done" || true
done
