# Sourced by the other scripts: the Wine environment of one build tree.
# Everything Wine writes lives below the build tree, never in the real home.
: "${BUILD:=build}"
BUILD_ABS=$(cd "$BUILD" 2>/dev/null && pwd || echo "$PWD/$BUILD")
export WINEPREFIX="$BUILD_ABS/wine/prefix"
export HOME="$BUILD_ABS/wine/home"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH
