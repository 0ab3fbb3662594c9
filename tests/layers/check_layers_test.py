#!/usr/bin/python3
"""The include check on scratch trees: each tree holds one include, allowed or not.

    check_layers_test.py path/to/check_layers.py
"""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = None

# Files every scratch tree has, so that includes between them resolve.
BASE = {
    'src/text/Numbers.h': '#pragma once\n#include <QString>\n',
    'src/app/Colors.h': '#pragma once\n#include "text/Numbers.h"\n',
    'src/project/ProjectModel.h': '#pragma once\n#include "app/Colors.h"\n',
    'src/link/Link.h': '#pragma once\n#include "project/ProjectModel.h"\n',
    'src/link/Link.cpp': '#include "Link.h"\n#include <cstdint>\n',
    'src/trends/TrendChart.h': '#pragma once\n#include "link/Link.h"\n',
    'src/journal/JournalPage.h': '#pragma once\n#include "text/Numbers.h"\n',
    'src/mimic/MimicPages.cpp': '#include "link/Link.h"\n',
    'src/main/main.cpp': '#include "trends/TrendChart.h"\n#include "sim/Wire.h"\n#include "host/Host.h"\n',
    'sim/Wire.h': '#pragma once\n#include "link/Link.h"\n',
    'controls/host/Host.h': '#pragma once\n#include "../common/Control.h"\n',
    'controls/common/Control.h': '#pragma once\n',
    'fuzz/fuzz_a.cpp': '#include "journal/JournalPage.h"\n',
    'tests/support/QtTestApp.h': '#pragma once\n',
}

# (what, extra files, flags, exit status, lines the output must hold)
CASES = [
    ('a tree that keeps the ladder passes', {}, [], 0, []),
    ('an include up the ladder fails',
     {'src/text/Numbers.cpp': '#include "text/Numbers.h"\n#include "link/Link.h"\n'},
     [], 1,
     ['src/text/Numbers.cpp:2: includes src/link/Link.h (text -> link)']),
    ('an include into the tests fails',
     {'fuzz/fuzz_b.cpp': '#include "support/QtTestApp.h"\n'},
     [], 1,
     ['fuzz/fuzz_b.cpp:1: includes tests/support/QtTestApp.h (fuzz -> tests)']),
    ('a relative include into the tests fails as well',
     {'src/journal/JournalPage.cpp': '#include "../../tests/support/QtTestApp.h"\n'},
     [], 1,
     ['src/journal/JournalPage.cpp:1: includes tests/support/QtTestApp.h (journal -> tests)']),
    ('peers on one rung do not include each other',
     {'src/mimic/Chart.cpp': '\n  #  include <trends/TrendChart.h>\n'},
     [], 1,
     ['src/mimic/Chart.cpp:2: includes src/trends/TrendChart.h (mimic -> trends)']),
    ('the display controls include nothing of the system',
     {'controls/common/Colour.h': '#pragma once\n#include "app/Colors.h"\n'},
     [], 1,
     ['controls/common/Colour.h:2: includes src/app/Colors.h (controls -> app)']),
    ('the app core includes no project',
     {'src/app/Station.h': '#pragma once\n#include "project/ProjectModel.h"\n'}, [], 1,
     ['src/app/Station.h:2: includes src/project/ProjectModel.h (app -> project)']),
    ('an archive includes no station aggregate',
     {'src/station/Station.h': '#pragma once\n#include "trends/TrendChart.h"\n',
      'src/trends/TrendDownload.cpp': '#include "station/Station.h"\n'}, [], 1,
     ['src/trends/TrendDownload.cpp:1: includes src/station/Station.h (trends -> station)']),
    ('the simulator includes no archive',
     {'sim/Archives.cpp': '#include "journal/JournalPage.h"\n'},
     [], 1,
     ['sim/Archives.cpp:1: includes src/journal/JournalPage.h (sim -> journal)']),
]


class CheckLayers(unittest.TestCase):
    def test_each_tree_gets_its_verdict(self):
        for what, extra, flags, status, lines in CASES:
            with self.subTest(what), tempfile.TemporaryDirectory() as tree:
                for path, text in {**BASE, **extra}.items():
                    full = os.path.join(tree, path)
                    os.makedirs(os.path.dirname(full), exist_ok=True)
                    with open(full, 'w', encoding='utf-8') as f:
                        f.write(text)
                run = subprocess.run([sys.executable, SCRIPT, tree] + flags,
                                     capture_output=True, text=True, timeout=60)
                self.assertEqual(run.returncode, status, run.stdout + run.stderr)
                got = run.stdout.splitlines()
                for line in lines:
                    self.assertTrue(any(g.startswith(line) for g in got), '%r not in %r' % (line, got))
                if not lines:
                    self.assertEqual(got, [])

    def test_a_tree_without_src_is_a_usage_error(self):
        with tempfile.TemporaryDirectory() as tree:
            run = subprocess.run([sys.executable, SCRIPT, tree], capture_output=True, text=True, timeout=60)
            self.assertEqual(run.returncode, 2)


if __name__ == '__main__':
    SCRIPT = sys.argv.pop(1)
    unittest.main()
