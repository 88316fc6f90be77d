#!/usr/bin/env python3
"""Turns the Markdown guide into the ReadMe.txt of the zip: plain text without
the pictures, in Shift-JIS (code page 932) with CRLF line ends, as Notepad on
Japanese Windows opens it. A character the code page cannot hold stops the build instead of
turning into a question mark."""
import re
import sys


def inline(text):
    # Links keep their text; marks go.
    text = re.sub(r'\[([^\]]*)\]\([^)]*\)', r'\1', text)
    text = re.sub(r'\*\*([^*]+)\*\*', r'\1', text)
    text = re.sub(r'`([^`]+)`', r'\1', text)
    return text


def convert(lines):
    out = []
    in_code = False
    for line in lines:
        line = line.rstrip('\n')
        if line.startswith('```'):
            in_code = not in_code
            continue
        if in_code:
            out.append('    ' + line)
            continue
        # The pictures stay in the online guide: a text file cannot show them.
        if re.match(r'^\s*!\[[^\]]*\]\([^)]*\)\s*$', line):
            continue
        if line == '' and out and out[-1] == '':
            continue
        m = re.match(r'^(#{1,6})\s+(.*)$', line)
        if m:
            title = inline(m.group(2))
            level = len(m.group(1))
            if out and out[-1] != '':
                out.append('')
            if level == 1:
                out += ['=' * 60, title, '=' * 60]
            elif level == 2:
                out += ['■ ' + title, '-' * 60]
            else:
                out.append('◆ ' + title)
            continue
        if re.match(r'^\|?\s*-{3,}', line):
            continue
        if line.startswith('|'):
            cells = [inline(c.strip()) for c in line.strip().strip('|').split('|')]
            out.append('  ' + ' ／ '.join(c for c in cells if c))
            continue
        out.append(inline(line))
    while out and out[-1] == '':
        out.pop()
    return out


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding='utf-8') as f:
        lines = convert(f.readlines())
    text = '\r\n'.join(lines) + '\r\n'
    try:
        data = text.encode('cp932')
    except UnicodeEncodeError as e:
        sys.exit('%s: %r has no Shift-JIS code: %s' % (source, e.object[e.start:e.end], e))
    with open(target, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
