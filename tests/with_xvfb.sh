#!/bin/sh
# Runs a command with DISPLAY set to an X server of its own (Xvfb, 24-bit),
# which is stopped afterwards. The exit status is the command's.
set -u
fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo_dir/display" >/dev/null 2>&1 &
xvfb_pid=$!
read -r display_number <"$fifo_dir/display"
rm -rf "$fifo_dir"
DISPLAY=":$display_number"
export DISPLAY
"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
