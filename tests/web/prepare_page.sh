# Sourced by the browser tests' scripts: skips (exit 77) where a tool is missing or
# puppeteer-core cannot be installed, then builds the page into $out. Needs $here, $root
# and $what (the test's name, for the skip message).
missing=()
for tool in emcmake cmake ninja chromium npm node python3; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIP: $what needs ${missing[*]} (./run.sh test installs them)"
    exit 77
fi
if [ ! -d "$here/node_modules/puppeteer-core" ] &&
    ! (cd "$here" && npm install --no-audit --no-fund --loglevel=error); then
    echo "SKIP: puppeteer-core could not be installed from npm"
    exit 77
fi
out="$root/build-web-test"
# The build's lines are shown only when it fails: a failing check then leads the output.
built=$(mktemp)
"$root/web/build.sh" "$out" >"$built" 2>&1 || { cat "$built"; exit 1; }
rm -f "$built"
# Runs a browser test's script; when it fails, the checks that failed and any error are
# printed again after its whole output, where a shortened log still shows them.
play() {
    local log status=0
    log=$(mktemp)
    node "$@" 2>&1 | tee "$log" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "--- $(basename "$1") failed:"
        grep -vE '^ok ' "$log" | head -40
    fi
    rm -f "$log"
    return "$status"
}
