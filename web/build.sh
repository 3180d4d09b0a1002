#!/usr/bin/env bash
# Builds Korvane for the browser into OUTDIR (default build-web): index.html, its style and
# script, korvane.js and korvane.wasm, the icon. The folder is plain static files for any
# web server. Needs Debian's emscripten and a host C++ compiler (for the sound synthesizer).
#   web/build.sh [OUTDIR]
# Intermediate files go to OUTDIR.obj; only what changed is compiled again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-build-web}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work="$out.obj"
mkdir -p "$work/obj"

if ! command -v em++ >/dev/null; then
    echo "web/build.sh: em++ not found; install Debian's emscripten package" >&2
    exit 1
fi
# emscripten's own JavaScript tools need Debian's node modules, whichever node runs them.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# True when $1 is missing or older than any file named in its dependency list $2.
stale() {
    local target=$1 deps=$2
    [ -f "$target" ] && [ -f "$deps" ] || return 0
    local dep
    for dep in $(sed -e 's/^[^:]*://' -e 's/\\$//' "$deps"); do
        [ "$dep" -nt "$target" ] && return 0
    done
    return 1
}

# The sounds: synthesized by the same native tool as for the desktop, the same bytes.
soundgen_src=("$root"/tools/soundgen/*.cpp)
soundgen="$work/korvane_soundgen"
if [ ! -x "$soundgen" ] || [ -n "$(find "$root/tools/soundgen" -newer "$soundgen" -print -quit)" ]; then
    echo "== sound synthesizer (host)"
    "${CXX:-c++}" -std=c++20 -O2 -I"$root/tools/soundgen" -I"$root/engine" "${soundgen_src[@]}" -o "$soundgen"
fi
sounds="$work/embedded_sounds.cpp"
if [ ! -f "$sounds" ] || [ "$soundgen" -nt "$sounds" ]; then
    "$soundgen" --cpp "$sounds"
fi

# The version, from the project's own declaration, as the desktop build configures it.
version=$(sed -n 's/^project(korvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
mkdir -p "$work/generated"
sed "s/@PROJECT_VERSION@/$version/" "$root/cmake/korvane_version.h.in" >"$work/generated/korvane_version.h.new"
cmp -s "$work/generated/korvane_version.h.new" "$work/generated/korvane_version.h" ||
    mv "$work/generated/korvane_version.h.new" "$work/generated/korvane_version.h"

sources=("$root"/engine/*.cpp "$root"/input/*.cpp "$root"/dialogs/*.cpp "$root"/web/*.cpp "$sounds")
includes=(-I"$root/engine" -I"$root/input" -I"$root/dialogs" -I"$root/sound"
          -I"$root/assets" -I"$root/web" -I"$work/generated")
cxxflags=(-std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow)
jobs=${KORVANE_WEB_JOBS:-2}
objects=()
pids=()
for src in "${sources[@]}"; do
    name=$(basename "$(dirname "$src")")_$(basename "${src%.cpp}")
    obj="$work/obj/$name.o"
    objects+=("$obj")
    if stale "$obj" "$work/obj/$name.d"; then
        echo "== $src"
        # A failed compile leaves no object behind, so the next run tries it again.
        em++ "${cxxflags[@]}" "${includes[@]}" -MMD -MF "$work/obj/$name.d" -c "$src" \
            -o "$obj" || { rm -f "$obj"; exit 1; } &
        pids+=($!)
        if [ ${#pids[@]} -ge "$jobs" ]; then
            wait "${pids[0]}"
            pids=("${pids[@]:1}")
        fi
    fi
done
for pid in "${pids[@]}"; do wait "$pid"; done

# ASYNCIFY lets the frame loop's yield and the modal windows hand the thread to the browser
# and come back where they were; korvane_wait is the page's wait that they call.
echo "== korvane.js + korvane.wasm"
em++ -O2 "${objects[@]}" -o "$out/korvane.js" \
    -sASYNCIFY -sASYNCIFY_IMPORTS='["korvane_wait"]' -sASYNCIFY_STACK_SIZE=65536 \
    -sINITIAL_MEMORY=33554432 -sALLOW_MEMORY_GROWTH=0 -sENVIRONMENT=web \
    -sEXIT_RUNTIME=0 -sINVOKE_RUN=1

cp "$root/web/index.html" "$root/web/korvane.css" "$root/web/page.js" "$out/"
cp "$root/assets/icons/korvane-32.png" "$out/icon.png"
echo "Built the browser version in $out (serve it with any static web server)"
