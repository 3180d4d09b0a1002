#!/usr/bin/env bash
# Every option a program's --help lists is documented: korvane's, korvane-sim's and
# korvane-bench's in the README, korvane's in its manual page too, and korvane-hall's (where
# the build has it) in the hall's operator guide. The options are read
# from the help itself, so a new option fails this until the docs name it.
#   options_documented.sh BUILD_DIR SOURCE_DIR
set -u
build=$1 source=$2
failures=0
# The manual page writes a dash as \-.
manual=$(sed 's/\\-/-/g' "$source/packaging/korvane.6")
readme=$(cat "$source/README.md")
hall_guide=$(cat "$source/docs/hall.md")

# documented WHERE TEXT OPTION: TEXT names OPTION as a whole word.
documented() {
    if ! grep -qE -- "$3([^a-z0-9-]|\$)" <<<"$2"; then
        echo "FAIL: $1 does not name $3"
        failures=$((failures + 1))
    fi
}

programs=(korvane korvane-sim korvane-bench)
[ -x "$build/hall/korvane-hall" ] && programs+=(hall/korvane-hall)
for program in "${programs[@]}"; do
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$build/$program" --help) || {
        echo "FAIL: $program --help"
        failures=$((failures + 1))
        continue
    }
    options=$(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u)
    [ -n "$options" ] || { echo "FAIL: $program --help lists no option"; failures=$((failures + 1)); }
    for option in $options; do
        case "$program" in
            hall/korvane-hall) documented docs/hall.md "$hall_guide" "$option" ;;
            korvane) documented README.md "$readme" "$option"
                documented packaging/korvane.6 "$manual" "$option" ;;
            *) documented README.md "$readme" "$option" ;;
        esac
    done
done
[ "$failures" -eq 0 ] && echo "every option documented"
exit "$failures"
