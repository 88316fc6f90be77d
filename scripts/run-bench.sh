#!/usr/bin/env bash
# Runs every benchmark program of the build tree. Each prints one line per figure
# and nothing else; a failing one says why on stderr and the script fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
status=0
for b in "$BUILD_ABS"/bin/bench_*.exe; do
    [ -e "$b" ] || continue
    wine "$b" </dev/null || status=1
done
exit $status
