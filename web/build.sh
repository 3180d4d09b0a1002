#!/usr/bin/env bash
# Builds Korvane for the browser into OUTDIR (default build-web): index.html, its style and
# script, korvane.js and korvane.wasm, the icon; plain static files for any web server.
# A thin wrapper around the CMake build with emscripten's toolchain, whose tree goes to
# OUTDIR.obj (only what changed is built again). Needs Debian's emscripten, CMake, Ninja and
# a host C++ compiler (for the sound synthesizer).
#   web/build.sh [OUTDIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-build-web}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if ! command -v emcmake >/dev/null; then
    echo "web/build.sh: emcmake not found; install Debian's emscripten package" >&2
    exit 1
fi
# emscripten's own JavaScript tools need Debian's node modules, whichever node runs them.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

emcmake cmake -S "$root" -B "$out.obj" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKORVANE_PAGE_DIR="$out" >/dev/null
cmake --build "$out.obj" --parallel "${KORVANE_WEB_JOBS:-2}"
echo "Built the browser version in $out (serve it with any static web server)"
