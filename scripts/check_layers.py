#!/usr/bin/python3
"""Checks that every #include in the program's folders points down the layer ladder.

    scripts/check_layers.py [TREE]

TREE is the source tree (default: the one this script lives in). Each quoted or angled include
of src/, sim/, demo/, controls/, fuzz/ and bench/ is resolved as the compiler would (the
including file's folder first, then the include roots the libraries expose) and the folder it
lands in must be one that the including folder may use. Includes that land nowhere in the tree
(Qt, the standard library, generated files) are not checked.

Exit status: 0 when every include is allowed, 1 when one is not (each is listed as
"file:line: ..."), 2 on a usage error.
"""
import os
import re
import sys

# Folders and the unit each belongs to; the longest matching prefix wins.
UNITS = {
    'src/text': 'text',
    'src/app': 'app',
    'src/project': 'project',
    'src/link': 'link',
    'src/animation': 'animation',
    'src/trends': 'trends',
    'src/reports': 'reports',
    'src/journal': 'journal',
    'src/station': 'station',
    'src/mimic': 'mimic',
    'src/history': 'history',
    'src/main': 'main',
    'src/fetch': 'fetch',
    'src/collect': 'collect',
    'src/fixture': 'fixture',
    'sim': 'sim',
    'demo': 'demo',
    'controls': 'controls',
    'fuzz': 'fuzz',
    'bench': 'bench',
    'tests': 'tests',
}

# The ladder, bottom first. A unit may include its own rung's files only when they are its own
# (units on one rung are peers that never include each other) and anything on a lower rung.
LADDER = [
    ['text'],
    ['app'],
    ['project'],
    ['link'],
    ['animation'],
    ['trends', 'reports', 'journal', 'mimic'],
    ['station'],
    ['history'],
    ['main', 'fetch', 'collect'],
]

# Units beside the ladder, and what the programs may use beyond it.
_ALL_LADDER = {u for rung in LADDER for u in rung}
_PROGRAM = _ALL_LADDER | {'sim', 'controls'}
BESIDE = {
    # The controller simulator: a library beside the archives.
    'sim': {'app', 'project', 'link'},
    # The display controls and their host know nothing of the system.
    'controls': set(),
    # Writers of project and netlist files for the demo, the fuzz seeds, benchmarks and tests.
    'fixture': {'text', 'app', 'project'},
    'demo': _PROGRAM | {'fixture'},
    'fuzz': _PROGRAM | {'fixture'},
    'bench': _PROGRAM | {'fixture'},
}
# The programs on the top rung also run the simulator (the demo session) and host the controls.
PROGRAM_EXTRAS = {'main': {'sim', 'controls'}, 'fetch': set(), 'collect': set()}

# Include roots the libraries expose, in the order they are searched after the file's folder.
ROOTS = ['src', '.', 'controls', 'demo', 'fuzz', 'tests']

SCANNED = ['src', 'sim', 'demo', 'controls', 'fuzz', 'bench']
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.cc', '.c')

# Violations of today's tree: (including file, included file, why it is still there).
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def allowed_units(unit):
    if unit in BESIDE:
        return BESIDE[unit] | {unit}
    for level, rung in enumerate(LADDER):
        if unit in rung:
            below = {u for r in LADDER[:level] for u in r}
            return below | {unit} | PROGRAM_EXTRAS.get(unit, set())
    return {unit}


def unit_of(path):
    best = None
    for prefix, unit in UNITS.items():
        if path == prefix or path.startswith(prefix + '/'):
            if best is None or len(prefix) > len(best[0]):
                best = (prefix, unit)
    return best[1] if best else None


def resolve(tree, including, name, quoted):
    candidates = []
    if quoted:
        candidates.append(os.path.join(os.path.dirname(including), name))
    candidates += [os.path.join(root, name) for root in ROOTS]
    for c in candidates:
        rel = os.path.normpath(c)
        if rel.startswith('..'):
            continue
        if os.path.isfile(os.path.join(tree, rel)):
            return rel.replace(os.sep, '/')
    return None


def sources(tree):
    for top in SCANNED:
        for folder, dirs, files in os.walk(os.path.join(tree, top)):
            dirs.sort()
            for f in sorted(files):
                if f.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, f), tree).replace(os.sep, '/')


def check(tree):
    """Returns the list of problems, one text each."""
    problems = []
    for path in sources(tree):
        unit = unit_of(path)
        may = allowed_units(unit)
        with open(os.path.join(tree, path), encoding='utf-8', errors='replace') as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target = resolve(tree, path, m.group(2), m.group(1) == '"')
                if target is None:
                    continue
                to = unit_of(target)
                if to in may:
                    continue
                if to == 'tests':
                    why = 'the program never includes the tests\' files'
                else:
                    why = '%s may include only %s' % (unit, ', '.join(sorted(may)) or 'its own files')
                problems.append('%s:%d: includes %s (%s -> %s): %s' % (path, number, target, unit, to, why))
    return problems


def main(argv):
    args = [a for a in argv if not a.startswith('--')]
    if len(args) > 1 or len(args) != len(argv):
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    tree = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    if not os.path.isdir(os.path.join(tree, 'src')):
        print('check_layers: %s has no src folder' % tree, file=sys.stderr)
        return 2
    problems = check(tree)
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
