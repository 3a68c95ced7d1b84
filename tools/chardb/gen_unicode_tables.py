#!/usr/bin/env python3
"""Generate the Unicode 4.0 character property tables of zuuc421.

Reads the Unicode Character Database files in data/ucd and writes
src/chardb/generated/unicode_tables_*.cpp.  Python 3 standard library only;
the output depends on nothing but the input files, so running the generator
again produces byte-identical files.

Usage:  python3 tools/chardb/gen_unicode_tables.py [--check]
        (run from anywhere; paths are relative to the repository root)
  --check  regenerate into memory and fail if a committed file differs.

Table shapes (see src/chardb/unicode_tables.h):
  four-level:  level1[cp >> 24] -> level2[..][(cp >> 16) & 0xFF]
               -> level3[..][(cp >> 8) & 0xFF] -> leaf[..][cp & 0xFF]
               Indices instead of pointers (position independent, no load-time
               relocations); identical level-2/3 arrays and identical leaves
               are stored once.  Every 32-bit value reaches a valid entry: code
               points above U+10FFFF land in a block of unassigned defaults.
  two-level:   index[(cp >> 8) & 0xFF] -> block[..][cp & 0xFF]   (BMP only)
"""

import os
import struct
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
UCD = os.path.join(ROOT, 'data', 'ucd')
OUT = os.path.join(ROOT, 'src', 'chardb', 'generated')

NCP = 0x110000

# ---------------------------------------------------------------------------
# Enumerations (values as the library stores them)

CATEGORIES = ['Lu', 'Ll', 'Lt', 'Lm', 'Lo', 'Mn', 'Mc', 'Me', 'Nd', 'Nl', 'No',
              'Pc', 'Pd', 'Ps', 'Pe', 'Pi', 'Pf', 'Po', 'Sm', 'Sc', 'Sk', 'So',
              'Zs', 'Zl', 'Zp', 'Cc', 'Cf', 'Co', 'Cs', 'Cn']
BIDI = ['L', 'LRE', 'LRO', 'R', 'AL', 'RLE', 'RLO', 'PDF', 'EN', 'ES', 'ET',
        'AN', 'CS', 'NSM', 'BN', 'B', 'S', 'WS', 'ON']
WIDTHS = ['N', 'F', 'H', 'W', 'Na', 'A']
LINEBREAKS = ['BK', 'CR', 'LF', 'CM', 'SG', 'ZW', 'IN', 'GL', 'CB', 'SP', 'BA',
              'BB', 'B2', 'HY', 'NS', 'OP', 'CL', 'QU', 'EX', 'ID', 'NU', 'IS',
              'SY', 'AL', 'PR', 'PO', 'SA', 'AI', 'NL', 'WJ', 'XX']
# Script names as written in Scripts.txt; index = stored value.  Value 0 is
# "none" (COMMON in the file), 1 the common spacing characters, 21 the
# unassigned positions of the Hangul Jamo block.
SCRIPTS = ['(none)', '(spacing)', 'LATIN', 'GREEK', 'CYRILLIC', 'ARMENIAN',
           'HEBREW', 'ARABIC', 'DEVANAGARI', 'BENGALI', 'GURMUKHI', 'GUJARATI',
           'ORIYA', 'TAMIL', 'TELUGU', 'KANNADA', 'MALAYALAM', 'THAI', 'LAO',
           'TIBETAN', 'GEORGIAN', '(jamo)', 'HIRAGANA', 'KATAKANA', 'BOPOMOFO',
           'HAN', 'HANGUL', 'SYRIAC', 'THAANA', 'ETHIOPIC', 'CHEROKEE',
           'CANADIAN_ABORIGINAL', 'OGHAM', 'RUNIC', 'KHMER', 'MONGOLIAN', 'YI',
           'SINHALA', 'MYANMAR', 'OLD_ITALIC', 'GOTHIC', 'DESERET', 'INHERITED',
           'TAGALOG', 'HANUNOO', 'BUHID', 'TAGBANWA', 'LIMBU', 'TAI_LE',
           'LINEAR_B', 'UGARITIC', 'SHAVIAN', 'OSMANYA', 'CYPRIOT', 'BRAILLE']
SCRIPT_NONE, SCRIPT_SPACING, SCRIPT_JAMO = 0, 1, 21
SCRIPT_INHERITED = SCRIPTS.index('INHERITED')
PROPERTIES = ['ASCII_Hex_Digit', 'Bidi_Control', 'Dash', 'Deprecated',
              'Diacritic', 'Extender', 'Grapheme_Link', 'Hex_Digit', 'Hyphen',
              'IDS_Binary_Operator', 'IDS_Trinary_Operator', 'Ideographic',
              'Join_Control', 'Logical_Order_Exception', 'Bidi_Mirrored',
              'Noncharacter_Code_Point', 'Quotation_Mark', 'Radical',
              'Soft_Dotted', 'Terminal_Punctuation', 'Unified_Ideograph',
              'STerm', 'Variation_Selector', 'White_Space', 'Other_Math',
              'Other_Alphabetic', 'Other_Lowercase', 'Other_Uppercase',
              'Other_Grapheme_Extend', 'Other_Default_Ignorable_Code_Point',
              'Other_ID_Start']
# The 4.0.0 property list lacks these two; they come from the 4.0.1 list,
# the first to carry them (4.0.1 added no characters).
PROPERTIES_FROM_401 = ('STerm', 'Variation_Selector')

# Explicit script extents that differ from a plain reading of Scripts.txt.
SCRIPT_EXTENTS = [
    (0x0020, 0x0020, SCRIPT_SPACING),
    (0x30FC, 0x30FC, SCRIPTS.index('KATAKANA')),    # prolonged sound mark
    (0xFF66, 0xFF9F, SCRIPTS.index('KATAKANA')),    # halfwidth katakana
    (0x31F0, 0x31FF, SCRIPTS.index('KATAKANA')),
    (0x2E80, 0x2FDF, SCRIPTS.index('HAN')),         # the radical blocks
    (0x3005, 0x3005, SCRIPTS.index('HAN')),
    (0x1D400, 0x1D7FF, SCRIPTS.index('LATIN')),     # math alphanumerics
]
SPACING_MODIFIERS = (0x02B9, 0x02FF)


def data_lines(name):
    with open(os.path.join(UCD, name), encoding='utf-8') as f:
        for line in f:
            line = line.split('#', 1)[0].strip()
            if line:
                yield [field.strip() for field in line.split(';')]


def code_range(text):
    if '..' in text:
        a, b = text.split('..')
        return int(a, 16), int(b, 16)
    return int(text, 16), int(text, 16)


# ---------------------------------------------------------------------------
# Reading the database

def read_unicode_data():
    assigned = [False] * NCP
    gc = [CATEGORIES.index('Cn')] * NCP
    bidi = [None] * NCP
    mirrored = [False] * NCP
    decimal = [-1] * 0x10000
    digit = [-1] * 0x10000
    numeric = [None] * 0x10000
    first = None
    for f in data_lines('UnicodeData.txt'):
        cp = int(f[0], 16)
        if f[1].endswith(', First>'):
            first = cp
            continue
        lo = first if f[1].endswith(', Last>') else cp
        first = None
        for c in range(lo, cp + 1):
            assigned[c] = True
            gc[c] = CATEGORIES.index(f[2])
            bidi[c] = BIDI.index(f[4])
            mirrored[c] = f[9] == 'Y'
            if c < 0x10000:
                if f[6]:
                    decimal[c] = int(f[6])
                if f[7]:
                    digit[c] = int(f[7])
                if f[8]:
                    numeric[c] = f[8]
    return assigned, gc, bidi, mirrored, decimal, digit, numeric


def read_blocks():
    return [code_range(f[0]) + (f[1],) for f in data_lines('Blocks.txt')]


def read_enumerated(name, values, default):
    table = [values.index(default)] * NCP
    for f in data_lines(name):
        lo, hi = code_range(f[0])
        v = values.index(f[1])
        for c in range(lo, hi + 1):
            table[c] = v
    return table


def read_properties():
    bits = [0] * NCP
    for name, wanted in (('PropList.txt', lambda p: p not in PROPERTIES_FROM_401),
                         ('PropList-4.0.1.txt', lambda p: p in PROPERTIES_FROM_401)):
        for f in data_lines(name):
            if not wanted(f[1]):
                continue
            lo, hi = code_range(f[0])
            bit = 1 << PROPERTIES.index(f[1])
            for c in range(lo, hi + 1):
                bits[c] |= bit
    return bits


def read_mirrors():
    mirror = [0] * NCP
    for f in data_lines('BidiMirroring.txt'):
        mirror[int(f[0], 16)] = int(f[1], 16)
    return mirror


# ---------------------------------------------------------------------------
# Derived values

def derive_bidi(assigned, bidi):
    """Unassigned code points take their class from the database's own
    statement of defaults, DerivedBidiClass.txt (L where it lists nothing);
    every code point, assigned or not, must then agree with that file."""
    derived = ['L'] * NCP
    for f in data_lines('DerivedBidiClass.txt'):
        lo, hi = code_range(f[0])
        for c in range(lo, hi + 1):
            derived[c] = f[1]
    out = []
    for c in range(NCP):
        v = bidi[c] if assigned[c] else BIDI.index(derived[c])
        if BIDI[v] != derived[c]:
            sys.exit('U+%04X: bidirectional class %s in UnicodeData.txt, %s in '
                     'DerivedBidiClass.txt' % (c, BIDI[v], derived[c]))
        out.append(v)
    return out


def derive_scripts(assigned, blocks):
    raw = [SCRIPT_NONE] * NCP
    for f in data_lines('Scripts.txt'):
        lo, hi = code_range(f[0])
        v = SCRIPTS.index(f[1])
        for c in range(lo, hi + 1):
            raw[c] = v
    script = list(raw)
    lo, hi = SPACING_MODIFIERS
    for c in range(lo, hi + 1):
        if script[c] == SCRIPT_NONE:
            script[c] = SCRIPT_SPACING
    for lo, hi, v in SCRIPT_EXTENTS:
        for c in range(lo, hi + 1):
            if assigned[c]:
                script[c] = v
    # Unassigned code points inside a script's block carry that script; a
    # block's script is the most frequent one among its assigned characters
    # other than combining marks (Inherited), ties going to the lower value.
    # Blocks where script-less characters prevail are no script's block.
    for lo, hi, name in blocks:
        counts = {}
        for c in range(lo, hi + 1):
            if assigned[c] and script[c] != SCRIPT_INHERITED:
                counts[script[c]] = counts.get(script[c], 0) + 1
        fill = SCRIPT_NONE
        if counts:
            fill = max(sorted(counts), key=lambda s: counts[s])
        if name == 'Hangul Jamo':
            fill = SCRIPT_JAMO
        for c in range(lo, hi + 1):
            if not assigned[c]:
                script[c] = fill
    # Extents stated for whole ranges also cover their unassigned positions.
    for lo, hi, v in SCRIPT_EXTENTS:
        for c in range(lo, hi + 1):
            if not assigned[c]:
                script[c] = v
    lo, hi = SPACING_MODIFIERS
    for c in range(lo, hi + 1):
        if not assigned[c]:
            script[c] = SCRIPT_SPACING
    return script


def derive_linebreak(assigned, lb):
    out = list(lb)
    # Hangul syllables and conjoining jamo break as ideographs.
    for c in list(range(0x1100, 0x1200)) + list(range(0xAC00, 0xD7A4)):
        if assigned[c]:
            out[c] = LINEBREAKS.index('ID')
    return out


def float32(text):
    if '/' in text:
        num, den = text.split('/')
        value = int(num) / int(den)
    else:
        value = float(int(text))
    return struct.unpack('<f', struct.pack('<f', value))[0]


# ---------------------------------------------------------------------------
# Table building

def ctype_for(values):
    top = max(values)
    low = min(values)
    if low < 0:
        assert low >= -128 and top <= 127
        return 'std::int8_t', 1
    if top <= 0xFF:
        return 'std::uint8_t', 1
    if top <= 0xFFFF:
        return 'std::uint16_t', 2
    return 'std::uint32_t', 4


class Pool:
    """Stores identical 256-entry arrays once; ids in order of first use."""

    def __init__(self):
        self.items = []
        self.ids = {}

    def add(self, seq):
        key = tuple(seq)
        if key not in self.ids:
            self.ids[key] = len(self.items)
            self.items.append(key)
        return self.ids[key]


def four_level(values, default):
    """values: one entry per code point 0..0x10FFFF."""
    leaves = Pool()
    empty_leaf = leaves.add([default] * 256)
    level3 = Pool()
    empty_l3 = level3.add([empty_leaf] * 256)
    planes = []
    for plane in range(17):
        row = []
        for blk in range(256):
            base = (plane << 16) | (blk << 8)
            row.append(leaves.add(values[base:base + 256]))
        planes.append(level3.add(row))
    level2 = Pool()
    real_l2 = level2.add(planes + [empty_l3] * (256 - 17))
    empty_l2 = level2.add([empty_l3] * 256)
    level1 = [real_l2] + [empty_l2] * 255
    return level1, level2.items, level3.items, leaves.items


def two_level(values, default):
    blocks = Pool()
    blocks.add([default] * 256)
    index = [blocks.add(values[b << 8:(b << 8) + 256]) for b in range(256)]
    return index, blocks.items


def fmt_rows(values, fmt, per_line):
    items = [fmt(v) for v in values]
    lines = []
    for i in range(0, len(items), per_line):
        lines.append('    ' + ', '.join(items[i:i + per_line]) + ',')
    return lines


def array_2d(ctype, name, rows, fmt, per_line):
    out = ['const %s %s[%d][256] = {' % (ctype, name, len(rows))]
    for row in rows:
        out.append('  {')
        out += ['  ' + line for line in fmt_rows(row, fmt, per_line)]
        out.append('  },')
    out.append('};')
    return out


def index_type(count):
    return 'std::uint8_t' if count <= 0x100 else 'std::uint16_t'


class Writer:
    def __init__(self):
        self.files = {}
        self.sizes = []
        self.decls = []

    def emit_four_level(self, fname, name, values, default, enum_name):
        level1, level2, level3, leaves = four_level(values, default)
        ctype, width = ctype_for(values + [default])
        fmt_leaf = (lambda v: '0x%X' % v) if width == 4 else str
        i2 = index_type(len(level2))
        i3 = index_type(len(level3))
        il = index_type(len(leaves))
        out = ['', '// %s: %d leaf blocks, %d level-3 arrays, %d level-2 arrays.'
               % (enum_name, len(leaves), len(level3), len(level2)),
               'namespace {', '']
        out.append('const %s k%sLevel1[256] = {' % (i2, name))
        out += fmt_rows(level1, str, 32)
        out.append('};')
        out += array_2d(i3, 'k%sLevel2' % name, level2, str, 32)
        out += array_2d(il, 'k%sLevel3' % name, level3, str, 24)
        out += array_2d(ctype, 'k%sLeaves' % name, leaves, fmt_leaf,
                        16 if width == 4 else 32)
        out += ['', '}  // namespace', '',
                'extern const FourLevelTable<%s, %s, %s, %s> k%sTable = {'
                % (ctype, i2, i3, il, name),
                '    %s, k%sLevel1, k%sLevel2, k%sLevel3, k%sLeaves};'
                % (fmt_leaf(default), name, name, name, name)]
        size = (256 * size_of(i2) + len(level2) * 256 * size_of(i3)
                + len(level3) * 256 * size_of(il) + len(leaves) * 256 * width)
        self.sizes.append((name, ctype, len(leaves), size))
        self.files.setdefault(fname, []).extend(out)
        self.decls.append('extern const FourLevelTable<%s, %s, %s, %s> k%sTable;'
                          % (ctype, i2, i3, il, name))

    def emit_two_level(self, fname, name, values, default, ctype, fmt):
        index, blocks = two_level(values, default)
        ii = index_type(len(blocks))
        width = 4 if ctype == 'float' else 1
        out = ['', '// %s: %d blocks.' % (name, len(blocks)), 'namespace {', '']
        out.append('const %s k%sIndex[256] = {' % (ii, name))
        out += fmt_rows(index, str, 32)
        out.append('};')
        out += array_2d(ctype, 'k%sBlocks' % name, blocks, fmt,
                        8 if ctype == 'float' else 32)
        out += ['', '}  // namespace', '',
                'extern const TwoLevelTable<%s, %s> k%sTable = {' % (ctype, ii, name),
                '    %s, k%sIndex, k%sBlocks};' % (fmt(default), name, name)]
        size = 256 * size_of(ii) + len(blocks) * 256 * width
        self.sizes.append((name, ctype, len(blocks), size))
        self.files.setdefault(fname, []).extend(out)
        self.decls.append('extern const TwoLevelTable<%s, %s> k%sTable;'
                          % (ctype, ii, name))


def size_of(ctype):
    return {'std::uint8_t': 1, 'std::int8_t': 1, 'std::uint16_t': 2,
            'std::uint32_t': 4, 'float': 4}[ctype]


def fmt_float(v):
    text = '%.9g' % v
    if '.' not in text and 'e' not in text and 'inf' not in text:
        text += '.0'
    return text + 'f'


DECL_HEADER = 'unicode_tables_decl.h'

HEADER = """// Generated by tools/chardb/gen_unicode_tables.py from the Unicode 4.0.0
// character database in data/ucd.  Do not edit: change the generator and run
// it again (see docs/chardb.md).
"""


def main():
    check = '--check' in sys.argv[1:]
    assigned, gc, bidi, mirrored, decimal, digit, numeric = read_unicode_data()
    blocks = read_blocks()
    bidi = derive_bidi(assigned, bidi)
    script = derive_scripts(assigned, blocks)
    width = read_enumerated('EastAsianWidth.txt', WIDTHS, 'N')
    lb = derive_linebreak(assigned,
                          read_enumerated('LineBreak.txt', LINEBREAKS, 'XX'))
    mirror = read_mirrors()
    props = read_properties()
    for c in range(NCP):
        if mirrored[c]:
            props[c] |= 1 << PROPERTIES.index('Bidi_Mirrored')
    numeric_f = [fmt_float(-1.0) if v is None else fmt_float(float32(v))
                 for v in numeric]

    w = Writer()
    f1 = 'unicode_tables_enums.cpp'
    f2 = 'unicode_tables_props.cpp'
    f3 = 'unicode_tables_numeric.cpp'
    w.emit_four_level(f1, 'Category', gc, CATEGORIES.index('Cn'), 'general category')
    w.emit_four_level(f1, 'Bidi', bidi, 0, 'bidirectional category')
    w.emit_four_level(f1, 'Script', script, 0, 'script')
    w.emit_four_level(f1, 'Width', width, 0, 'East Asian width')
    w.emit_four_level(f1, 'LineBreak', lb, LINEBREAKS.index('XX'), 'line break')
    w.emit_four_level(f2, 'Mirror', mirror, 0, 'mirror image')
    w.emit_four_level(f2, 'Properties', props, 0, 'Boolean properties')
    w.emit_two_level(f3, 'Decimal', decimal, -1, 'std::int8_t', str)
    w.emit_two_level(f3, 'Digit', digit, -1, 'std::int8_t', str)
    w.emit_two_level(f3, 'Numeric', numeric_f, fmt_float(-1.0), 'float', str)

    total = 0
    report = []
    for name, ctype, nblocks, size in w.sizes:
        total += size
        report.append('  %-11s %-14s %4d blocks  %7d bytes' % (name, ctype, nblocks, size))
    report.append('  total                                  %7d bytes' % total)

    texts = {}
    for fname, body in w.files.items():
        texts[fname] = HEADER + '\n#include "chardb/unicode_tables.h"\n\nnamespace zuuc_internal::chardb {\n' + \
            '\n'.join(body) + '\n\n}  // namespace zuuc_internal::chardb\n'
    texts[DECL_HEADER] = HEADER + '''
// Declarations of the generated property tables; included by
// chardb/unicode_tables.h after the table templates.
#ifndef ZUUC_CHARDB_GENERATED_UNICODE_TABLES_DECL_H
#define ZUUC_CHARDB_GENERATED_UNICODE_TABLES_DECL_H

namespace zuuc_internal::chardb {

''' + '\n'.join(w.decls) + '''

}  // namespace zuuc_internal::chardb

#endif
'''

    status = write_files(OUT, texts, check)
    print('\n'.join(report))
    return status


def write_files(out, texts, check):
    """Writes {file name: text} into the folder `out`, or with `check` only
    compares; returns 1 when a file is out of date, else 0."""
    status = 0
    for fname, text in sorted(texts.items()):
        path = os.path.join(out, fname)
        if check:
            try:
                with open(path, encoding='utf-8') as f:
                    same = f.read() == text
            except OSError:
                same = False
            if not same:
                print('out of date: %s' % path)
                status = 1
        else:
            os.makedirs(out, exist_ok=True)
            with open(path, 'w', encoding='utf-8', newline='\n') as f:
                f.write(text)
    return status


if __name__ == '__main__':
    sys.exit(main())
