#!/usr/bin/env bash
# The rules that need no Win32 must stay free of it: each of these files compiles
# with the host's own compiler.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
files=("$top"/src/core/*.cpp "$top"/src/quit/window_rules.cpp
       "$top"/src/launch/run_rules.cpp "$top"/src/shell/shortcut_rules.cpp)
for f in "${files[@]}"; do
    g++ -std=c++17 -Wall -Wextra -Werror -fsyntax-only -I"$top/src" "$f"
done
echo "${#files[@]} platform-free files compile natively"
