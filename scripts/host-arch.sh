#!/usr/bin/env bash
# Prints the Windows architecture the tests can run here: i686 where Wine's 32-bit
# loader starts, x86_64 where the kernel cannot run 32-bit programs. VAKO_ARCH
# overrides the answer.
if [ -n "${VAKO_ARCH:-}" ]; then
    echo "$VAKO_ARCH"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
else
    echo x86_64
fi
