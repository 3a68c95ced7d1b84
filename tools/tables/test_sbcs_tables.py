"""Self-tests of the single-byte table generator.

    python3 -m unittest discover -s tools/tables
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen_sbcs  # noqa: E402

catalogue = gen_sbcs.catalogue
U = gen_sbcs.UNDEFINED


class ParseMapping(unittest.TestCase):
    def parse(self, text, fmt='ucm'):
        with tempfile.NamedTemporaryFile('w', suffix='.txt', delete=False) as f:
            f.write(text)
        try:
            return gen_sbcs.parse_mapping(f.name, fmt)
        finally:
            os.unlink(f.name)

    def test_consortium_layout_with_hints_and_sequences(self):
        rows = self.parse('# header\n'
                          '0x41\t0x0041\t# A\n'
                          '0x81\t      \t#UNDEFINED\n'
                          '0xA0\t<RL>+0x0020\t# space, right-left\n'
                          '0x83\t0x0E48+0xF875\t# hint\n'
                          '0xC0\t0x05F2+0x05B7\t# a real sequence\n'
                          '0xA1+0xE9\t0x0950\t# two bytes\n'
                          '0x8140\t0x3000\t# double byte\n')
        self.assertEqual(rows, [(0x41, (0x41,), False), (0xA0, (0x20,), True), (0x83, (0x0E48,), True),
                                (0xC0, (0x05F2, 0x05B7), False)])

    def test_adobe_layout(self):
        rows = self.parse('0020\t20\t# SPACE\n00A0\t20\t# NO-BREAK SPACE\n2701\t21\t# a1\n', 'adobe')
        self.assertEqual(rows, [(0x20, (0x20,), False), (0x20, (0xA0,), False), (0x21, (0x2701,), False)])


class TableInvariants(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tables = gen_sbcs.build_all()
        cls.by_acc = dict((t.entry.accessor, t) for t in cls.tables)

    def test_one_table_per_single_byte_entry(self):
        self.assertEqual(len(self.tables), 121)

    def test_round_trip_and_marker(self):
        for t in self.tables:
            acc = t.entry.accessor
            self.assertNotIn(t.marker, set(t.from_unicode.values()), acc)
            for b, cp in enumerate(t.to_unicode):
                if cp == U:
                    continue
                self.assertFalse(0xD800 <= cp <= 0xDFFF or cp == 0xFFFF, acc)
                back = t.lookup(cp)
                if back == b:
                    continue
                if cp == 0x001A and t.marker in t.entry.substitute:
                    continue  # every byte mapped: SUB gives way to the marker
                self.assertIn(b, t.one_way_decode, '%s: 0x%02X does not round-trip' % (acc, b))
                self.assertEqual(t.to_unicode[back], cp, acc)
            for cp, b in t.from_unicode.items():
                if t.to_unicode[b] != cp:
                    self.assertIn((cp, b), t.one_way_encode, '%s: U+%04X' % (acc, cp))

    def test_known_values(self):
        def dec(acc, b):
            return self.by_acc[acc].to_unicode[b]

        def enc(acc, cp):
            return self.by_acc[acc].lookup(cp)

        self.assertEqual(dec('CP1252', 0x80), 0x20AC)
        self.assertEqual(dec('CP1252', 0x81), U)
        self.assertEqual(dec('IBM037', 0xC1), 0x41)
        self.assertEqual(dec('CP20866', 0xC1), 0x0430)
        self.assertEqual(dec('ASCII', 0x80), U)
        # Derived tables.
        self.assertEqual(dec('CP20105', 0x24), 0x00A4)
        self.assertIsNone(enc('CP20105', 0x24))
        self.assertEqual(dec('CP20261', 0xC1), 0x0300)
        self.assertEqual(dec('CP20269', 0xC9), U)
        self.assertEqual(dec('CCSID1027', 0x0E), 0x000E)
        self.assertEqual(dec('HalfWidthKatakana', 0x0A), 0x000A)
        self.assertEqual(dec('HalfWidthKatakana', 0x5C), 0x00A5)
        self.assertEqual(dec('HalfWidthKatakana', 0xB1), 0xFF71)
        self.assertEqual(dec('CCSID290', 0x81), 0xFF71)
        self.assertEqual(dec('MacGurmukhi', 0xD5), 0x0A36)
        # Controls the owners describe but do not list.
        self.assertEqual(dec('MacRoman', 0x0A), 0x000A)
        self.assertEqual(dec('NextStep', 0x41), 0x41)
        # Hints: Apple's right-to-left space decodes to a space but the
        # space encodes to the ordinary byte.
        self.assertEqual(dec('MacArabic', 0xA0), 0x20)
        self.assertEqual(enc('MacArabic', 0x20), 0x20)
        # Adobe's one-way alternative.
        self.assertEqual(dec('AdobeStandardEncoding', 0x20), 0x20)
        self.assertEqual(enc('AdobeStandardEncoding', 0xA0), 0x20)
        # Full tables: U+001A yields to the marker.
        t = self.by_acc['PC8CodePage437']
        self.assertEqual(t.marker, 0x1A)
        self.assertIsNone(t.lookup(0x1A))
        self.assertEqual(t.lookup(0x00C7), 0x80)
        self.assertIsNone(self.by_acc['ISOLatin2'].lookup(0x10000))

    def test_derived_sources_say_why(self):
        for t in self.tables:
            src = t.entry.source
            if src.derived:
                self.assertTrue(src.note, t.entry.accessor)


def _parse_cpp(text):
    """Rebuild every table of a generated sbcs_tables.cpp from its text."""
    arrays = {}
    for m in re.finditer(r'const unsigned (short|char) (\w+)\[256\] = \{([^}]*)\};', text):
        vals = [int(v, 16) for v in re.findall(r'0x[0-9A-F]+', m.group(3))]
        arrays[m.group(2)] = vals
    dirs = {}
    for m in re.finditer(r'const unsigned char \* const (\w+)\[256\] = \{([^}]*)\};', text):
        dirs[m.group(1)] = re.findall(r'\w+', m.group(2))
    planes = {}
    for m in re.finditer(r'const PlaneTable<unsigned short, unsigned char> (\w+) = \{0x([0-9A-F]+), (\w+)\};',
                         text):
        planes[m.group(1)] = (int(m.group(2), 16), m.group(3))
    entries = re.findall(r'\{(\d+)ul, (\w+), &(\w+)\},', text)
    out = {}
    for ident, to_name, plane_name in entries:
        marker, dir_name = planes[plane_name]
        pages = [arrays[p] for p in dirs[dir_name]]
        out[int(ident)] = (arrays[to_name], marker, pages)
    return out


class EmittedSource(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tables = gen_sbcs.build_all()
        cls.files = gen_sbcs.render_all(cls.tables)

    def test_reproducible(self):
        self.assertEqual(gen_sbcs.render_all(gen_sbcs.build_all()), self.files)

    def test_committed_files_are_current(self):
        for path, text in self.files.items():
            with open(path, encoding='utf-8') as f:
                self.assertEqual(f.read(), text, '%s: run tools/tables/gen_sbcs.py' % path)

    def test_text_holds_the_model(self):
        # Parse the C++ back and compare every table with the in-memory one,
        # through the same lookup the library performs.
        for lib in catalogue.LIBRARY_ORDER:
            mine = [t for t in self.tables if t.entry.library == lib]
            path = os.path.join(gen_sbcs.LIB_OUT, lib, 'generated', 'sbcs_tables.cpp')
            if not mine:
                self.assertNotIn(path, self.files)
                continue
            parsed = _parse_cpp(self.files[path])
            self.assertEqual(sorted(parsed), sorted(t.entry.id for t in mine))
            for t in mine:
                to_u, marker, pages = parsed[t.entry.id]
                self.assertEqual(to_u, t.to_unicode, t.entry.accessor)
                self.assertEqual(marker, t.marker, t.entry.accessor)
                for cp in range(0x10000):
                    byte = pages[cp >> 8][cp & 0xFF]
                    want = t.from_unicode.get(cp)
                    if want is None:
                        self.assertEqual(byte, marker, '%s U+%04X' % (t.entry.accessor, cp))
                    else:
                        self.assertEqual(byte, want, '%s U+%04X' % (t.entry.accessor, cp))

    @unittest.skipIf(shutil.which('g++') is None, 'no C++ compiler')
    def test_compiles_without_warnings_and_without_dynamic_init(self):
        include = os.path.join(gen_sbcs.ROOT, 'include')
        with tempfile.TemporaryDirectory() as d:
            for path in self.files:
                if not path.endswith('.cpp'):
                    continue
                obj = os.path.join(d, 'x.o')
                subprocess.run(['g++', '-std=c++17', '-O0', '-Wall', '-Wextra', '-Wpedantic', '-Wshadow',
                                '-Wcast-align', '-Werror', '-I', include, '-c', path, '-o', obj], check=True)
                sections = subprocess.run(['objdump', '-h', obj], stdout=subprocess.PIPE,
                                          check=True).stdout.decode()
                self.assertNotIn('.init_array', sections, path)


if __name__ == '__main__':
    unittest.main()
