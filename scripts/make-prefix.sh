#!/usr/bin/env bash
# Creates the build tree's Wine prefix once: a default (64-bit) prefix with the
# settings the program and the tests rely on.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
stamp="$WINEPREFIX/.vako-ready"

# Windows draws the caption buttons, check marks and arrows as glyphs of the
# Marlett font. Wine 8 on Debian does not load its own fonts from its data folder,
# so Marlett is missing and the glyphs come out as the letters "0 1 r" of whatever
# font the locale falls back to (a CJK one under Japanese). A copy in the prefix's
# Fonts folder is loaded like a font installed on Windows. Only Marlett: Wine's
# Latin fonts would change how the Japanese dialogs' text is matched.
install_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
}

if [ -f "$stamp" ]; then
    install_fonts
    exit 0
fi

echo "prefix: creating $WINEPREFIX"
rm -rf "$WINEPREFIX"
mkdir -p "$HOME" "$WINEPREFIX"
(
    set -e
    unset DISPLAY
    wineboot -i >/dev/null 2>&1
    wineserver -w
    reg() { wine reg add "$@" /f >/dev/null; }
    # Wine maps the font the windows ask for to the IPA font.
    reg "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "ＭＳ Ｐゴシック" /t REG_SZ /d "IPAPGothic"
    reg "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "ＭＳ ゴシック" /t REG_SZ /d "IPAGothic"
    reg "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "MS UI Gothic" /t REG_SZ /d "IPAPGothic"
    # A crash must never wait for a click.
    reg "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0
    # Without a window manager, managed windows cost 2 s each when they close.
    reg "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d N
    wineserver -w
)
# The Desktop of a new prefix links to the real home folder: make it a folder
# of its own so that nothing reaches outside the build tree.
for d in "$WINEPREFIX"/drive_c/users/*/; do
    for link in "$d"*; do
        if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
    done
done
install_fonts
touch "$stamp"
