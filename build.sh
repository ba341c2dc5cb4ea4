#!/usr/bin/env bash
# Builds Halcyra on Debian 12 and then plays the demo game or runs every test.
#
#   ./build.sh demo   install what is missing, build, start the demo game in a window
#   ./build.sh test   install what is missing, build, run every test with ctest
#   ./build.sh test-sanitize
#                     the same with AddressSanitizer and UndefinedBehaviorSanitizer in every
#                     program (folder build-sanitize), then the fuzz targets built with clang
#                     (folder build-fuzz), each run for FUZZ_SMOKE_SECONDS (default 15)
#   ./build.sh fuzz [MINUTES]
#                     build the fuzz targets and run each for MINUTES (default 5) minutes, one
#                     after the other; new inputs go to build-fuzz/corpus, faults to
#                     build-fuzz/crashes
#
# BUILD_DIR (default: build, build-sanitize for test-sanitize) chooses the build folder;
# FUZZ_DIR (default: build-fuzz) the fuzz build folder.
set -euo pipefail
cd "$(dirname "$0")"

readonly PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-ipafont-gothic libvorbis-dev libimgui-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps
)
# The fuzz targets need clang with its libFuzzer runtime, and llvm-symbolizer for readable reports.
readonly FUZZ_PACKAGES=(clang libclang-rt-14-dev llvm)
if [[ "${1:-}" == test-sanitize ]]; then
  readonly BUILD_DIR="${BUILD_DIR:-build-sanitize}"
else
  readonly BUILD_DIR="${BUILD_DIR:-build}"
fi
readonly FUZZ_DIR="${FUZZ_DIR:-build-fuzz}"

install_missing_packages() {
  local missing=() package
  for package in "${PACKAGES[@]}" "$@"; do
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

build_fuzz_targets() {
  CC=clang CXX=clang++ cmake -S . -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHALCYRA_FUZZ=ON -DHALCYRA_TESTS=OFF -DHALCYRA_BENCH=OFF
  cmake --build "$FUZZ_DIR" --target fuzz
}

# Runs every fuzz target for the given seconds, one at a time on one core, each on its seeds and
# the inputs earlier runs kept; fails when any target found a fault (its input is then in
# $FUZZ_DIR/crashes and its log in $FUZZ_DIR/NAME.log).
run_fuzz_targets() {
  local seconds="$1" program name failed=()
  # Absolute paths: each target works inside a temporary folder of its own.
  local root
  root="$(cd "$FUZZ_DIR" && pwd)"
  mkdir -p "$root/crashes"
  for program in "$root"/fuzz/halcyra-fuzz-*; do
    name="${program##*/halcyra-fuzz-}"
    [[ "$name" == seeds ]] && continue
    mkdir -p "$root/corpus/$name"
    echo "Fuzzing $name for $seconds s"
    if ! "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$root/crashes/$name-" \
      "$root/corpus/$name" "$root/fuzz-seeds/$name" 2>"$root/$name.log"; then
      tail -n 60 "$root/$name.log" >&2
      failed+=("$name")
    fi
    grep -E '^(Done |#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::average_exec_per_sec)' \
      "$root/$name.log" || true
  done
  if ((${#failed[@]} > 0)); then
    echo "Faults found by: ${failed[*]}; the inputs are in $FUZZ_DIR/crashes" >&2
    return 1
  fi
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
  test-sanitize)
    install_missing_packages "${FUZZ_PACKAGES[@]}"
    build -DHALCYRA_SANITIZE=ON -DHALCYRA_BENCH=OFF
    HALCYRA_MONKEY_EVENTS="${HALCYRA_MONKEY_EVENTS:-30000}" ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
    build_fuzz_targets
    run_fuzz_targets "${FUZZ_SMOKE_SECONDS:-15}"
    ;;
  fuzz)
    install_missing_packages "${FUZZ_PACKAGES[@]}"
    build_fuzz_targets
    run_fuzz_targets "$((${2:-5} * 60))"
    ;;
  *)
    echo "usage: $0 demo|test|test-sanitize|fuzz [MINUTES]" >&2
    exit 2
    ;;
esac
