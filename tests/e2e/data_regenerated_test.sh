#!/bin/sh
# The data set is the build's output, the same bytes on every run: a fresh run
# of the generator matches the run folder (every track), track 1 is what it
# always was, and a run folder that lost a file, or had one edited, is whole
# again after the next build. Usage: data_regenerated_test.sh BUILD_DIR MAKE_DATA
set -eu
build=$1
make_data=$2
run="$build/run"
saved=$(mktemp -d)
trap 'rm -rf "$saved"' EXIT
"$make_data" "$saved/fresh" >/dev/null
for folder in Models Tracks Textures; do
  diff -r "$saved/fresh/$folder" "$run/$folder" || { echo "FAIL: $folder differs between runs"; exit 1; }
done
# Track 1 is the landscape the game always had, byte for byte.
(cd "$saved/fresh/Tracks" && md5sum -c --quiet) <<'SUMS' || { echo "FAIL: track 1 is not what it was"; exit 1; }
5f60f5ebbf3e5af61f8c50e6a097bd65  Gates_01.txt
a8d69b17ffa99883a5694dbb5b7fd7ca  Growth_01.raw
155a221c85b3051540be511822ea3093  Terrain_01.raw
35fe908853a4b2e2858c480cc0427f15  TextureOverlay_01.bmp
75fdd35cb4488d0c17d5ed4ef8856976  Texture_01.bmp
SUMS
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
echo "data set the same on every run and made whole again by the build"
