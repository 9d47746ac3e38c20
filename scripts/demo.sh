#!/bin/sh
# demo.sh RUN_FOLDER SCREENSHOT_FOLDER -- plays Mudlark for a minute on an X
# server of its own (Xvfb), with real key presses through XTEST: a one-lap race
# of three computer drivers from the countdown to the results, watched in every
# layout; then the three vehicles driven by their keys. A PNG of each moment
# goes into SCREENSHOT_FOLDER.
set -eu
. "$(dirname "$0")/session.sh"
run=$(cd "$1" && pwd)
# The run folder's game, data and settings, with races a lap long.
demo=$(mktemp -d)
for part in mudlark Models Tracks Textures; do
  ln -s "$run/$part" "$demo/$part"
done
{ cat "$run/settings.cfg"; echo "laps: 1"; } >"$demo/settings.cfg"
start_session "$demo" "$2"

echo "Mudlark is running on its own X server ($DISPLAY); screenshots:"
# First a race of three computer drivers: nobody has touched a key yet, so the
# computer takes all three. The layout keys are no driver's and change nothing.
press F5
shot 1-race-countdown 1.2
shot 2-race-one-driver 4
press Home
shot 3-race-two-drivers 1.5
press Delete
shot 4-race-three-drivers 1.5
press End
shot 5-race-world 1.5
press Delete
shot 6-race-results 25
# Then the sandbox: a layout key ends the results, and the keys drive.
press Insert
xdotool keydown KP_8 keydown W keydown I
shot 7-one-driver 3
xdotool keydown KP_4
shot 8-one-driver-steering 1.5
xdotool keyup KP_4
press Delete
shot 9-three-drivers 1.5
press End
shot 10-world 1.5
xdotool keyup KP_8 keyup W keyup I
end_session
rm -rf "$demo"
echo "Mudlark ended; the screenshots above show a race and each layout."
