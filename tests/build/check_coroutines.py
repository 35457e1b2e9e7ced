#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Finds the coroutine shapes GCC 12 miscompiles (docs/CODING.md) in the
# sources and names each with file:line:
#   1. ?: with a co_await on both sides;
#   2. a braced temporary inside a co_await expression;
#   3. a lambda inside a co_await expression;
#   4. a coroutine parameter defaulted to a braced value (= {}, = Type{}).
# Usage: check_coroutines.py SOURCE_DIR     exit 1 when any is found
#        check_coroutines.py --self-test    plants each shape and checks it is found
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sources import blank, line_of  # noqa: E402


def expression_end(text, start):
    """Where the expression that starts at `start` ends: at a ; or a , at
    its own depth, or at a bracket that closes one opened before it."""
    depth = 0
    i = start
    while i < len(text):
        c = text[i]
        if c in '([{':
            depth += 1
        elif c in ')]}':
            if depth == 0:
                return i
            depth -= 1
        elif c in ';,' and depth == 0:
            return i
        i += 1
    return i


def matching_close(text, open_at):
    """Where the bracket opened at `open_at` closes."""
    depth = 0
    for i in range(open_at, len(text)):
        if text[i] in '([{':
            depth += 1
        elif text[i] in ')]}':
            depth -= 1
            if depth == 0:
                return i
    return len(text)


LAMBDA = re.compile(r'\[[^\[\]]*\]\s*(\(|\{|mutable\b)')
BRACED = re.compile(r'(\{)')
CO_AWAIT = re.compile(r'\bco_await\b')
TASK_DECL = re.compile(r'\bQCoro::Task\s*<')


def statements(text):
    """(start, end) of each statement-like stretch between ; { and }."""
    start = 0
    for m in re.finditer(r'[;{}]', text):
        yield start, m.start()
        start = m.end()
    yield start, len(text)


def scan(path, text):
    found = []
    code = blank(text)
    for m in CO_AWAIT.finditer(code):
        end = expression_end(code, m.end())
        span = code[m.end():end]
        lambda_match = LAMBDA.search(span)
        if lambda_match:
            found.append((line_of(code, m.end() + lambda_match.start()), 'a lambda inside a co_await expression'))
            continue
        brace = BRACED.search(span)
        if brace:
            found.append((line_of(code, m.end() + brace.start()), 'a braced temporary inside a co_await expression'))
    for start, end in statements(code):
        statement = code[start:end]
        question = statement.find('?')
        if question < 0:
            continue
        colon = statement.find(':', question)
        while colon >= 0 and statement.startswith('::', colon):
            colon = statement.find(':', colon + 2)
        if colon < 0:
            continue
        if CO_AWAIT.search(statement[question:colon]) and CO_AWAIT.search(statement[colon:]):
            found.append((line_of(code, start + question), '?: with a co_await on both sides'))
    for m in TASK_DECL.finditer(code):
        # Past the template argument, the name, to the parameter list.
        i = m.end()
        depth = 1
        while i < len(code) and depth:
            depth += {'<': 1, '>': -1}.get(code[i], 0)
            i += 1
        name = re.match(r'\s*([A-Za-z_][\w:]*)\s*\(', code[i:])
        if not name:
            continue
        open_paren = i + name.end() - 1
        close = matching_close(code, open_paren)
        params = code[open_paren + 1:close]
        default = re.search(r'=\s*([A-Za-z_][\w:<>]*\s*)?\{', params)
        if default:
            found.append((line_of(code, open_paren + 1 + default.start()),
                          'a coroutine parameter defaulted to a braced value'))
    return [(path, line, what) for line, what in found]


def scan_tree(root):
    found = []
    for folder, _, names in os.walk(root):
        for name in sorted(names):
            if name.endswith(('.h', '.cpp')):
                path = os.path.join(folder, name)
                with open(path, encoding='utf-8') as f:
                    found += scan(os.path.relpath(path, root), f.read())
    return sorted(found)


PLANTED = {
    'conditional.cpp': ('QCoro::Task<int> f(bool b) { const int r = b ? co_await g(1) : co_await h(2); co_return r; }',
                        '?: with a co_await on both sides'),
    'braced.cpp': ('QCoro::Task<int> f() { const int r = co_await g(Request{url, body}); co_return r; }',
                   'a braced temporary inside a co_await expression'),
    'lambda.cpp': ('QCoro::Task<int> f() { const int r = co_await run(x, [y](int) { return y; }); co_return r; }',
                   'a lambda inside a co_await expression'),
    'defaulted.h': ('QCoro::Task<int> f(QString name, Limits limits = {});', 'a coroutine parameter defaulted'),
    'typed.h': ('QCoro::Task<int> f(Limits limits = Limits{});', 'a coroutine parameter defaulted'),
}
SOUND = '''QCoro::Task<int> f(bool b, std::optional<int> n = std::nullopt)
{
    // co_await g({1, 2}) in a comment, and "co_await h([x] {})" in a text
    const Request request{url, body};
    const auto sink = [this](int v) { use(v); };
    int r = 0;
    if (b)
        r = co_await g(request, sink);
    else
        r = co_await h(2);
    const bool both = b ? r > 0 : r < 0;
    co_return both ? co_await g(request, sink) : 0;
}
'''


def self_test():
    with tempfile.TemporaryDirectory() as root:
        with open(os.path.join(root, 'sound.cpp'), 'w', encoding='utf-8') as f:
            f.write(SOUND)
        if scan_tree(root):
            print('a sound file was reported:', scan_tree(root))
            return 1
        for name, (text, what) in PLANTED.items():
            path = os.path.join(root, name)
            with open(path, 'w', encoding='utf-8') as f:
                f.write(text + '\n')
            found = scan_tree(root)
            if not any(entry[0] == name and entry[2].startswith(what) for entry in found):
                print('not found:', name, what, found)
                return 1
            os.remove(path)
    return 0


def main():
    if sys.argv[1:] == ['--self-test']:
        return self_test()
    found = scan_tree(sys.argv[1])
    for path, line, what in found:
        print(f'src/{path}:{line}: {what} (GCC 12 miscompiles it; see docs/CODING.md)')
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
