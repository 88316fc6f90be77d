#!/bin/sh
# Formats the C and C++ sources with the one code style (.clang-format). Resource
# scripts, CMake files and the rest are laid out by hand: clang-format would take a
# resource script for C++ and run its statements together.
set -e
cd "$(dirname "$0")/.."
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format-14 -i "$@"
