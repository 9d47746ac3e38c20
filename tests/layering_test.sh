#!/bin/sh
# The source folders read top to bottom: each includes only from its own floor
# and the floors below it. A backend's program entry (*_main.cpp, and the test
# probe) is the top of its program, whatever folder holds it.
# Usage: layering_test.sh SOURCE_DIR
set -eu
cd "$1/src"
rank() {
  case "$1" in
    server) echo 14 ;; app) echo 13 ;; menu) echo 12 ;; scene) echo 11 ;; net) echo 10 ;; replay) echo 9 ;; sim) echo 8 ;; race) echo 7 ;; vehicle) echo 6 ;; terrain) echo 5 ;;
    assets | render | audio) echo 4 ;; core) echo 3 ;; platform) echo 2 ;; common) echo 1 ;;
    *) echo 0 ;;
  esac
}
status=0
for file in $(find . \( -name '*.cpp' -o -name '*.h' \) ! -name '*_main.cpp' ! -name '*_probe.cpp'); do
  floor=$(echo "$file" | cut -d/ -f2)
  for used in $(sed -n 's|^#include "\([a-z_]*\)/.*|\1|p' "$file" | sort -u); do
    if [ "$(rank "$used")" -gt "$(rank "$floor")" ]; then
      echo "FAIL: $file ($floor) includes from $used, a floor above it"
      status=1
    fi
  done
done
# The simulation library (the world and everything its step reads) draws
# nothing and reaches no window, keyboard, pad or clock: no GL, GLU, SDL or
# Windows header, nothing of the platform or of the game's process-wide records.
sim=$(sed -n '/^add_library(mudlark_sim/,/^)/p' ../CMakeLists.txt | grep -o 'src/[a-z_/]*\.cpp' | sed 's|^src/||')
[ -n "$sim" ] || { echo "FAIL: no mudlark_sim library in CMakeLists.txt"; status=1; }
for file in $sim $(echo "$sim" | sed 's|\.cpp$|.h|') vehicle/step_rate.h terrain/terrain.h common/vehicles.h; do
  [ -f "$file" ] || continue
  if grep -n -E '#include *[<"](GL/|SDL|windows\.h|common/gl_api\.h|render/|assets/|platform/|core/|audio/|app/|scene/)' "$file"; then
    echo "FAIL: $file is part of the simulation and includes GL, SDL, Windows or the game's process-wide records"
    status=1
  fi
  if grep -n -E '\b(input|gamepads|frameTimer|settings|keys)\b *(\.|\[)' "$file"; then
    echo "FAIL: $file is part of the simulation and reads the keyboard, the pads, the settings or the frame timer"
    status=1
  fi
done
# The server and the shared base it is built from (mudlark_base) draw,
# play and read keys nowhere: no GL, SDL, window, sound or game floor.
base=$(sed -n '/^set(MUDLARK_FILE_SOURCES/,/^)/p' ../CMakeLists.txt | grep -o 'src/[a-z_/]*\.cpp' | sed 's|^src/||')
[ -n "$base" ] || { echo "FAIL: no mudlark_base library in CMakeLists.txt"; status=1; }
for file in server/*.cpp server/*.h $base $(echo "$base" | sed 's|\.cpp$|.h|'); do
  [ -f "$file" ] || continue
  if grep -n -E '#include *[<"](GL/|SDL|common/gl_api\.h|render/|audio/|app/|menu/)' "$file"; then
    echo "FAIL: $file is part of the server and includes GL, SDL, drawing, sound or the game's floor"
    status=1
  fi
done
# The top floor's rooms call each other one way only: no circle of calls
# runs through src/app. A room calls the rooms whose headers its .cpp
# includes (its own aside); a header only names records, like game.h, which
# gathers every room's record into the Game.
cycle=$(for file in app/*.cpp; do
  from=$(basename "$file" | sed 's/\.[a-z]*$//')
  sed -n 's|^#include "app/\([a-z_]*\)\.h".*|\1|p' "$file" | grep -vx "$from" | sed "s|^|$from |"
done | awk '{ edge[$1, $2] = 1; node[$1] = 1; node[$2] = 1 }
  END {
    for (k in node) for (i in node) for (j in node) if (edge[i, k] && edge[k, j]) edge[i, j] = 1
    for (i in node) if (edge[i, i]) print i
  }')
if [ -n "$cycle" ]; then
  echo "FAIL: a circle of calls runs through src/app:" $cycle
  status=1
fi
[ $status = 0 ] && echo "every include runs downwards, the top floor's rooms in no circle; the simulation draws nothing and reads no keys, pads or clock; the server draws nothing"
exit $status
