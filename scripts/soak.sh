#!/bin/sh
# soak.sh [MINUTES] -- leaves the sanitized game running on a virtual X server
# for MINUTES (default 30): races of three computer drivers back to back on
# every track (F7 between them), in every layout in turn, each race's replay
# watched after it at four times the speed, the window minimised and restored
# every third race. After a first minute that shows every track in every
# layout, the resident memory is sampled after each race and its replay. At
# the end: no sanitizer report, the memory grown by less than 2 MiB from the
# first third of the races to the last (the least of each: the memory after a
# race swings by 20 MB with its track and layout), judged from 12 races on,
# every kept replay checked clean by --check-replay, records.txt whole, no file
# left half written. Prints the figures (the memory once a minute); exits 1
# on any fault.
# Pads: the game itself gets none (a device it could see needs uinput, which
# a build machine seldom has), so the SDL pad test's four virtual controllers
# are plugged in and pulled out 100 times a minute of soak in one process,
# with the leak check on. SOAK_BUILD names a sanitized build to use (default:
# build/sanitize, built when missing).
set -eu
minutes=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"
ensure_packages $build_packages $test_packages openbox
build=${SOAK_BUILD:-"$root/build/sanitize"}
if [ ! -x "$build/run/mudlark" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMUDLARK_SANITIZE=ON \
    -DMUDLARK_WERROR=ON -DMUDLARK_WINDOWS_TESTS=OFF -DMUDLARK_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$(build_jobs)" --target mudlark mudlark_data
fi
if [ ! -x "$build/tests/sdl_pad_tests" ]; then
  cmake --build "$build" -j "$(build_jobs)" --target sdl_pad_tests
fi

work=$(mktemp -d /tmp/mudlark-soak-XXXXXX)
xvfb=""; wm=""; game=""
finish() {
  for pid in $game $wm $xvfb; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT INT TERM
mkdir -p "$work/game" "$work/data" "$work/config"
for top in Models Tracks Textures; do cp -r "$build/run/$top" "$work/game/"; done
printf 'resolution: 640 480 32\nfullscreen: false\nlaps: 1\nfps: true\n' > "$work/game/settings.cfg"

# A display of its own, with a window manager (minimising needs one).
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=:$(cat "$work/display"); export DISPLAY
openbox >/dev/null 2>&1 &
wm=$!

# Every sanitizer report into files of its own; no quarantine of freed memory,
# or the resident figure would be the quarantine filling up. Leaks are looked
# for in the replay checks, not in the game: it unloads the GL driver before
# the leak check runs, and nothing can be told apart then.
export ASAN_OPTIONS="detect_leaks=0:halt_on_error=0:quarantine_size_mb=0:log_path=$work/sanitizer"
export LSAN_OPTIONS="suppressions=$root/scripts/leak-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=0:log_path=$work/sanitizer"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
(cd "$work/game" && exec "$build/run/mudlark") 2>"$work/stderr.txt" &
game=$!
window=$(xdotool search --sync --onlyvisible --name OpenGL | head -1)

replays() { ls "$work/data/mudlark/replays" 2>/dev/null | grep -c '\.mlr$' || true; }
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$game/status" 2>/dev/null || true; }
key() { xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true; xdotool key --window "$window" "$@"; }

# The first minute: every track in every layout once, and a race's replay, so
# that what the game and the GL driver make once for each (display lists,
# pictures, the driver's compiled drawing) is made before the memory counts.
for _ in 1 2 3; do
  for layout in Insert Home Delete End; do key "$layout"; sleep 1; done
  key F7; sleep 1
done
start=$(date +%s)
end=$((start + 60 * minutes))
next_sample=$((start + 60))
samples=""
races=0
layouts="Insert Home Delete End"
while [ "$(date +%s)" -lt "$end" ] && kill -0 "$game" 2>/dev/null; do
  layout=$(echo $layouts | cut -d' ' -f$((races % 4 + 1)))
  key "$layout"
  before=$(replays)
  raced=$(date +%s)
  key F5
  # A lap of three computer drivers, however slow the machine: until its replay is kept.
  while [ "$(replays)" -eq "$before" ] && [ "$before" -lt 20 ] && [ $(($(date +%s) - raced)) -lt 300 ]; do
    sleep 1
  done
  # Twenty kept: the newest replaces the oldest; give the lap its time.
  [ "$before" -ge 20 ] && sleep 40
  races=$((races + 1))
  key F6 Right Right
  sleep 8
  key F6
  # The memory at the same moment of each race (its replay watched), with
  # its track: what is left, not what a replay holds while it plays.
  sleep 1
  echo "$((races % 3)) $(rss)" >>"$work/memory.txt"
  if [ "$(date +%s)" -ge "$next_sample" ]; then
    samples="$samples $(rss)"; next_sample=$(($(date +%s) + 60))
  fi
  if [ $((races % 3)) -eq 0 ]; then
    xdotool windowminimize "$window"; sleep 2
    xdotool windowactivate "$window" >/dev/null 2>&1 || xdotool windowmap "$window"; sleep 1
  fi
  key F7
done

faults=0
say() { echo "soak: $*"; }
if ! kill -0 "$game" 2>/dev/null; then
  say "the game ended by itself"; faults=$((faults + 1))
else
  key Escape
  for _ in $(seq 300); do kill -0 "$game" 2>/dev/null || break; sleep 0.2; done
  wait "$game" || true
fi
game=""
reports=$(ls "$work"/sanitizer* 2>/dev/null | wc -l)
if [ "$reports" -gt 0 ] || grep -q "runtime error\|AddressSanitizer\|LeakSanitizer" "$work/stderr.txt"; then
  say "sanitizer reports:"; cat "$work"/sanitizer* 2>/dev/null | head -40; faults=$((faults + 1))
fi
say "resident memory each minute (KiB):$samples"
# The least of the last third of the races against the least of the first.
grown=$(awk '{ v[NR] = $2 } END {
    k = int(NR / 3); if (k < 4) { print "none"; exit }
    a = v[1]; for (i = 2; i <= k; i++) if (v[i] < a) a = v[i]
    b = v[NR]; for (i = NR - k + 1; i < NR; i++) if (v[i] < b) b = v[i]
    print b - a }' "$work/memory.txt" 2>/dev/null || echo none)
say "resident memory after each race (KiB):$(awk '{ printf " %s", $2 }' "$work/memory.txt" 2>/dev/null)"
if [ "$grown" = none ]; then
  say "too few races (under 12) to judge the memory's growth"
else
  say "memory grown from the first third of the races to the last: $grown KiB"
  if [ "$grown" -ge 2048 ]; then
    say "memory grew by $grown KiB"; faults=$((faults + 1))
  fi
fi
checked=0
for replay in "$work"/data/mudlark/replays/*.mlr; do
  [ -e "$replay" ] || continue
  if (cd "$work/game" && ASAN_OPTIONS="detect_leaks=1:log_path=$work/sanitizer-check" \
      "$build/run/mudlark" --check-replay "$replay") 2>&1 | grep -q "keyframes corrected: 0 of"; then
    checked=$((checked + 1))
  else
    say "$replay does not check clean"; faults=$((faults + 1))
  fi
done
if ls "$work"/sanitizer-check* >/dev/null 2>&1; then
  say "sanitizer reports of the replay checks:"; cat "$work"/sanitizer-check* | head -40; faults=$((faults + 1))
fi
records="$work/data/mudlark/records.txt"
if [ -e "$records" ] && grep -v -E '^(#.*|clock 2|[0-9]+ [0-9]+ [0-9]+\.[0-9]+ [0-9]+\.[0-9]+)$' "$records" | grep -q .; then
  say "records.txt does not read back:"; cat "$records"; faults=$((faults + 1))
fi
if find "$work/data" "$work/config" -name '*.tmp' | grep -q .; then
  say "files left half written:"; find "$work/data" "$work/config" -name '*.tmp'; faults=$((faults + 1))
fi
plugs=$((minutes * 100))
if ! (cd "$build/tests" && ASAN_OPTIONS="detect_leaks=1" ./sdl_pad_tests --gtest_filter='SdlPads.*' \
      --gtest_repeat="$plugs" --gtest_brief=1) >"$work/pads.txt" 2>&1; then
  say "the pads plugged in and out failed:"; tail -40 "$work/pads.txt"; faults=$((faults + 1))
fi
say "$minutes minutes, $races races, $checked replays checked clean, $reports sanitizer reports," \
  "4 pads plugged in and out $plugs times, $faults faults"
[ "$faults" -eq 0 ]
