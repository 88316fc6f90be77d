#!/usr/bin/env bash
# Runs every benchmark program of the build tree and prints its figures.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
status=0
for b in "$BUILD_ABS"/bin/bench_*.exe; do
    [ -e "$b" ] || continue
    echo "== $(basename "$b" .exe)"
    wine "$b" || status=1
done
exit $status
