#!/usr/bin/env bash
# ctest's emulator: runs one test executable in the build tree's Wine prefix.
here=$(cd "$(dirname "$0")" && pwd)
BUILD=${VAKO_BUILD_DIR:?}
source "$here/env.sh"
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run: no DISPLAY; run the tests through 'make test'" >&2
    exit 1
fi
exec wine "$@"
