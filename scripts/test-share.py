#!/usr/bin/env python3
# How much of the repository's C++ is tests: non-blank lines of .cpp and .h
# files with comments removed, outside build*/ and .git/. The suite keeps
# tests/ at most a third of the whole (so at most half of the rest).
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..')


def code_lines(path):
    text = open(path, encoding='utf-8', errors='replace').read()
    # Strings may hold "//" or "/*": blank them before taking comments out.
    text = re.sub(r'"(\\.|[^"\\\n])*"', '""', text)
    text = re.sub(r'/\*.*?\*/', '', text, flags=re.S)
    return sum(1 for line in text.splitlines() if re.sub(r'//.*', '', line).strip())


tests = total = 0
for folder, dirs, files in os.walk(root):
    dirs[:] = [d for d in dirs if d != '.git' and not d.startswith('build')]
    for name in files:
        if name.endswith(('.cpp', '.h')):
            path = os.path.join(folder, name)
            n = code_lines(path)
            total += n
            if os.path.relpath(path, root).split(os.sep)[0] == 'tests':
                tests += n
print(f"tests {tests} of {total} C++ lines: {100.0 * tests / total:.1f}%; "
      f"a third allows {(total - tests) // 2} ({(total - tests) // 2 - tests:+d})")
sys.exit(1 if 3 * tests > total else 0)
