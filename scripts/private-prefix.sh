#!/usr/bin/env bash
# Runs one test executable in a Wine prefix of its own, made from the build tree's
# prefix, for a test whose program ends the session of the prefix it runs in:
# Wine's ExitWindowsEx asks every program of that prefix to end, and the suite's
# prefix with its programs must never be reached. Its wineserver is ended and the
# copy removed when the run ends, also when the test fails.
#
#   private-prefix.sh NAME EXE [ARGS...]   runs EXE in build/wine/NAME, then cleans up
#   private-prefix.sh NAME --clean         only cleans up (the ctest fixture's cleanup)
#
# The copy links the folders of system libraries, which Wine only reads (1.2 GB),
# and copies everything else, so that no file of the suite's prefix can be written
# through it; the registry files are copied too.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
BUILD=${VAKO_BUILD_DIR:?}
source "$here/env.sh"
name=${1:?name of the private prefix}
shift
shared=$WINEPREFIX
private="$BUILD_ABS/wine/$name"
case "$name" in
    */* | . | .. | prefix | home | bin) echo "private-prefix: bad name $name" >&2; exit 2 ;;
esac

clean() {
    if [ -d "$private" ]; then
        WINEPREFIX="$private" wineserver -k 2>/dev/null || true
        WINEPREFIX="$private" wineserver -w 2>/dev/null || true
        rm -rf "$private"
    fi
}
clean
[ "${1:-}" = --clean ] && exit 0
trap clean EXIT
trap 'exit 130' INT TERM

[ -f "$shared/system.reg" ] || { echo "private-prefix: no prefix at $shared (make prefix)" >&2; exit 1; }
start=$(date +%s%N)
mkdir -p "$private/drive_c/windows"
for entry in "$shared"/* "$shared"/.update-timestamp; do
    case "$(basename "$entry")" in
        drive_c | wineserver) ;;
        *) cp -a "$entry" "$private/" ;;
    esac
done
for entry in "$shared"/drive_c/*; do
    [ "$(basename "$entry")" = windows ] || cp -a "$entry" "$private/drive_c/"
done
for entry in "$shared"/drive_c/windows/*; do
    case "$(basename "$entry")" in
        system32 | syswow64 | winsxs) cp -al "$entry" "$private/drive_c/windows/" ;;
        *) cp -a "$entry" "$private/drive_c/windows/" ;;
    esac
done
echo "private-prefix: $name made in $((($(date +%s%N) - start) / 1000000)) ms"

export WINEPREFIX="$private"
wineserver -p
# Wine's own background processes start detached from the test's output, as in
# with-display.sh: started by the test, they would hold its pipes open.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
wine "$@"
