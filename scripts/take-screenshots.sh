#!/usr/bin/env bash
# The pictures of the user guide, taken from the real program: the end-to-end
# tests that walk through the main window's views, the properties and capture
# dialogs and the options save each window once VAKO_SCREENSHOT_DIR is set; the
# pictures then become docs/<name>.png. Runs inside with-display.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
root=$(cd "$here/.." && pwd)
shots="$BUILD_ABS/shots"
rm -rf "$shots"
mkdir -p "$shots"
# Drive Z: is the host's root.
export VAKO_SCREENSHOT_DIR="Z:${shots//\//\\}"
ctest --test-dir "$BUILD_ABS" --output-on-failure --timeout 300 -R \
    '^(MainWindow\.LoadedColumnWidthsSurviveEveryViewAndAreWrittenBackUnchanged|Properties\.CapturesTheQuitCommandFromTheTargetsMenuAndQuitAllReplaysIt|Options\.OkStoresTheOptionsAndTheIgnoreListCancelChangesNothing)$'
expected=(main_report main_largeicon main_smallicon main_list properties_dialog
          capture_dialog_waiting capture_dialog options_general options_quit options_run
          options_add_dialog)
for name in "${expected[@]}"; do
    [ -f "$shots/$name.bmp" ] || { echo "screenshots: $name was not taken" >&2; exit 1; }
    # No time stamps in the files: the same picture gives the same bytes.
    convert "$shots/$name.bmp" -strip -define png:exclude-chunks=date,time "$root/docs/$name.png"
    echo "screenshots: docs/$name.png"
done
