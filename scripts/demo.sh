#!/bin/sh
# demo.sh RUN_FOLDER SCREENSHOT_FOLDER -- plays Mudlark for a few seconds on an
# X server of its own (Xvfb), with real key presses through XTEST: vehicle 0
# accelerates and steers, the other two drive off, and every layout is shown in
# turn. A PNG of each layout goes into SCREENSHOT_FOLDER.
set -eu
run=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo_dir/display" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo_dir/display"
rm -rf "$fifo_dir"
DISPLAY=":$number"
export DISPLAY
trap 'kill $xvfb 2>/dev/null || true' EXIT

cd "$run"
./mudlark &
game=$!
window=$(xdotool search --sync --name '^OpenGL$' | head -n 1)
xdotool windowfocus --sync "$window"

# Keys are held for a fifth of a second: the game looks at them once a frame.
press() {
  xdotool keydown "$1"
  sleep 0.2
  xdotool keyup "$1"
}

shot() {
  sleep "$2"
  import -window root "$out/$1.png"
  echo "  $out/$1.png"
}

echo "Mudlark is running on its own X server ($DISPLAY); screenshots:"
xdotool keydown KP_8 keydown W keydown I
shot 1-one-driver 3
xdotool keydown KP_4
shot 1-one-driver-steering 1.5
xdotool keyup KP_4
press Home
shot 2-two-drivers 1.5
press Delete
shot 3-three-drivers 1.5
press End
shot 4-world 1.5
xdotool keyup KP_8 keyup W keyup I
press Insert
shot 5-one-driver-again 1
press Escape
# Should the game not end, it is stopped after a few seconds.
(sleep 10; kill "$game" 2>/dev/null) &
wait "$game" || true
echo "Mudlark ended; the screenshots above show each layout."
