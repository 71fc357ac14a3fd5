#!/usr/bin/env python3
"""Checks the floors of the source tree (CODING_STYLE.md, "Layers").

Every folder stands on a floor; a file may include headers of its own folder
and of folders on lower floors, never of a folder on its own floor (sideways)
or above it (up). The folders' libraries may link only downwards too (the
target_link_libraries lines of each folder's CMakeLists.txt), the folders
without windows include no Qt Widgets header, and no header includes itself
through others (no include cycle between files, none between folders). No
code asks whether another folder is built (`#if QUEN_HAVE_...`, `if(TARGET
...)` in a folder's CMakeLists.txt).

Usage: check_layers.py [source root] [--qt-widgets DIR] | --self-test
DIR: the Qt Widgets header folder (default: looked for under /usr/include).
--self-test: runs the check on a small tree with one fault of each kind.
Prints each folder's includes per folder below it, then every fault; exits 1
when there is one."""
import collections
import glob
import os
import re
import sys

# Lowest floor first; folders on one floor are siblings and include nothing
# of each other.
FLOORS = [
    ['db'],                                  # tables, table handles, data modules, messages
    ['engine', 'ui'],                        # the computation; the window toolkit
    ['job', 'report'],                       # job operations; the report engine
    ['output'],                              # the main program's output windows, reports, charts
    ['calc', 'main', 'cropdb', 'climdb'],    # the four programs
    ['tests'],
    ['bench'],                               # benches build on the tests' fixtures
]
NO_WINDOWS = {'db', 'engine', 'job'}
SOURCE_EXT = ('.h', '.hpp', '.cpp', '.cc')

floor_of = {f: n for n, fs in enumerate(FLOORS) for f in fs}


def allowed(src, dst):
    return src == dst or floor_of.get(dst, 99) < floor_of.get(src, -1)


include_re = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def cycles(edges):
    """Strongly connected parts of more than one node (Tarjan)."""
    index, low, stack, on, out = {}, {}, [], set(), []
    sys.setrecursionlimit(100000)

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in edges.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            part = []
            while True:
                w = stack.pop()
                on.discard(w)
                part.append(w)
                if w == v:
                    break
            if len(part) > 1 or v in edges.get(v, ()):
                out.append(sorted(part))

    for v in sorted(set(edges) | {w for ws in edges.values() for w in ws}):
        if v not in index:
            visit(v)
    return out


# Every folder is always built: no code compiles one way or another as a
# sibling folder is built or not.
guard_re = re.compile(r'^\s*#\s*(?:if|ifdef|ifndef|elif)\b.*\bQUEN_HAVE_\w+.*$', re.M)


def check(root, qt_widgets=None):
    """(the lines of the folder table, the faults) of the tree at root."""
    faults = []
    lines = []

    # Every source file of the tree, by top folder; headers also by base name
    # (most includes name a header without its folder and reach it through the
    # include directories of the linked libraries).
    files = {}
    by_name = collections.defaultdict(list)
    for top in sorted(os.listdir(root)):
        d = os.path.join(root, top)
        if not os.path.isdir(d) or top.startswith('.') or os.path.exists(os.path.join(d, 'CMakeCache.txt')):
            continue   # a build folder inside the tree holds generated sources
        for dp, dns, fns in os.walk(d):
            dns[:] = [n for n in dns if not n.startswith('.')]
            for fn in fns:
                if fn.endswith(SOURCE_EXT):
                    rel = os.path.relpath(os.path.join(dp, fn), root)
                    files[rel] = top
                    if not fn.endswith(('.cpp', '.cc')):
                        by_name[fn].append(rel)
    for top in sorted(set(files.values()) - set(floor_of)):
        faults.append(f'{top}/ holds sources but stands on no floor (add it to FLOORS)')

    def resolve(path, kind, name):
        """The tree's files the include can mean (empty for a system header)."""
        here = os.path.normpath(os.path.join(os.path.dirname(path), name))
        if kind == '"' and here in files:
            return [here]
        if os.path.normpath(name) in files:
            return [os.path.normpath(name)]
        if '/' in name:
            return [p for p in by_name.get(os.path.basename(name), []) if p.endswith('/' + name)]
        return list(by_name.get(name, []))

    file_edges = collections.defaultdict(set)
    dir_edges = collections.defaultdict(set)
    counts = collections.defaultdict(collections.Counter)
    widget_headers = set()
    if qt_widgets is None:
        found = glob.glob('/usr/include/*/qt6/QtWidgets') + glob.glob('/usr/include/qt6/QtWidgets')
        qt_widgets = found[0] if found else None
    if qt_widgets and os.path.isdir(qt_widgets):
        widget_headers = {n for n in os.listdir(qt_widgets) if n.startswith('Q')} | {'QtWidgets'}
    else:
        lines.append('note: no Qt Widgets header folder found; the no-window check is left out')

    for path, top in sorted(files.items()):
        text = open(os.path.join(root, path), encoding='utf-8', errors='replace').read()
        for guard in guard_re.findall(text):
            faults.append(f'{path}: asks whether another folder is built ({guard.strip()})')
        for kind, name in include_re.findall(text):
            cands = resolve(path, kind, name)
            if not cands:
                base = name.split('/')[-1]
                if top in NO_WINDOWS and (base in widget_headers or name.startswith('QtWidgets/')):
                    faults.append(f'{path}: includes <{name}>, a window header, in a folder without windows')
                continue
            ok = [c for c in cands if allowed(top, files[c])]
            if not ok:
                tgt = files[cands[0]]
                way = 'sideways' if floor_of.get(tgt) == floor_of.get(top) else 'up'
                faults.append(f'{path}: includes "{name}" ({cands[0]}), {way} from {top}/ to {tgt}/')
                ok = cands
            if len(ok) > 1 and top not in ('tests', 'bench'):
                faults.append(f'{path}: "{name}" could be any of {", ".join(sorted(ok))}')
            for c in ok:
                file_edges[path].add(c)
                if files[c] != top:
                    counts[top][files[c]] += 1
                a, b = os.path.dirname(path), os.path.dirname(c)
                if a != b:
                    dir_edges[a].add(b)

    for part in cycles(dir_edges):
        faults.append('folders include each other: ' + ' <-> '.join(part))
    for part in cycles({a: {b for b in bs if a != b} for a, bs in file_edges.items()}):
        faults.append('headers include each other: ' + ' <-> '.join(part))

    # Links: add_library names in each folder, then each folder's
    # target_link_libraries lines may name only libraries of lower floors.
    lib_folder = {}
    cmake_files = {}
    for top in floor_of:
        for p in glob.glob(os.path.join(root, top, '**', 'CMakeLists.txt'), recursive=True):
            cmake_files[p] = top
            for lib in re.findall(r'add_library\(\s*(\w+)', open(p).read()):
                lib_folder[lib] = top
    for p, top in sorted(cmake_files.items()):
        text = re.sub(r'#.*', '', open(p).read())
        for guard in re.findall(r'if\s*\(\s*(?:NOT\s+)?TARGET\b[^)]*\)', text):
            faults.append(f'{os.path.relpath(p, root)}: asks whether another folder is built ({guard})')
        for body in re.findall(r'target_link_libraries\(([^)]*)\)', text):
            for lib in body.split()[1:]:
                tgt = lib_folder.get(lib)
                if tgt and not allowed(top, tgt):
                    faults.append(f'{os.path.relpath(p, root)}: links {lib} of {tgt}/, '
                                  f'{"sideways" if floor_of[tgt] == floor_of[top] else "up"}')

    total = 0
    for n, fs in enumerate(FLOORS):
        for f in fs:
            below = counts.get(f, {})
            total += sum(below.values())
            text = ', '.join(f'{t} {below[t]}' for t in sorted(below, key=lambda t: (floor_of.get(t, 99), t)))
            lines.append(f'floor {n}  {f + "/":9} includes {text or "nothing of another folder"}')
    lines.append(f'{len(files)} files, {total} includes across folders, {len(lib_folder)} libraries; '
                 f'{len(faults)} fault{"" if len(faults) == 1 else "s"}')
    return lines, faults


# A small tree with one fault of each kind beside clean includes: the check
# must name each fault and nothing else, and pass the tree once they are gone.
SELF_TEST_TREE = {
    'db/Table.h': '#pragma once\n#include <QString>\n',
    'db/Up.h': '#include "Station.h"\n',                       # up: db to engine
    'engine/Station.h': '#include "Table.h"\n#include "Up.h"\n',  # cycle with db/Up.h
    'engine/Side.cpp': '#include "Grid.h"\n',                  # sideways: engine to ui
    'ui/Grid.h': '#include "db/Table.h"\n',
    'job/Job.cpp': '#include <QDialog>\n#include "Station.h"\n',  # a window header below the windows
    'main/Form.cpp': '#include "Calc.h"\n#include "Job.h"\n',  # sideways: main to calc
    'calc/Calc.h': '#include "Grid.h"\n',
    'job/Job.h': '#if QUEN_HAVE_OUTPUT\n#endif\n',               # a build guard
    'stray/x.cpp': '',                                          # a folder on no floor
    'ui/CMakeLists.txt': 'add_library(quen_ui STATIC Grid.h)\ntarget_link_libraries(quen_ui PUBLIC quen_out)\n',
    'output/CMakeLists.txt': 'add_library(quen_out STATIC)\ntarget_link_libraries(quen_out PUBLIC quen_ui)\n'
                             'if(TARGET quen_ui)\nendif()\n',
}
SELF_TEST_FAULTS = [
    'stray/ holds sources but stands on no floor',
    'db/Up.h: includes "Station.h" (engine/Station.h), up from db/ to engine/',
    'engine/Side.cpp: includes "Grid.h" (ui/Grid.h), sideways from engine/ to ui/',
    'job/Job.cpp: includes <QDialog>, a window header, in a folder without windows',
    'main/Form.cpp: includes "Calc.h" (calc/Calc.h), sideways from main/ to calc/',
    'folders include each other: db <-> engine',
    'headers include each other: db/Up.h <-> engine/Station.h',
    'ui/CMakeLists.txt: links quen_out of output/, up',
    'job/Job.h: asks whether another folder is built (#if QUEN_HAVE_OUTPUT)',
    'output/CMakeLists.txt: asks whether another folder is built (if(TARGET quen_ui))',
]


def self_test():
    import tempfile
    qt = tempfile.mkdtemp()
    open(os.path.join(qt, 'QDialog'), 'w').close()
    bad = 0
    with tempfile.TemporaryDirectory() as root:
        for rel, text in SELF_TEST_TREE.items():
            os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
            with open(os.path.join(root, rel), 'w') as f:
                f.write(text)
        _, faults = check(root, qt)
        for want in SELF_TEST_FAULTS:
            hit = [f for f in faults if f.startswith(want)]
            print(('ok      ' if hit else 'MISSED  ') + want)
            bad += not hit
        for f in faults:
            if not any(f.startswith(w) for w in SELF_TEST_FAULTS):
                print('EXTRA   ' + f)
                bad += 1
        for rel in ('db/Up.h', 'engine/Side.cpp', 'job/Job.cpp', 'main/Form.cpp', 'stray/x.cpp'):
            os.remove(os.path.join(root, rel))
        with open(os.path.join(root, 'engine/Station.h'), 'w') as f:
            f.write('#include "Table.h"\n')
        with open(os.path.join(root, 'ui/CMakeLists.txt'), 'w') as f:
            f.write('add_library(quen_ui STATIC Grid.h)\n')
        with open(os.path.join(root, 'job/Job.h'), 'w') as f:
            f.write('#pragma once\n')
        with open(os.path.join(root, 'output/CMakeLists.txt'), 'w') as f:
            f.write('add_library(quen_out STATIC)\ntarget_link_libraries(quen_out PUBLIC quen_ui)\n')
        _, faults = check(root, qt)
        for f in faults:
            print('EXTRA after the fix   ' + f)
        bad += len(faults)
    os.remove(os.path.join(qt, 'QDialog'))
    os.rmdir(qt)
    print('self-test ' + ('passed' if not bad else f'failed: {bad}'))
    return 1 if bad else 0


def main(argv):
    args = list(argv)
    if '--self-test' in args:
        return self_test()
    qt_widgets = None
    if '--qt-widgets' in args:
        i = args.index('--qt-widgets')
        qt_widgets = args[i + 1]
        del args[i:i + 2]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), '..'))
    lines, faults = check(root, qt_widgets)
    for line in lines:
        print(line)
    for f in faults:
        print('FAULT ' + f)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
