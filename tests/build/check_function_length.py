#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Names every function under SOURCE_DIR longer than the limit (80 lines, from
# the line its name is on to its closing brace), with file:line.
# Usage: check_function_length.py SOURCE_DIR [LIMIT]   exit 1 when one is longer
#        check_function_length.py --self-test
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sources import blank, line_of  # noqa: E402

QUALIFIERS = {'const', 'override', 'final', 'noexcept', 'mutable', 'volatile'}


def header_before(code, brace, initialisers):
    """The text from the end of the previous statement or block to `brace`;
    braces of a constructor's member initialisers (closing position to opening
    position in `initialisers`) are part of it."""
    i = brace - 1
    depth = 0
    while i >= 0:
        c = code[i]
        if c in ')]':
            depth += 1
        elif c in '([':
            depth -= 1
        elif depth == 0 and c == '}' and i in initialisers:
            i = initialisers[i]
        elif depth == 0 and c in ';{}':
            break
        i -= 1
    return i + 1, code[i + 1:brace]


def kind_of(code, brace, header):
    text = re.sub(r'\btemplate\s*<[^{};]*?>', ' ', header).strip()
    if re.match(r'(inline\s+)?namespace\b', text) or re.match(r'extern\s*"', text):
        return 'namespace'
    if re.match(r'(typedef\s+)?(class|struct|union|enum)\b', text) and '(' not in text.split(':')[0]:
        return 'class'
    if ')' not in text:
        return 'other'
    before = code[:brace].rstrip()
    word = re.search(r'(\w+)$', before)
    if word and word.group(1) not in QUALIFIERS:
        if re.search(r'\)\s*:', text):
            # A member initialiser with braces in a constructor's list: m_a{1}.
            return 'initialiser'
        if not re.search(r'->\s*[\w:<>]+$', before):
            return 'other'
    if re.search(r'=\s*$', before) or re.search(r'\breturn\b', text):
        return 'other'
    return 'function'


def functions(code):
    """(first line, last line, name) of every function body, outermost only."""
    found = []
    stack = []  # the kind and position of each open brace
    initialisers = {}
    i = 0
    starts = {}
    while i < len(code):
        c = code[i]
        if c == '{':
            if any(kind == 'function' for kind, _ in stack):
                stack.append(('inner', i))
            else:
                start, header = header_before(code, i, initialisers)
                kind = kind_of(code, i, header)
                stack.append((kind, i))
                if kind == 'function':
                    # Neither an access label nor the #include lines at the top of a file are its lines.
                    text = re.sub(r'^(?:\s*#[^\n]*\n)*\s*((public|protected|private)(\s+Q_SLOTS)?\s*:(?!:)|Q_SIGNALS\s*:)?\s*',
                                  '', header)
                    first = start + (len(header) - len(text))
                    name = re.search(r'([\w:~]+|operator\s*\S+)\s*\(', header)
                    starts[len(stack)] = (first, name.group(1) if name else '?')
        elif c == '}' and stack:
            kind, opened = stack.pop()
            if kind == 'initialiser':
                initialisers[i] = opened
            if kind == 'function':
                first, name = starts.pop(len(stack) + 1)
                found.append((line_of(code, first), line_of(code, i), name))
        i += 1
    return found


def scan_tree(root, limit):
    long_ones = []
    for folder, _, names in os.walk(root):
        for name in sorted(names):
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding='utf-8') as f:
                code = blank(f.read())
            for first, last, function in functions(code):
                length = last - first + 1
                if length > limit:
                    long_ones.append((os.path.relpath(path, root), first, function, length))
    return sorted(long_ones)


SAMPLE = '''namespace Tidewell {
struct Limits {
    int a = 0;
    int b() const { return a; }
};
class View : public QWidget
{
public:
    View() : m_a{1}, m_b(2)
    {
%s
    }
    int m_a;
    int m_b;
};
const QStringList names{QStringLiteral("a"), QStringLiteral("b")};
QString View::text(const Server &server) const
{
    const auto make = [&](int n) {
        return QString::number(n);
    };
    if (server.name.isEmpty()) {
%s
    }
    return make(1);
}
} // namespace Tidewell
'''


def self_test():
    with tempfile.TemporaryDirectory() as root:
        path = os.path.join(root, 'sample.cpp')
        with open(path, 'w', encoding='utf-8') as f:
            f.write(SAMPLE % ('\n' * 3, '\n' * 3))
        with open(path, encoding='utf-8') as f:
            found = functions(blank(f.read()))
        names = [name for _, _, name in found]
        if names != ['b', 'View', 'View::text']:
            print('functions found:', found)
            return 1
        with open(path, 'w', encoding='utf-8') as f:
            f.write(SAMPLE % ('\n' * 80, '\n' * 2))
        long_ones = scan_tree(root, 80)
        if [(entry[1], entry[2]) for entry in long_ones] != [(9, 'View')]:
            print('long functions found:', long_ones)
            return 1
        # A first function of 79 lines after includes is not long.
        with open(path, 'w', encoding='utf-8') as f:
            f.write('#include "a.h"\n' * 5 + 'int f()\n{\n' + '\n' * 76 + '}\n')
        long_ones = scan_tree(root, 80)
        if long_ones:
            print('long functions found after includes:', long_ones)
            return 1
    return 0


def main():
    if sys.argv[1:] == ['--self-test']:
        return self_test()
    limit = int(sys.argv[2]) if len(sys.argv) > 2 else 80
    long_ones = scan_tree(sys.argv[1], limit)
    for path, line, name, length in long_ones:
        print(f'src/{path}:{line}: {name} is {length} lines long (at most {limit})')
    return 1 if long_ones else 0


if __name__ == '__main__':
    sys.exit(main())
