#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy with the project's .clang-tidy over every source under
# SOURCE_DIR (src/, or a part of it) as the build compiles it, and fails on
# any warning.
# Usage: check_tidy.py RUN_CLANG_TIDY CLANG_TIDY BUILD_DIR SOURCE_DIR
# The compile commands are GCC's: the options clang does not know are left
# out of a private copy of them.
import json
import os
import re
import subprocess
import sys
import tempfile

GCC_ONLY = {'-fcoroutines', '-fstack-clash-protection', '-fno-semantic-interposition'}


def main():
    if len(sys.argv) != 5:
        print(__doc__ or 'usage: check_tidy.py RUN_CLANG_TIDY CLANG_TIDY BUILD_DIR SOURCE_DIR')
        return 2
    runner, tidy, build, source = sys.argv[1:5]
    if not os.access(runner, os.X_OK) or not os.access(tidy, os.X_OK):
        print(f'no clang-tidy at {tidy}: skipped')
        return 77
    source = os.path.realpath(source)
    with open(os.path.join(build, 'compile_commands.json')) as f:
        commands = json.load(f)
    kept = []
    for entry in commands:
        file = os.path.realpath(os.path.join(entry['directory'], entry['file']))
        if not file.startswith(source + os.sep) or '_autogen' in file:
            continue
        words = entry['command'].split()
        entry['command'] = ' '.join(w for w in words if w not in GCC_ONLY)
        kept.append(entry)
    if not kept:
        print('no sources of src/ in the compile commands')
        return 1
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, 'compile_commands.json'), 'w') as f:
            json.dump(kept, f)
        result = subprocess.run(
            [runner, '-clang-tidy-binary', tidy, '-p', folder, '-quiet', '-j', str(os.cpu_count() or 2),
             source + '/.*\\.cpp$'],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    output = re.sub(r'\x1b\[[0-9;]*m', '', result.stdout)
    findings = [line for line in output.splitlines()
                if ': warning: ' in line or ': error: ' in line]
    for line in findings:
        print(line)
    if result.returncode != 0 or findings:
        if not findings:
            print(output[-4000:])
        print(f'{len(findings)} finding(s) in {len(kept)} sources')
        return 1
    print(f'{len(kept)} sources, no findings')
    return 0


if __name__ == '__main__':
    sys.exit(main())
