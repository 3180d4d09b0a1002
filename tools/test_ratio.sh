#!/usr/bin/env bash
# Lines of tests against lines of code, over the files git tracks: tests/ against every other
# top-level folder but docs/ and assets/. Sources, build files and hand-written test scripts
# (*.kvs) count; generated expected outputs (*.log, *.screen, *.expected) do not.
# The project keeps tests at most 40% of the code, aiming for about a third.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    git ls-files -- "$@" | grep -E '\.(cpp|h|hpp|sh|py|cmake|kvs|js|mjs|html|css)$|(^|/)CMakeLists\.txt$' |
        xargs -r cat | wc -l
}
code=$(count ':!tests/**' ':!docs/**' ':!assets/**' ':!*.md')
tests=$(count 'tests/**')
echo "test lines: $tests, code lines: $code, ratio: $(awk "BEGIN { printf \"%.2f\", $tests / $code }") (at most 0.40, aim 0.33)"
