#!/usr/bin/env bash
# Builds Halcyra on Debian 12 and then plays the demo game or runs every test.
#
#   ./build.sh demo   install what is missing, build, start the demo game in a window
#   ./build.sh test   install what is missing, build, run every test with ctest
#
# BUILD_DIR (default: build) chooses the build folder.
set -euo pipefail
cd "$(dirname "$0")"

readonly PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-ipafont-gothic libvorbis-dev libimgui-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
)
readonly BUILD_DIR="${BUILD_DIR:-build}"

install_missing_packages() {
  local missing=() package
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
      missing+=("$package")
  done
  ((${#missing[@]} == 0)) && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [[ "$(id -u)" -ne 0 ]] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$BUILD_DIR"
}

case "${1:-}" in
  demo)
    install_missing_packages
    build
    exec "$BUILD_DIR/game/halcyra"
    ;;
  test)
    install_missing_packages
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: $0 demo|test" >&2
    exit 2
    ;;
esac
