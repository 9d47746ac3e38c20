# common.sh -- shared by play.sh and test.sh: installing what is missing, building.
# shellcheck shell=sh

build_packages="g++ make cmake pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libfreetype-dev libfontconfig-dev zlib1g-dev libasio-dev fonts-urw-base35"
test_packages="googletest libgtest-dev libbenchmark-dev libx11-dev xvfb xauth xfonts-base xdotool openbox
  clang libclang-rt-14-dev emscripten node-acorn node-pako python3 chromium"
demo_packages="xvfb xauth xfonts-base xdotool imagemagick"
web_packages="emscripten node-acorn node-pako python3"

as_root() {
  if [ "$(id -u)" = 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "mudlark: '$*' needs root; run this as root or install sudo" >&2
    return 1
  fi
}

# Installs the Debian packages named in $@ that are not installed yet.
ensure_packages() {
  missing=""
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
      missing="$missing $package"
    fi
  done
  if [ -n "$missing" ]; then
    echo "mudlark: installing$missing"
    as_root apt-get update -qq
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
  fi
}

build_jobs() {
  nproc 2>/dev/null || echo 2
}
