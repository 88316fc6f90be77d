#!/usr/bin/env python3
"""Copies a UTF-8 source file with every non-ASCII character replaced by the octal
escapes of its code page 932 bytes.

The program's literals are Shift-JIS (mingw compiles with -fexec-charset=CP932);
clang only knows UTF-8 as execution character set, so the host build compiles
these copies instead and sees the very bytes the program sees. Octal escapes,
because a hexadecimal escape would swallow a following digit or letter, and
because a raw trail byte 0x5C would escape the next character.

usage: cp932-source.py IN OUT
"""
import pathlib
import sys


def escape(ch: str) -> str:
    if ord(ch) < 0x80:
        return ch
    try:
        data = ch.encode("cp932")
    except UnicodeEncodeError:
        return "?"  # only in comments: the cross build would reject it in a literal
    return "".join("\\%03o" % b for b in data)


def main() -> None:
    src, dst = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    text = src.read_text(encoding="utf-8")
    dst.parent.mkdir(parents=True, exist_ok=True)
    out = "".join(escape(ch) for ch in text)
    if not dst.exists() or dst.read_text(encoding="ascii") != out:
        dst.write_text(out, encoding="ascii")


if __name__ == "__main__":
    main()
