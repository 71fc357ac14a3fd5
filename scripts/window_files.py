#!/usr/bin/env python3
"""Lists the window classes (QWidget, QDialog and QMainWindow subclasses, directly or through
another window class) of the window folders and whether each is in a file pair named after it:
TGetClimDlg in GetClimDlg.h/.cpp. Usage: window_files.py [source root]; exits 1 when one is not."""
import re, sys, os
root = sys.argv[1] if len(sys.argv) > 1 else '.'
folders = ['main', 'output', 'cropdb', 'climdb', 'ui']
WINDOW_BASES = {'QWidget', 'QDialog', 'QMainWindow', 'QFileDialog'}
decl = re.compile(r'^\s*class\s+(\w+)\s*(?:final\s*)?:\s*([^{]*)\{', re.M)
classes = {}
for f in folders:
    for dp, _, fs in os.walk(os.path.join(root, f)):
        for fn in fs:
            if fn.endswith('.h'):
                p = os.path.join(dp, fn)
                for m in decl.finditer(open(p).read()):
                    bases = re.findall(r'(?:public|protected|private)\s+([\w:]+)', m.group(2))
                    classes[m.group(1), p] = bases
def is_window(name, seen=()):
    for (n, p), bases in classes.items():
        if n == name:
            for b in bases:
                if b in WINDOW_BASES or (b not in seen and is_window(b, seen + (b,))):
                    return True
    return False
ok = bad = 0
for (n, p), bases in sorted(classes.items(), key=lambda x: x[0][1]):
    if not is_window(n):
        continue
    rel = os.path.relpath(p, root)
    want = (n[1:] if n.startswith('T') else n) + '.h'
    good = os.path.basename(p) == want
    if good and not os.path.exists(p[:-2] + '.cpp'):
        print(f'    {n}: {rel} has no .cpp beside it')
    ok += good; bad += not good
    print(('OK  ' if good else 'NO  ') + f'{n:22} {rel}')
print(f'{ok} of {ok+bad} window classes in a file named after them')
sys.exit(1 if bad else 0)
