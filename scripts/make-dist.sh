#!/usr/bin/env bash
# Packs the shipped 32-bit program into dist/VakoQuit-<version>.zip: the program,
# its hook library, the 64-bit hook pieces, the guide as ReadMe.txt and the
# licence. Nothing else is needed on the user's machine: the settings file is
# created beside the program at its first start.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
: "${BUILD:=build}"
build=$(cd "$BUILD" && pwd)

# The 32-bit tree is the build tree itself where the host runs 32-bit programs,
# and its i686 companion elsewhere.
if [ "$(cat "$build/.arch" 2>/dev/null)" = i686 ]; then bin="$build/bin"; else bin="$build/i686/bin"; fi
version=$(sed -n 's/^project(VakoQuit VERSION \([0-9]*\.[0-9]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "dist: no version in CMakeLists.txt" >&2; exit 1; }
zip="$root/dist/VakoQuit-$version.zip"

stage="$build/dist-stage"
rm -rf "$stage"
mkdir -p "$stage" "$root/dist"
for f in VakoQuit.exe VakoHook.dll VakoHook64.dll VakoHook64.exe; do
    [ -f "$bin/$f" ] || { echo "dist: $bin/$f is missing (make build)" >&2; exit 1; }
    cp "$bin/$f" "$stage/"
done
python3 "$here/guide-to-text.py" "$root/docs/guide.md" "$stage/ReadMe.txt"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"

# The files keep one date, so that the same sources give the same zip.
stamp=$(git -C "$root" log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || echo 202601010000)
touch -t "$stamp" "$stage"/*
rm -f "$zip"
(cd "$stage" && zip -q -X "$zip" VakoQuit.exe VakoHook.dll VakoHook64.dll VakoHook64.exe ReadMe.txt LICENSE.txt)
echo "dist: $zip"
unzip -l "$zip"
