#!/usr/bin/env python3
"""Checks what the Debian package installs besides the programs.

  check_packaging.py man-format MANPAGE
      groff formats the man page with every warning on (-ww); any warning
      fails, as does a non-zero exit.
  check_packaging.py man-commands MANPAGE QUENPM_CALC
      every command and option that `quenpm-calc --help` prints, and every
      exit status it lists, is in the man page (so the two cannot drift
      apart as commands are added).
  check_packaging.py appstream METAINFO...
      appstreamcli validates each software-centre entry without the network.
  check_packaging.py desktop DESKTOP...
      desktop-file-validate checks each menu entry.
  check_packaging.py --self-test
      the two man page checks on a small page with one fault of each kind.

A tool that is not installed is a failure that names the Debian package
(scripts/deps.sh installs them all)."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

PACKAGE_OF = {'groff': 'groff-base', 'appstreamcli': 'appstream', 'desktop-file-validate': 'desktop-file-utils'}

# A metainfo id is the name of its .desktop file, which is not a reverse-DNS
# name (the project has no domain of its own to build one from); appstreamcli
# warns of that, and only of that is the warning lowered to a note.
APPSTREAM_OVERRIDE = 'cid-desktopapp-is-not-rdns=info'


def tool(name):
    path = shutil.which(name)
    if not path:
        raise SystemExit(f'{name} is not installed (Debian package {PACKAGE_OF[name]}; scripts/deps.sh installs it)')
    return path


def man_format_faults(page):
    run = subprocess.run([tool('groff'), '-man', '-Tutf8', '-ww', '-z', page],
                         capture_output=True, text=True, env=dict(os.environ, LC_ALL='C.UTF-8'))
    faults = [line for line in run.stderr.splitlines() if line.strip()]
    if run.returncode != 0:
        faults.append(f'groff exited with {run.returncode}')
    return faults


def man_text(page):
    """The page's source as a reader sees it: escapes and font changes gone."""
    with open(page, encoding='utf-8') as f:
        src = f.read()
    src = re.sub(r'^\.\\".*$', '', src, flags=re.M)          # comments
    src = re.sub(r'\\f(\[[^]]*\]|\(..|.)', '', src)          # font changes
    src = src.replace('\\-', '-').replace('\\&', '').replace('\\e', '\\')
    return src


def man_section(src, name):
    m = re.search(r'^\.SH "?' + re.escape(name) + r'"?\s*$(.*?)(?=^\.SH |\Z)', src, flags=re.M | re.S)
    return m.group(1) if m else ''


OPTION_RE = re.compile(r'(?<![\w-])(--?[A-Za-z][\w-]*)')
# "  quenpm-calc compute FILE ...": a command without dashes is the first word.
COMMAND_RE = re.compile(r'^\s*(?:usage:\s*)?quenpm-calc\s+([a-z][\w-]*)', re.M)


def help_words(help_text):
    """The commands and options the help names, and its exit statuses."""
    words = set(OPTION_RE.findall(help_text)) | set(COMMAND_RE.findall(help_text))
    m = re.search(r'Exit status(?:es)?:(.*?)(?:\n\s*\n|\Z)', help_text, flags=re.S | re.I)
    statuses = set(re.findall(r'(?<![\w.])(\d+) [a-z]', m.group(1))) if m else set()
    return words, statuses, bool(m)


def man_command_faults(page, help_text):
    words, statuses, has_statuses = help_words(help_text)
    src = man_text(page)
    faults = []
    if not words:
        faults.append('the help names no command')
    for w in sorted(words):
        if not re.search(r'(?<![\w-])' + re.escape(w) + r'(?![\w-])', src):
            faults.append(f'"{w}" is in quenpm-calc --help but not in {os.path.basename(page)}')
    if not has_statuses:
        faults.append('quenpm-calc --help lists no "Exit status:"')
    listed = set(re.findall(r'^\.TP\s*\n\.B\s+(\d+)\s*$', man_section(src, 'EXIT STATUS'), flags=re.M))
    for s in sorted(statuses - listed, key=int):
        faults.append(f'exit status {s} is in quenpm-calc --help but not under EXIT STATUS')
    return faults


def report(faults):
    for f in faults:
        print(f)
    return 1 if faults else 0


PAGE = r'''.TH X 1 2026-01-01 "X 1" "User Commands"
.SH NAME
x \- a test
.SH COMMANDS
.TP
.B \-\-list-jobs
Lists.
.TP
.BI compute " FILE"
Computes, also with
.BR \-\-json .
.SH EXIT STATUS
.TP
.B 0
Done.
.TP
.B 1
Usage.
'''
HELP = '''quenpm-calc: a test.

  quenpm-calc --list-jobs         the jobs
  quenpm-calc compute FILE [--json]
  quenpm-calc --help              this text

Exit status: 0 done, 1 usage,
2 no database.
'''


def self_test():
    faults = []
    with tempfile.TemporaryDirectory() as d:
        page = os.path.join(d, 'x.1')

        def write(text):
            with open(page, 'w', encoding='utf-8') as f:
                f.write(text)

        def expect(got, wanted, what):
            if sorted(got) != sorted(wanted):
                faults.append(f'{what}: expected {wanted}, got {got}')

        write(PAGE)
        expect(man_format_faults(page), [], 'a clean page')
        expect(man_command_faults(page, HELP),
               ['"--help" is in quenpm-calc --help but not in x.1',
                'exit status 2 is in quenpm-calc --help but not under EXIT STATUS'],
               'a page without --help and status 2')
        full = PAGE.replace('.SH EXIT STATUS', '.TP\n.B \\-\\-help\nHelps.\n.SH EXIT STATUS') + '.TP\n.B 2\nNo database.\n'
        write(full)
        expect(man_command_faults(page, HELP), [], 'a page with every command')
        # A command named only in another word, or in a comment, is missing.
        write(full.replace('.BI compute " FILE"', '.BI recompute " FILE"\n.\\" compute'))
        expect(man_command_faults(page, HELP), ['"compute" is in quenpm-calc --help but not in x.1'],
               'compute only inside recompute')
        write(PAGE + '.BR\n.foo bar\n')
        if not man_format_faults(page):
            faults.append('an undefined macro passed the format check')
        expect(man_command_faults(page, 'quenpm-calc --list-jobs\n'),
               ['quenpm-calc --help lists no "Exit status:"'], 'a help without exit statuses')
    return report(faults)


def main(argv):
    if argv[1:] == ['--self-test']:
        return self_test()
    if len(argv) < 3:
        print(__doc__)
        return 2
    what, args = argv[1], argv[2:]
    if what == 'man-format' and len(args) == 1:
        return report(man_format_faults(args[0]))
    if what == 'man-commands' and len(args) == 2:
        run = subprocess.run([args[1], '--help'], capture_output=True, text=True)
        if run.returncode != 0:
            return report([f'{args[1]} --help exited with {run.returncode}: {run.stderr.strip()}'])
        return report(man_command_faults(args[0], run.stdout))
    if what == 'appstream':
        cli = tool('appstreamcli')
        failed = 0
        for f in args:
            run = subprocess.run([cli, 'validate', '--no-net', '--override=' + APPSTREAM_OVERRIDE, f])
            failed |= run.returncode != 0
        return 1 if failed else 0
    if what == 'desktop':
        run = subprocess.run([tool('desktop-file-validate')] + args, capture_output=True, text=True)
        print(run.stdout + run.stderr, end='')
        # Hints are advice; errors and warnings fail (it exits 1 on an error only).
        bad = [line for line in (run.stdout + run.stderr).splitlines() if re.search(r': (error|warning): ', line)]
        return 1 if run.returncode != 0 or bad else 0
    print(__doc__)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))
