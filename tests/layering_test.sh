#!/bin/sh
# The source folders read top to bottom: each includes only from its own floor
# and the floors below it. A backend's program entry (*_main.cpp, and the test
# probe) is the top of its program, whatever folder holds it.
# Usage: layering_test.sh SOURCE_DIR
set -eu
cd "$1/src"
rank() {
  case "$1" in
    app) echo 10 ;; scene) echo 9 ;; replay) echo 8 ;; race) echo 7 ;; vehicle) echo 6 ;; terrain) echo 5 ;;
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
# What steps the world needs no window (a replay is checked without one): the
# simulation's files and the headers they share include nothing of GL or drawing.
for file in vehicle/vehicle.cpp vehicle/vehicle_physics.cpp vehicle/wheels.cpp vehicle/smoke.cpp \
  vehicle/vehicle.h vehicle/smoke.h terrain/terrain_data.cpp terrain/terrain.h terrain/track.cpp terrain/track.h assets/model_read.cpp assets/model.h \
  race/*.cpp race/*.h replay/*.cpp replay/*.h scene/simulation.cpp scene/simulation_setup.cpp scene/scene.h; do
  if grep -q -E '#include ("common/gl_api.h"|"render/|"assets/texture.h"|<GL/)' "$file"; then
    echo "FAIL: $file is part of the simulation and includes GL or drawing"
    status=1
  fi
done
[ $status = 0 ] && echo "every include runs downwards; the simulation draws nothing"
exit $status
