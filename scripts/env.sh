# Sourced by the other scripts: the Wine environment of one build tree.
# Everything Wine writes lives below the build tree, never in the real home.
: "${BUILD:=build}"
BUILD_ABS=$(cd "$BUILD" 2>/dev/null && pwd || echo "$PWD/$BUILD")
export WINEPREFIX="$BUILD_ABS/wine/prefix"
export HOME="$BUILD_ABS/wine/home"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
# winemenubuilder mirrors every shortcut saved on the Desktop as a Linux .desktop
# file beside it, a moment later: tests that write the desktop shortcuts would
# leave those behind for the tests that expect an empty Desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEARCH

# Where the kernel cannot run 32-bit programs, Wine's own scripts would still pick
# the 32-bit loader and fail: route them to the 64-bit one, which the 64-bit build
# of the tests needs.
if [ "$("$(dirname "${BASH_SOURCE[0]}")/host-arch.sh")" = x86_64 ]; then
    wine_bin="$BUILD_ABS/wine/bin"
    if [ ! -x "$wine_bin/wine-stable" ]; then
        mkdir -p "$wine_bin"
        for name in wine wine-stable; do
            printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$wine_bin/$name"
            chmod +x "$wine_bin/$name"
        done
    fi
    export PATH="$wine_bin:$PATH"
fi
