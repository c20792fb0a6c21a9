#!/bin/sh
# Lines of C++ (and the few scripts the tests drive) in product, simulator, tools and tests, and
# the tests' share of them all.
set -eu
cd "$(dirname "$0")/.."
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.py' \) -print0 |
        xargs -0 cat 2>/dev/null | wc -l
}
product=$(count src)
simulator=$(count sim)
tools=$(count cli bench fuzz)
tests=$(count tests)
total=$((product + simulator + tools + tests))
printf '%-10s %7d\n' product "$product" simulator "$simulator" tools "$tools" tests "$tests" \
    total "$total"
printf 'test share %d.%d %%\n' $((tests * 100 / total)) $((tests * 1000 / total % 10))
