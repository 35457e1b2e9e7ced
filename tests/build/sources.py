# SPDX-License-Identifier: GPL-3.0-or-later
# What the source checks share: the text of a C++ file with comments and
# literals blanked out, so that brackets and keywords in them are not read.
import re


def blank(text):
    """The text with comments, strings and character literals made spaces
    (line breaks kept, so positions stay)."""
    out = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
            out.append(' ' * (j - i))
            i = j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append(''.join(ch if ch == '\n' else ' ' for ch in text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            end = text.find(')' + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append('R"' + ''.join(ch if ch == '\n' else ' ' for ch in text[i + 2:j - 1]) + '"')
            i = j
        elif c == "'" and re.search(r'(?<![\w])[0-9][\w\']*$', text[max(0, i - 40):i]) and i + 1 < n and text[i + 1].isalnum():
            out.append(c)  # a digit separator: 10'000'000
            i += 1
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            out.append(c + ' ' * (j - i - 1) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def line_of(text, position):
    return text.count('\n', 0, position) + 1
