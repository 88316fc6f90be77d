#!/usr/bin/env bash
# The pictures of the user guide, taken from the real program: the end-to-end
# tests that walk through the main window's views, the properties and capture
# dialogs, the options, the wait for a dropped program and the dialog of the
# running programs save each window once VAKO_SCREENSHOT_DIR is set; the pictures
# then become docs/<name>.png. Runs inside with-display.sh.
#
# VAKO_SHOT_DPI=144 takes them at that display scale instead (Wine's LogPixels,
# which every program started afterwards reads; 96 again at the end) as
# docs/dpi144_<name>.png, or into VAKO_SHOT_OUT when that names a folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
root=$(cd "$here/.." && pwd)
shots="$BUILD_ABS/shots"
dpi=${VAKO_SHOT_DPI:-96}
out=${VAKO_SHOT_OUT:-$root/docs}
prefix=""
[ "$dpi" = 96 ] || prefix="dpi${dpi}_"
rm -rf "$shots"
mkdir -p "$shots" "$out"
set_dpi() {
    local value
    value=$(printf '0x%x' "$1")
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$value" /f >/dev/null
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$value" /f >/dev/null
}
if [ "$dpi" != 96 ]; then
    set_dpi "$dpi"
    trap 'set_dpi 96' EXIT
fi
# Drive Z: is the host's root.
export VAKO_SCREENSHOT_DIR="Z:${shots//\//\\}"
ctest --test-dir "$BUILD_ABS" --output-on-failure --timeout 300 -R \
    '^(MainWindow\.LoadedColumnWidthsSurviveEveryViewAndAreWrittenBackUnchanged|Properties\.CapturesTheQuitCommandFromTheTargetsMenuAndQuitAllReplaysIt|Options\.OkStoresTheOptionsAndTheIgnoreListCancelChangesNothing|RestoreAfter\.ClosingDuringTheWaitKeepsTheRecordAndPomuttoKidouRestoresAtOnce|Adding\.RunningProgramsAreOfferedAndTheTickedOnesRegistered)$' ||
    # Their pixel counts are those of 96 DPI; elsewhere only the pictures count.
    [ "$dpi" != 96 ]
expected=(main_report main_largeicon main_smallicon main_list properties_dialog
          capture_dialog_waiting capture_dialog options_general options_quit options_run
          options_add_dialog restore_waiting add_running_dialog)
for name in "${expected[@]}"; do
    [ -f "$shots/$name.bmp" ] || { echo "screenshots: $name was not taken" >&2; exit 1; }
    # No time stamps in the files: the same picture gives the same bytes.
    convert "$shots/$name.bmp" -strip -define png:exclude-chunks=date,time "$out/$prefix$name.png"
    echo "screenshots: $out/$prefix$name.png"
done
