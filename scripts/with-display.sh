#!/usr/bin/env bash
# Runs a command with a display and a running wineserver for the build tree's prefix.
# Uses $DISPLAY when VAKO_OWN_DISPLAY is unset and a display is there; otherwise
# starts a private Xvfb. Stops only what it started.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"

xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

if [ -n "${VAKO_OWN_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
    fdfile=$(mktemp)
    exec 9>"$fdfile"
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    exec 9>&-
    num=$(tr -dc 0-9 <"$fdfile")
    rm -f "$fdfile"
    [ -n "$num" ] || { echo "with-display: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$num"
    export VAKO_VIRTUAL_DISPLAY=1
fi
wineserver -p
# Wine ends its desktop process soon after the last program using it, and every
# program started later waits for a new one: keep one alive for the session. It runs
# from the prefix's Windows folder, beside Wine's own desktop process, so that the
# programs a user would register from the running ones are the tests' alone.
keeper="$BUILD_ABS/bin/desktop_keeper.exe"
if [ -f "$keeper" ]; then
    # Replaced only when changed: a running copy must not be overwritten.
    cmp -s "$keeper" "$WINEPREFIX/drive_c/windows/desktop_keeper.exe" ||
        cp -f "$keeper" "$WINEPREFIX/drive_c/windows/desktop_keeper.exe"
    wine 'C:\windows\desktop_keeper.exe' </dev/null >/dev/null 2>&1 &
fi
# Start Wine's own background processes now, detached from our output: started
# later by a test, they would inherit its pipes and keep them open.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
"$@"
