#!/usr/bin/env bash
# Korvane's setup commands; each installs only what it needs.
#   ./run.sh play   install what building and playing need, build (Release, no tests) and
#                   start the game
#   ./run.sh test   add the test tools, build (Release, tests on, warnings as errors) and run
#                   every test CTest knows in build/ (the browser test and the hall's
#                   tests among them). CI's .ci/run runs this, then the package check,
#                   the suite again under the sanitizers and the test ratio.
#   ./run.sh web    install the browser build's tools, build the page into build-web/ and
#                   serve it at http://localhost:8642/ until stopped
#   ./run.sh hall [OPTIONS]  install what the hall of fame needs, build it and start
#                   korvane-hall on http://localhost:8643/ (OPTIONS go to korvane-hall)
# Works as root on a fresh Debian 12 machine with only the compiler, CMake and apt; quick
# when everything is already installed and built.
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-}
case "$mode" in
    play|test|web) ;;
    hall) shift ;;
    *) echo "usage: ./run.sh play|test|web|hall [OPTIONS]" >&2; exit 2 ;;
esac

# Building and playing the desktop game.
play_packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev libsdl2-dev libicu-dev
    fonts-dejavu-core fonts-liberation2
)
# The browser build: CMake and Ninja drive it with emscripten's toolchain, the host
# compiler builds the sound synthesizer it runs, Python serves the page.
web_packages=(cmake ninja-build g++ emscripten python3)
# The hall of fame server: Qt SQL with its SQLite and PostgreSQL drivers, libmicrohttpd,
# prometheus-cpp for /metrics.
hall_packages=(libqt6sql6-sqlite libqt6sql6-psql libmicrohttpd-dev prometheus-cpp-dev)
# Everything the test suite drives: a headless X server, screenshots, memory checks, the
# desktop-file and package checkers, a real browser for the page, and the hall's
# deployment (nginx in front, PostgreSQL behind).
test_packages=(
    googletest libgtest-dev libgmock-dev
    xvfb xauth xdotool x11-utils imagemagick valgrind
    desktop-file-utils appstream lintian chromium
    postgresql nginx python3
)
# emscripten runs on node; a node the machine already has (Debian's or not) will do.
command -v node >/dev/null || web_packages+=(nodejs)
command -v npm >/dev/null || test_packages+=(npm)

case "$mode" in
    play) packages=("${play_packages[@]}") ;;
    hall) packages=("${play_packages[@]}" "${hall_packages[@]}") ;;
    test) packages=("${play_packages[@]}" "${hall_packages[@]}" "${web_packages[@]}"
                    "${test_packages[@]}") ;;
    web) packages=("${web_packages[@]}") ;;
esac

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
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

if [ "$mode" = web ]; then
    web/build.sh build-web
    echo "Korvane in the browser: http://localhost:8642/ (Ctrl+C stops the server)"
    exec python3 -m http.server 8642 --bind 127.0.0.1 --directory build-web
fi

build=${KORVANE_BUILD_DIR:-build}
# A player's build (the preset "play") leaves the tests out; the tests' build (the preset
# "test") treats every warning as an error, as CI does. A build made for playing (or by hand
# without either) is set up again when the tests are wanted.
preset=$([ "$mode" = test ] && echo test || echo play)
if [ ! -f "$build/CMakeCache.txt" ] ||
    { [ "$preset" = test ] && ! { grep -q '^KORVANE_TESTS:BOOL=ON' "$build/CMakeCache.txt" &&
        grep -q '^KORVANE_WERROR:BOOL=ON' "$build/CMakeCache.txt"; }; }; then
    cmake --preset "$preset" -B "$build"
fi
if [ "$mode" = hall ]; then
    cmake --build "$build" --parallel --target korvane-hall
    exec "./$build/hall/korvane-hall" "$@"
fi
cmake --build "$build" --parallel

if [ "$mode" = play ]; then
    exec "./$build/korvane"
fi
cd "$build"
exec ctest --output-on-failure --parallel 2 --timeout 600
