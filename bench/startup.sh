#!/bin/sh
# startup.sh [STARTS] [GAME] -- starts the built game STARTS times (default 5)
# on a virtual X server and prints, for each start-up step, the median of its
# milliseconds, and the median from the process's start to its first frame on
# screen, measured from outside. GAME defaults to build/test/run/mudlark.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
starts=${1:-5}
game=${2:-"$root/build/test/run/mudlark"}
work=$(mktemp -d /tmp/mudlark-startup-XXXXXX)
xvfb=""
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" SDL_AUDIODRIVER=dummy MUDLARK_TRACE_STARTUP=1
cd "$(dirname "$game")"
for i in $(seq "$starts"); do
  begun=$(date +%s%3N)
  "$game" 2>"$work/trace-$i" &
  pid=$!
  for _ in $(seq 200); do grep -q "first frame on screen" "$work/trace-$i" && break; sleep 0.05; done
  kill "$pid"; wait "$pid" 2>/dev/null || true
  shown=$(sed -n 's/^start-up: first frame on screen at //p' "$work/trace-$i")
  echo "$((shown - begun))" >> "$work/outside"
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cat "$work"/trace-* | grep -v "on screen at" | sed 's/^start-up: //' |
  awk '{ t = $(NF - 1); name = $0; sub(/ +[0-9.]+ ms$/, "", name); print name "\t" t }' > "$work/steps"
cut -f1 "$work/steps" | awk '!seen[$0]++' | while IFS= read -r step; do
  printf '%-36s %7s ms\n' "$step" "$(grep -F "$step	" "$work/steps" | cut -f2 | median)"
done
printf '%-36s %7s ms (median of %d)\n' "from the process's start, outside" "$(median < "$work/outside")" "$starts"
