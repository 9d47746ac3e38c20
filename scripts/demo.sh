#!/bin/sh
# demo.sh RUN_FOLDER SCREENSHOT_FOLDER -- plays Mudlark for a few seconds on an
# X server of its own (Xvfb), with real key presses through XTEST: vehicle 0
# accelerates and steers, the other two drive off, every layout is shown in
# turn, and a race starts. A PNG of each goes into SCREENSHOT_FOLDER.
set -eu
. "$(dirname "$0")/session.sh"
start_session "$1" "$2"

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
press Delete
press F5
shot 6-race-countdown 1.2
xdotool keydown KP_8 keydown W keydown I
shot 7-race 3
xdotool keyup KP_8 keyup W keyup I
end_session
echo "Mudlark ended; the screenshots above show each layout."
