#!/usr/bin/env python3
"""Generate the single-byte code tables of the five encoding libraries.

For each single-byte entry of tools/catalogue/catalogue.py this reads the
pinned mapping file named by the entry's source (data/mappings/...), applies
the documented derivation (byte range, overrides) and builds

  * the to-Unicode table: 256 code units, 0xFFFD for a byte with no character;
  * the from-Unicode PlaneTable<unsigned short, unsigned char>: 256 page
    pointers, each page 256 bytes, with an undefined marker byte.

It writes, per library, encoding_libs/<lib>/generated/sbcs_tables.h and
sbcs_tables.cpp (constant aggregate data; identical arrays and pages are
stored once per file).

    python3 tools/tables/gen_sbcs.py [--check]

--check regenerates into memory and fails when a committed file differs.  The
output depends only on the catalogue and the files in data/mappings, so two
runs give byte-identical files.

Mapping rules
  * Only single-byte lines are read; multi-byte lines (Apple's "0xA1+0xE9"
    ISCII-style combinations) belong to multi-byte encodings.
  * Apple's presentation hints are dropped: the <LR>/<RL> direction prefixes
    and the private-use transcoding hints U+F860-U+F87F.  A byte that still
    maps to more than one code point is left undefined unless an override
    gives its single-character equivalent.
  * Round trip: every byte with a character is reached back from that
    character, except when several bytes decode to the same character.  Then
    the from-Unicode side takes the byte whose mapping carried no hint, the
    lowest such byte; the others decode one way only.
  * One-way from-Unicode mappings are taken only where the owner's file lists
    them: Adobe's files give several Unicode characters for one byte (U+00A0
    and U+0020 both for 0x20); the first is the decoding, the others encode to
    the same byte.  Vendor "best fit" mappings are not used.
  * Undefined marker: the lowest byte that no character encodes to.  When all
    256 bytes are encoding targets, the entry's substitute byte is used; it
    must decode to U+001A (SUB), which then cannot be encoded itself - under
    the default behaviour it is replaced by the substitute byte, the same byte.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'catalogue'))
import catalogue  # noqa: E402

MAPPINGS = os.path.join(ROOT, 'data', 'mappings')
sys.path.insert(0, HERE)
from mapping_paths import mapping_path  # noqa: E402
LIB_OUT = os.path.join(ROOT, 'encoding_libs')

UNDEFINED = 0xFFFD


class TableError(Exception):
    pass


def _is_hint(cp):
    return 0xF860 <= cp <= 0xF87F


def parse_mapping(path, fmt='ucm'):
    """Read a two-column mapping file.

    Returns a list of (byte, code points, hinted) in file order for the
    single-byte lines.  hinted is True when a presentation hint was removed.
    """
    out = []
    with open(path, encoding='latin-1') as f:
        for lineno, raw in enumerate(f, 1):
            line = raw.split('#', 1)[0].strip()
            if not line:
                continue
            cols = line.split()
            if fmt == 'adobe':
                if len(cols) < 2:
                    raise TableError('%s:%d: expected two columns' % (path, lineno))
                code, uni = cols[1], cols[0]
                if len(code) != 2:
                    raise TableError('%s:%d: bad byte %r' % (path, lineno, code))
                out.append((int(code, 16), (int(uni, 16),), False))
                continue
            code = cols[0]
            if '+' in code or not code.lower().startswith('0x'):
                continue  # a multi-byte sequence
            byte = int(code, 16)
            if byte > 0xFF:
                continue
            if len(cols) < 2:
                continue  # listed as undefined
            hinted = False
            cps = []
            for part in cols[1].split('+'):
                if part in ('<LR>', '<RL>'):
                    hinted = True
                    continue
                cp = int(part, 16)
                if _is_hint(cp):
                    hinted = True
                    continue
                cps.append(cp)
            out.append((byte, tuple(cps), hinted))
    return out


class SbcsTable(object):
    """The two tables of one single-byte encoding and how they were made."""

    def __init__(self, entry):
        self.entry = entry
        self.to_unicode = [UNDEFINED] * 256
        self.from_unicode = {}   # code point -> byte
        self.one_way_decode = []  # bytes whose character encodes to another byte
        self.one_way_encode = []  # (code point, byte) taken from the owner's list
        self.dropped = []         # (byte, code points): sequences a byte cannot hold
        self.marker = None
        self.marker_note = ''

    def lookup(self, cp):
        """Encode like the library does: marker means unmappable."""
        if cp > 0xFFFF:
            return None
        b = self.page_byte(cp)
        return None if b == self.marker else b

    def page_byte(self, cp):
        return self.from_unicode.get(cp, self.marker)

    def pages(self):
        """The 256 pages of the plane table, each a tuple of 256 bytes."""
        pages = [[self.marker] * 256 for _ in range(256)]
        for cp, b in self.from_unicode.items():
            pages[cp >> 8][cp & 0xFF] = b
        return [tuple(p) for p in pages]


# Bytes that a table's vendor designates for encoding where the table decodes
# two bytes to one character and the lower one is not the vendor's choice.
VENDOR_ENCODES = {
    # IBM's Thai EBCDIC writes the tone marks at 0xED-0xEF and 0xFA-0xFB;
    # 0x51, 0xCA, 0xE1, 0xFD and 0xFE read one way.
    'CP20838': (0xED, 0xEE, 0xEF, 0xFA, 0xFB),
}


def build_table(entry):
    src = entry.source
    path = mapping_path(src.file)
    lines = parse_mapping(path, src.fmt)
    t = SbcsTable(entry)
    hinted = {}
    alternatives = []
    for byte, cps, was_hinted in lines:
        if src.keep and not src.keep[0] <= byte <= src.keep[1]:
            continue
        if byte in hinted:
            # A second line for the same byte: the owner lists another
            # character that encodes to it (one way).
            if len(cps) == 1:
                alternatives.append((cps[0], byte))
            continue
        hinted[byte] = was_hinted
        if len(cps) != 1:
            t.dropped.append((byte, cps))
            continue
        t.to_unicode[byte] = cps[0]
    for byte, cp in sorted(src.fill.items()):
        if t.to_unicode[byte] == UNDEFINED and not any(d[0] == byte for d in t.dropped):
            hinted[byte] = False
            t.to_unicode[byte] = cp
    for byte, cp in sorted(src.overrides.items()):
        hinted[byte] = False
        t.dropped = [d for d in t.dropped if d[0] != byte]
        t.to_unicode[byte] = UNDEFINED if cp is None else cp
    for byte in range(256):
        cp = t.to_unicode[byte]
        if cp == UNDEFINED:
            continue
        if cp > 0xFFFF or 0xD800 <= cp <= 0xDFFF or cp == 0xFFFF:
            raise TableError('%s: byte 0x%02X maps to U+%04X, which a single-byte table cannot hold'
                             % (entry.accessor, byte, cp))
    # From-Unicode: one byte per character, preferring the byte the vendor
    # designates for encoding, then unhinted, then lowest.
    designated = VENDOR_ENCODES.get(entry.accessor, ())
    for byte in range(256):
        cp = t.to_unicode[byte]
        if cp == UNDEFINED:
            continue
        have = t.from_unicode.get(cp)
        if have is None:
            t.from_unicode[cp] = byte
        elif (byte in designated and have not in designated) or (
                hinted.get(have) and not hinted.get(byte) and have not in designated):
            t.one_way_decode.append(have)
            t.from_unicode[cp] = byte
        else:
            t.one_way_decode.append(byte)
    t.one_way_decode.sort()
    for cp, byte in alternatives:
        if cp not in t.from_unicode and t.to_unicode[byte] != UNDEFINED:
            t.from_unicode[cp] = byte
            t.one_way_encode.append((cp, byte))
    _choose_marker(t)
    return t


def _choose_marker(t):
    targets = set(t.from_unicode.values())
    free = [b for b in range(256) if b not in targets]
    if free:
        t.marker = free[0]
        t.marker_note = 'no character encodes to 0x%02X' % t.marker
        return
    sub = t.entry.substitute
    if len(sub) != 1 or t.to_unicode[sub[0]] != 0x001A:
        raise TableError('%s: every byte is mapped and the substitute byte does not decode to U+001A'
                         % t.entry.accessor)
    t.marker = sub[0]
    del t.from_unicode[0x001A]
    t.marker_note = ('all 256 bytes are mapped; marker is the substitute byte 0x%02X (SUB), so U+001A is '
                     'treated as unmappable and substituted by that same byte' % t.marker)


def build_all():
    tables = []
    for e in catalogue.sbcs_entries():
        tables.append(build_table(e))
    return tables


# --- C++ output ------------------------------------------------------------

def _guard(lib):
    return 'ZUUC_ENCODING_LIBS_%s_GENERATED_SBCS_TABLES_H' % lib.upper()


def render_header(lib):
    return '\n'.join([
        '// Generated by tools/tables/gen_sbcs.py. Do not edit.',
        '//',
        '// The single-byte code tables of %s. kSbcsTables lists one entry per' % lib,
        '// single-byte encoding of this library, in identifier order: its base',
        '// encoding number, its to-Unicode table (256 code units, 0xFFFD for a byte',
        '// with no character) and its from-Unicode plane table.',
        '#ifndef %s' % _guard(lib),
        '#define %s' % _guard(lib),
        '',
        '#include "zuuc/code_tables.h"',
        '',
        'struct SbcsTableEntry {',
        '    unsigned long id;',
        '    unsigned short const * to_unicode;',
        '    PlaneTable<unsigned short, unsigned char> const * from_unicode;',
        '};',
        '',
        'extern const SbcsTableEntry kSbcsTables[];',
        'extern const unsigned kSbcsTableCount;',
        '',
        '#endif',
        '',
    ])


def _rows(values, per_line, fmt):
    out = []
    for i in range(0, len(values), per_line):
        out.append('    ' + ', '.join(fmt % v for v in values[i:i + per_line]) + ',')
    return out


def render_source(lib, tables):
    lines = [
        '// Generated by tools/tables/gen_sbcs.py from the mapping files in data/mappings.',
        '// Do not edit; see docs/encodings.md for the source of every table.',
        '',
        '#include "sbcs_tables.h"',
        '',
        'namespace {',
        '',
    ]
    to_names = {}
    page_names = {}
    dir_names = {}
    plane_names = {}
    entry_rows = []
    for t in tables:
        e = t.entry
        src = e.source
        lines.append('// %s (%d): %s%s' % (e.accessor, e.id, src.file, ', derived' if src.derived else ''))
        lines.append('//   undefined marker 0x%02X: %s' % (t.marker, t.marker_note))
        if t.one_way_decode:
            lines.append('//   decode only (their character encodes to another byte): %s'
                         % ' '.join('0x%02X' % b for b in t.one_way_decode))
        if t.one_way_encode:
            lines.append('//   encode only (owner\'s alternative characters): %s'
                         % ' '.join('U+%04X->0x%02X' % (c, b) for c, b in t.one_way_encode))
        if t.dropped:
            lines.append('//   left undefined (a sequence of characters): %s'
                         % ' '.join('0x%02X' % b for b, _ in t.dropped))
        key = tuple(t.to_unicode)
        if key not in to_names:
            name = 'kToUnicode_%s' % e.accessor
            to_names[key] = name
            lines.append('const unsigned short %s[256] = {' % name)
            lines += _rows(t.to_unicode, 8, '0x%04X')
            lines.append('};')
        else:
            lines.append('//   to-Unicode table shared: %s' % to_names[key])
        dir_key = []
        for page in t.pages():
            if page not in page_names:
                name = 'kPage%d' % len(page_names)
                page_names[page] = name
                lines.append('const unsigned char %s[256] = {' % name)
                lines += _rows(list(page), 16, '0x%02X')
                lines.append('};')
            dir_key.append(page_names[page])
        dir_key = tuple(dir_key)
        if dir_key not in dir_names:
            name = 'kPages_%s' % e.accessor
            dir_names[dir_key] = name
            lines.append('const unsigned char * const %s[256] = {' % name)
            lines += _rows(list(dir_key), 8, '%s')
            lines.append('};')
        plane_key = (t.marker, dir_names[dir_key])
        if plane_key not in plane_names:
            name = 'kFromUnicode_%s' % e.accessor
            plane_names[plane_key] = name
            lines.append('const PlaneTable<unsigned short, unsigned char> %s = {0x%02X, %s};'
                         % (name, t.marker, dir_names[dir_key]))
        entry_rows.append('    {%dul, %s, &%s},  // %s' % (e.id, to_names[key], plane_names[plane_key], e.accessor))
        lines.append('')
    lines += [
        '}  // namespace',
        '',
        'const SbcsTableEntry kSbcsTables[] = {',
    ]
    lines += entry_rows
    lines += [
        '};',
        '',
        'const unsigned kSbcsTableCount = sizeof(kSbcsTables) / sizeof(kSbcsTables[0]);',
        '',
    ]
    return '\n'.join(lines)


def render_all(tables=None):
    """Map of output path -> text."""
    tables = build_all() if tables is None else tables
    files = {}
    for lib in catalogue.LIBRARY_ORDER:
        mine = sorted((t for t in tables if t.entry.library == lib), key=lambda t: t.entry.id)
        if not mine:
            continue
        out = os.path.join(LIB_OUT, lib, 'generated')
        files[os.path.join(out, 'sbcs_tables.h')] = render_header(lib)
        files[os.path.join(out, 'sbcs_tables.cpp')] = render_source(lib, mine)
    return files


def main(argv):
    files = render_all()
    if '--check' in argv:
        stale = []
        for path, text in sorted(files.items()):
            try:
                with open(path, encoding='utf-8') as f:
                    if f.read() != text:
                        stale.append(path)
            except OSError:
                stale.append(path)
        for path in stale:
            sys.stderr.write('%s is out of date\n' % path)
        return 1 if stale else 0
    for path, text in sorted(files.items()):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'w', encoding='utf-8', newline='\n') as f:
            f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
