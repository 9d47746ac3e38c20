#!/bin/sh
# Every build races alike: each race_hashes given prints the same hash after
# every second of ten minutes of racing on each track. A program given as
# wine:PREFIX:RUN_FOLDER:PROGRAM.exe runs under Wine in its own run folder, one
# given as node:PROGRAM.js under Node.
# Usage: race_hashes_test.sh RUN_FOLDER PROGRAM...
set -eu
run=$1
shift
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
n=0
for program in "$@"; do
  n=$((n + 1))
  case "$program" in
  wine:*)
    rest=${program#wine:}
    prefix=${rest%%:*}
    rest=${rest#*:}
    folder=${rest%%:*}
    exe=${rest#*:}
    (cd "$folder" && env WINEPREFIX="$prefix" WINEDEBUG=-all wine "$exe") | tr -d '\r' >"$out/$n" ;;
  node:*)
    (cd "$run" && node "${program#node:}") >"$out/$n" ;;
  *)
    (cd "$run" && "$program") >"$out/$n" ;;
  esac
  lines=$(grep -c second "$out/$n" || true)
  if [ "$lines" -ne 1800 ]; then
    echo "FAIL: $program printed $lines hashes, not 1800"
    exit 1
  fi
  if ! cmp -s "$out/1" "$out/$n"; then
    echo "FAIL: $program races otherwise than $1; the first seconds apart:"
    diff "$out/1" "$out/$n" | head -6
    exit 1
  fi
  echo "$program: $(tail -n 1 "$out/$n"), the same 1800 hashes"
done
