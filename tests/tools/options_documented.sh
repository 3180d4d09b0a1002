#!/usr/bin/env bash
# Every option a program's --help lists is documented: korvane's, korvane-sim's and
# korvane-bench's in the README, and korvane's in its manual page too. The options are read
# from the help itself, so a new option fails this until the docs name it.
#   options_documented.sh BUILD_DIR SOURCE_DIR
set -u
build=$1 source=$2
failures=0
# The manual page writes a dash as \-.
manual=$(sed 's/\\-/-/g' "$source/packaging/korvane.6")
readme=$(cat "$source/README.md")

# documented WHERE TEXT OPTION: TEXT names OPTION as a whole word.
documented() {
    if ! grep -qE -- "$3([^a-z0-9-]|\$)" <<<"$2"; then
        echo "FAIL: $1 does not name $3"
        failures=$((failures + 1))
    fi
}

for program in korvane korvane-sim korvane-bench; do
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$build/$program" --help) || {
        echo "FAIL: $program --help"
        failures=$((failures + 1))
        continue
    }
    options=$(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u)
    [ -n "$options" ] || { echo "FAIL: $program --help lists no option"; failures=$((failures + 1)); }
    for option in $options; do
        documented README.md "$readme" "$option"
        [ "$program" = korvane ] && documented packaging/korvane.6 "$manual" "$option"
    done
done
[ "$failures" -eq 0 ] && echo "every option documented"
exit "$failures"
