#!/usr/bin/env bash
# The programs meet bad input and a missing display with one clear line and the right exit
# code, never a crash: korvane-bench's options, korvane-sim given a folder, the desktop
# program without a display and with a recording that is no script.
#   bad_input.sh BUILD_DIR
set -u
build=$1
failures=0
# expect CODE TEXT COMMAND...: the command exits with CODE and prints TEXT.
expect() {
    local code=$1 text=$2 out rc
    shift 2
    out=$("$@" 2>&1)
    rc=$?
    if [ "$rc" -ne "$code" ] || [[ "$out" != *"$text"* ]]; then
        echo "FAIL: $* gave exit $rc (wanted $code) and: $out"
        failures=$((failures + 1))
    fi
}
bad=$(mktemp)
trap 'rm -f "$bad"' EXIT
printf 'click cmdStart\nfly away\n' >"$bad"
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

expect 0 "Usage: korvane-bench" "$build/korvane-bench" --help
expect 2 "unknown option" "$build/korvane-bench" --frames=5
expect 2 "cannot read '/'" "$build/korvane-sim" /
expect 0 "korvane " "${nodisplay[@]}" "$build/korvane" --version
expect 1 "no display found" "${nodisplay[@]}" "$build/korvane"
expect 2 "korvane: line 2: unknown command 'fly'" "${nodisplay[@]}" "$build/korvane" --replay "$bad"
[ "$failures" -eq 0 ] && echo "all bad input answered"
exit "$failures"
