#!/bin/sh
# The data set is the build's output: a run folder that lost a file, or had one
# edited, is whole again after the next build. Usage: data_regenerated_test.sh BUILD_DIR
set -eu
build=$1
run="$build/run"
saved=$(mktemp -d)
trap 'rm -rf "$saved"' EXIT
cp "$run/Tracks/Terrain_01.raw" "$run/Models/Model01.obj" "$run/Textures/SmokeMap.tga" "$saved/"

rm "$run/Tracks/Terrain_01.raw"
rm -r "$run/Textures"
printf 'vertex: 0 1 1 1\n' > "$run/Models/Model01.obj"
cmake --build "$build" --target mudlark_data >/dev/null

for file in Tracks/Terrain_01.raw Models/Model01.obj Textures/SmokeMap.tga; do
  if ! cmp -s "$saved/$(basename "$file")" "$run/$file"; then
    echo "FAIL: $file was not made again by the build"
    exit 1
  fi
done
echo "data set made whole again by the build"
