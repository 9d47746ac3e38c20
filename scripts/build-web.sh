#!/bin/sh
# build-web.sh [FOLDER] -- builds Mudlark for a browser into FOLDER (build/web
# unless given): index.html,
# mudlark.js, mudlark.wasm, mudlark.data (the data set) and pako.min.js.
# Everything comes from Debian: Emscripten, its acorn, and pako (the page's
# zlib); the data set is made here by the native generator, as for the game.
# Serve the folder with scripts/serve-web.sh.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"

ensure_packages $build_packages $web_packages
# Debian's Emscripten finds its JavaScript parser (acorn) through NODE_PATH.
NODE_PATH=/usr/share/nodejs
export NODE_PATH
out=${1:-"$root/build/web"}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work="$out-build"
emcmake cmake -S "$root" -B "$work" -DCMAKE_BUILD_TYPE=Release -DMUDLARK_BACKEND=web \
  -DMUDLARK_TESTS=OFF -DMUDLARK_BENCH=OFF -DMUDLARK_WEB_DIR="$out" >/dev/null
cmake --build "$work" -j "$(build_jobs)"
cp "$root/src/platform/web/index.html" "$out/index.html"
cp /usr/share/nodejs/pako/dist/pako.min.js "$out/pako.min.js"
echo "mudlark: the page is in $out; scripts/serve-web.sh serves it"
