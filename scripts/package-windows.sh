#!/bin/sh
# package-windows.sh -- cross-builds mudlark.exe with mingw-w64 and packs it with
# its generated data into build/windows/Mudlark/ and build/windows/Mudlark-windows.zip,
# and into the installer build/windows/mudlark-VERSION-setup.exe (NSIS).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/common.sh"
ensure_packages g++ make cmake g++-mingw-w64-x86-64-posix libz-mingw-w64-dev libasio-dev nsis
build="$root/build/windows"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(build_jobs)" --target package_windows installer_windows
echo "Windows package: $build/Mudlark-windows.zip"
echo "Windows installer: $(ls "$build"/mudlark-*-setup.exe)"
