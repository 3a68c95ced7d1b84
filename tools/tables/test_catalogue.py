"""Self-tests of the encoding catalogue and its generated C++ data.

    python3 -m unittest discover -s tools/tables
"""

import copy
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'catalogue'))
import catalogue  # noqa: E402


def _compiler():
    for cxx in ('g++', 'clang++'):
        if shutil.which(cxx):
            return cxx
    return None


class NicknameUniqueness(unittest.TestCase):
    def test_normalise_drops_separators_and_case(self):
        self.assertEqual(catalogue.normalise('ISO_8859-1'), 'iso88591')
        self.assertEqual(catalogue.normalise('Shift JIS'), 'shiftjis')
        # Only ASCII letters are folded and only '-', '_', ' ' are dropped.
        self.assertEqual(catalogue.normalise('T.61-8bit'), 't.618bit')

    def test_real_catalogue_has_no_shared_nickname(self):
        catalogue.check_unique_nicknames(catalogue.ENTRIES)

    def test_clash_between_entries_is_refused(self):
        entries = copy.deepcopy(catalogue.ENTRIES)
        by_acc = dict((e.accessor, e) for e in entries)
        # "iso 8859-1" normalises like ISOLatin1's "ISO_8859-1".
        by_acc['CP28591'].names.append('iso 8859-1')
        with self.assertRaises(catalogue.CatalogueError) as cm:
            catalogue.validate(entries)
        self.assertIn('CP28591', str(cm.exception))
        self.assertIn('ISOLatin1', str(cm.exception))

    def test_repeats_within_one_entry_are_allowed(self):
        gb = [e for e in catalogue.ENTRIES if e.accessor == 'GB18030'][0]
        self.assertEqual(gb.names, ['GB18030', 'GB18030', 'csGB18030', 'csGB18030'])


class CatalogueShape(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.entries = catalogue.validate()
        cls.by_acc = dict((e.accessor, e) for e in cls.entries)

    def test_counts(self):
        counts = {}
        for e in self.entries:
            counts[e.cls] = counts.get(e.cls, 0) + 1
        self.assertEqual(counts, catalogue.CLASS_COUNTS)
        self.assertEqual(sum(1 for e in self.entries if not e.ascii), 36)

    def test_cp21027_is_ebcdic(self):
        # An EBCDIC page: substituting ASCII's SUB byte 0x1A would corrupt the text.
        e = self.by_acc['CP21027']
        self.assertEqual((e.ascii, e.substitute), (False, b'\x3f'))

    def test_telling_rows(self):
        e = self.by_acc['ASCII']
        self.assertEqual(e.names, ['ASCII', 'US-ASCII', 'ANSI_X3.4-1968', 'iso-ir-6', 'ANSI_X3.4-1986',
                                   'ISO646-US', 'us', 'IBM367', 'csASCII'])
        self.assertEqual((e.id, e.mime, e.codepage, e.ascii, e.substitute, e.library),
                         (3, 'US-ASCII', 367, True, b'\x1a', 'zulat421'))
        e = self.by_acc['IBM037']
        self.assertEqual((e.primary, e.ascii, e.substitute), ('EBCDIC', False, b'\x3f'))
        e = self.by_acc['CCSID300']
        self.assertEqual((e.cls, e.substitute, e.ascii), ('MBCSEncoding', b'\xfe\xfe', False))
        e = self.by_acc['ISCIIKannada']
        self.assertEqual((e.cls, e.names, e.codepage),
                         ('MBCSLookAheadEncoding', ['ISCII-Kannada', 'csISCIIKannada', 'x-iscii-ka',
                                                    'windows-57008'], 57008))
        self.assertEqual(self.by_acc['CCSID930'].substitute, b'')

    def test_every_entry_has_its_cs_form(self):
        # House style: every entry answers to "cs" + its accessor name.
        for e in self.entries:
            self.assertIn(catalogue.normalise('cs' + e.accessor), [catalogue.normalise(n) for n in e.names],
                          e.accessor)

    def test_creation_positions(self):
        self.assertEqual(self.by_acc['PC8CodePage437'].order, 0)
        self.assertEqual(self.by_acc['Big5'].order, 170)
        self.assertEqual(sorted(e.order for e in self.entries), list(range(171)))


class GeneratedInclude(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.text = catalogue.render_inc(catalogue.validate())

    def test_committed_files_are_current(self):
        for path, text in catalogue.outputs(catalogue.validate()):
            with open(path, encoding='utf-8') as f:
                self.assertEqual(f.read(), text, 'run tools/catalogue/catalogue.py')

    def test_every_encoding_number_has_a_name(self):
        entries = copy.deepcopy(catalogue.validate())
        entries[0].id = 999
        with self.assertRaises(ValueError):
            catalogue.validate_ids(entries)

    def test_rows_follow_creation_order(self):
        rows = re.findall(r'^    X\((\w+), (\w+), (\d+), kNicknames_(\w+), ', self.text, re.M)
        self.assertEqual([r[0] for r in rows], catalogue.CREATION_ORDER)
        for acc, _, _, nick in rows:
            self.assertEqual(acc, nick)

    def test_substitute_strings(self):
        self.assertIn('X(CCSID300, MBCSEncoding, 159, kNicknames_CCSID300, nullptr, 0, false, "\\xFE\\xFE", '
                      '"zujpn421")', self.text)
        self.assertIn('X(ISO2022JP, ModalEncoding, 14, kNicknames_ISO2022JP, "ISO-2022-JP", 0, true, "", '
                      '"zujpn421")', self.text)

    @unittest.skipIf(_compiler() is None, 'no C++ compiler')
    def test_compiles_and_expands(self):
        # Expand the list into a table and check a few values at run time.
        src = self.text + r'''
#include <cstdio>
#include <cstring>
struct Row { char const * acc; int id; char const * const * names; char const * mime; unsigned cp;
             bool ascii; char const * sub; char const * lib; };
#define ROW(A, C, I, N, M, P, F, S, L) {#A, I, N, M, P, F, S, L},
static Row const rows[] = { ZUUC_CATALOGUE(ROW) };
int main() {
    if (sizeof(rows) / sizeof(rows[0]) != 171) return 1;
    if (std::strcmp(rows[0].acc, "PC8CodePage437") != 0 || rows[0].cp != 437) return 2;
    for (Row const & r : rows) {
        int n = 0;
        while (r.names[n]) ++n;
        if (n == 0) return 3;
        if (std::strcmp(r.acc, "CCSID300") == 0 && std::strcmp(r.sub, "\xFE\xFE") != 0) return 4;
        if (std::strcmp(r.acc, "CP500") == 0 && (std::strcmp(r.sub, "?") != 0 || r.ascii)) return 5;
    }
    std::puts("ok");
    return 0;
}
'''
        with tempfile.TemporaryDirectory() as d:
            cpp = os.path.join(d, 'inc.cpp')
            exe = os.path.join(d, 'inc')
            with open(cpp, 'w') as f:
                f.write(src)
            subprocess.run([_compiler(), '-std=c++17', '-Wall', '-Wextra', '-Wpedantic', '-Werror', cpp, '-o', exe],
                           check=True)
            out = subprocess.run([exe], stdout=subprocess.PIPE, check=False)
            self.assertEqual(out.returncode, 0)


if __name__ == '__main__':
    unittest.main()
