#!/bin/sh
# serve-web.sh [PORT] -- serves build/web (made by build-web.sh) on
# http://localhost:PORT/ (8000 unless given) until Ctrl+C.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
port=${1:-8000}
if [ ! -f "$root/build/web/mudlark.wasm" ]; then
  echo "mudlark: build/web is not built yet: run scripts/build-web.sh first" >&2
  exit 1
fi
echo "mudlark: open http://localhost:$port/ (?demo: the computer races)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build/web"
