#!/bin/sh
# screenshots.sh RUN_FOLDER -- makes the README's pictures in docs/screenshots:
# the one-driver, three-driver and world layouts, with all three vehicles
# circling the start area and smoking, tracks 2 and 3 just after F7 with their
# names up, then a race at "GO" back on track 1.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/session.sh"
work=$(mktemp -d)
start_session "$1" "$work"

# Blue circles left, red right, green straight on then left.
xdotool keydown KP_8 keydown KP_4 keydown W keydown D keydown I
sleep 1
xdotool keydown J
shot one-driver 2.5
press Delete
shot three-drivers 1.5
press End
shot world 1.2
# The other tracks, their names across the views.
press Delete
press F7
shot long-valley 1.0
press F7
shot quarry 1.0
press F7
xdotool keyup KP_4 keyup D keyup J
# A race: all three on the grid, the countdown, and away at "GO".
press Delete
press F5
shot race 3.4
xdotool keyup KP_8 keyup W keyup I
end_session

mkdir -p "$root/docs/screenshots"
for name in one-driver three-drivers world long-valley quarry race; do
  convert "$work/$name.png" -resize 800x600 -strip "$root/docs/screenshots/$name.png"
done
rm -rf "$work"
echo "README pictures written to docs/screenshots/."
