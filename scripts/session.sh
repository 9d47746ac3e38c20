# session.sh -- shared by demo.sh and screenshots.sh: Mudlark on an X server of
# its own (Xvfb), played with real key presses through XTEST.
# shellcheck shell=sh

# start_session RUN_FOLDER OUT_FOLDER: starts Xvfb and the game, focuses its window.
start_session() {
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
  (cd "$run" && exec ./mudlark) &
  game=$!
  window=$(xdotool search --sync --name '^OpenGL$' | head -n 1)
  xdotool windowfocus --sync "$window"
}

# Keys are held for a fifth of a second: the game looks at them once a frame.
press() {
  xdotool keydown "$1"
  sleep 0.2
  xdotool keyup "$1"
}

# shot NAME SECONDS: waits, then saves the screen as OUT_FOLDER/NAME.png.
shot() {
  sleep "$2"
  import -window root "$out/$1.png"
  echo "  $out/$1.png"
}

# Ends the game with Escape; should it not end, it is stopped after a few seconds.
end_session() {
  press Escape
  (sleep 10; kill "$game" 2>/dev/null) &
  wait "$game" || true
}
