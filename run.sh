#!/usr/bin/env bash
# Korvane's two-command setup.
#   ./run.sh play   install what is missing, build (Release) and start the game
#   ./run.sh test   install what is missing, build (Release) and run the whole test suite
# Works as root on a fresh Debian 12 machine with only the compiler, CMake and apt; quick
# when everything is already installed and built.
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-}
case "$mode" in
    play|test) ;;
    *) echo "usage: ./run.sh play|test" >&2; exit 2 ;;
esac

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev libsdl2-dev
    googletest libgtest-dev libgmock-dev
    fonts-dejavu-core fonts-liberation2 desktop-file-utils appstream
    xvfb xauth xdotool x11-utils imagemagick valgrind
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=${KORVANE_BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    # The tests' build treats every warning as an error, as CI does.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DKORVANE_WERROR="$([ "$mode" = test ] && echo ON || echo OFF)"
fi
cmake --build "$build" --parallel

if [ "$mode" = play ]; then
    exec "./$build/korvane"
fi
cd "$build"
exec ctest --output-on-failure --parallel 2 --timeout 600
