#!/usr/bin/env python3
"""Generate the code tables of the multi-byte, look-ahead, modal and mixed
(GB18030) encodings of the five encoding libraries.

For each such catalogue entry (tools/catalogue/catalogue.py) a charset is
read from the pinned mapping files (mbcs_specs.py says which, and how it is
derived) and turned into

  * a decoding state machine, MBCStoUnicodeTable<T>: one row of 256 entries
    {value, next} per state.  State 0 is the initial state; every byte
    sequence of the charset is a path from state 0 whose last entry carries
    the character (next 0) and whose earlier entries carry 0xFFFF (no
    character yet) and the state of the prefix read so far.  Any other byte
    gives 0xFFFD (invalid) with next state 0.  Modal tables have one initial
    state per mode (states 0..N-1); escape and shift sequences are 0xFFFF
    paths ending in the target mode's state, and a character or an invalid
    sequence returns to the state of the mode it was read in.  Look-ahead
    tables (ISCII, VNI, VIQR) mark with next 0xFFFF the entries where a
    pending character ends before the byte just read; (state, 0x00) stands
    for the end of the input.  Identical states are merged, so a row is
    stored once per table.
  * a from-Unicode PlaneTable: the byte sequence of each character as a
    big-endian number (1 to 4 bytes), 16-bit or 32-bit values and keys as
    the content requires; identical pages are stored once per library.

Mapping rules (as for the single-byte tables)
  * A line whose character is a sequence of code points (after dropping
    Apple's presentation hints) cannot be one table value: the byte sequence
    is left undefined and listed in docs/encodings.md.
  * From-Unicode holds round-trip mappings only: when several byte sequences
    decode to one character, the sequence chosen is the one without a hint,
    then the one the entry's definition prefers (the vendor's own choice where it is
    documented), then the shortest, then the lowest; the others decode one
    way.  "Roundtrip" twins drop the decode-only sequences altogether, so
    that decoding and encoding are inverse on their whole repertoire.
  * No best-fit mappings are added.
  * A table without look-ahead cannot hold a sequence and a longer one that
    starts with it; such a combination (ISCII nukta and halant forms in the
    plain multi-byte ISCII sets) is read byte by byte, and is listed.

    python3 tools/tables/gen_mbcs.py [--check]

Writes encoding_libs/<lib>/generated/mbcs_tables.{h,cpp} and
src/legacy/generated/gb18030_ranges.inc; --check compares instead.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
ROOT = os.path.abspath(os.path.join(HERE, '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'catalogue'))
import catalogue  # noqa: E402

LIB_OUT = os.path.join(ROOT, 'encoding_libs')
INVALID = 0xFFFD
PENDING = 0xFFFF
REREAD = 0xFFFF


class TableError(Exception):
    pass


class Charset(object):
    """Decoding and encoding maps of one byte-sequence charset."""

    def __init__(self, lines, prefer=None, roundtrip=False, one_way=(), split=()):
        self.decode = {}          # bytes -> code point
        self.split = list(split)  # (bytes, code points): combinations read byte by byte
        self.encode = {}          # code point -> bytes
        self.dropped = []         # (bytes, code points): sequences of characters
        self.decode_only = []     # bytes whose character encodes to other bytes
        self.removed = []         # Roundtrip twins: decode-only sequences taken out
        self.one_way_encode = []  # (code point, bytes)
        self.unmapped = []        # sequences the file lists as U+FFFD
        hinted = {}
        for seq, cps, h in lines:
            if seq in self.decode or any(d[0] == seq for d in self.dropped):
                continue
            if len(cps) != 1:
                self.dropped.append((seq, cps))
                continue
            cp = cps[0]
            if cp == 0xFFFD:
                self.unmapped.append(seq)  # the file's own "no character"
                continue
            if 0xD800 <= cp <= 0xDFFF or cp in (0xFFFE, 0xFFFF) or cp > 0x10FFFF:
                raise TableError('%r maps to U+%04X' % (seq, cp))
            self.decode[seq] = cp
            hinted[seq] = h
        prefer = prefer or (lambda seq: 0)
        best = {}
        for seq, cp in self.decode.items():
            key = (hinted[seq], prefer(seq), len(seq), seq)
            if cp not in best or key < best[cp][0]:
                best[cp] = (key, seq)
        for cp, (_, seq) in best.items():
            self.encode[cp] = seq
        self.decode_only = sorted(s for s, cp in self.decode.items() if self.encode[cp] != s)
        if roundtrip:
            for s in self.decode_only:
                del self.decode[s]
            self.removed, self.decode_only = self.decode_only, []
        for cp, seq in one_way:
            if cp not in self.encode and seq in self.decode:
                self.encode[cp] = seq
                self.one_way_encode.append((cp, seq))
        for seq in self.encode.values():
            if seq[0] == 0 and len(seq) > 1:
                raise TableError('sequence %r has a leading zero byte' % seq)

    def wide(self):
        return any(cp > 0xFFFF for cp in self.decode.values()) or any(cp > 0xFFFF for cp in self.encode)


# --- State machines -------------------------------------------------------

def build_machine(roots, lookahead=False):
    """roots: list of dicts, one per initial state, each mapping a byte
    sequence to (value, next root).  value None means an escape: no character,
    go to the next root.  Returns the list of rows; row i < len(roots) is
    root i.  Each row is a tuple of 256 (value, next) pairs."""
    n_roots = len(roots)
    # Trie nodes: (root index, prefix).  Build bottom-up so that identical
    # subtrees share one state.
    rows = [None] * n_roots
    row_ids = {}

    def node_row(root, prefix, home):
        table = roots[root]
        out = []
        pending_value = None
        if prefix and lookahead and prefix in table and table[prefix][0] is not None:
            pending_value = table[prefix][0]
        for b in range(256):
            seq = prefix + bytes([b])
            longer = children.get((root, seq))
            if longer:
                child = node_row(root, seq, home)
                out.append((PENDING, child))
            elif seq in table:
                value, nxt = table[seq]
                out.append((PENDING if value is None else value, nxt))
            elif pending_value is not None:
                out.append((pending_value, REREAD))
            else:
                out.append((INVALID, home))
        if prefix and lookahead and pending_value is not None:
            # byte 0x00 stands for the end of the input: the pending
            # character is complete.
            if out[0][0] == INVALID:
                out[0] = (pending_value, REREAD)
        row = tuple(out)
        if row not in row_ids:
            row_ids[row] = len(rows)
            rows.append(row)
        return row_ids[row]

    children = {}
    for r, table in enumerate(roots):
        for seq in table:
            for i in range(1, len(seq)):
                children[(r, seq[:i])] = True
    for r in range(n_roots):
        rows[r] = tuple(_root_row(r, roots, children, node_row))
    return rows


def _root_row(r, roots, children, node_row):
    table = roots[r]
    out = []
    for b in range(256):
        seq = bytes([b])
        if (r, seq) in children:
            out.append((PENDING, node_row(r, seq, r)))
        elif seq in table:
            value, nxt = table[seq]
            out.append((PENDING if value is None else value, nxt))
        else:
            out.append((INVALID, r))
    return out


def mbcs_machine(cs, lookahead=False):
    table = dict((seq, (cp, 0)) for seq, cp in cs.decode.items())
    return build_machine([table], lookahead=lookahead)


def decode_with(rows, data, state=0, lookahead=False):
    """Run a machine the way the runtime decoders do (used by the self-tests
    and the cross-check).  Returns (list of values or None for an invalid
    sequence, final state)."""
    out = []
    i = 0
    while i < len(data):
        value, nxt = rows[state][data[i]]
        if lookahead and nxt == REREAD:
            out.append(value)
            state = 0
            continue
        i += 1
        state = nxt
        if value == INVALID:
            out.append(None)
        elif value != PENDING:
            out.append(value)
    if lookahead and state != 0:
        value, nxt = rows[state][0]
        if value == INVALID:
            out.append(None)
        elif value != PENDING:
            out.append(value)
            state = 0 if nxt == REREAD else nxt
    return out, state


# --- Plane tables ------------------------------------------------------------

def seq_value(seq):
    return int.from_bytes(seq, 'big')


class PlaneData(object):
    """A from-Unicode map as a plane table: key width, value width, marker."""

    def __init__(self, encode, wide_keys, wide_values=None):
        self.map = dict((cp, seq_value(seq)) for cp, seq in encode.items())
        self.wide_keys = wide_keys
        if wide_values is None:
            wide_values = any(len(seq) > 2 for seq in encode.values())
        self.wide_values = wide_values
        used = set(self.map.values())
        marker = 0xFFFFFFFF if wide_values else 0xFFFF
        while marker in used:
            marker -= 1
        self.marker = marker

    def lookup(self, cp):
        return self.map.get(cp, self.marker)


# --- C++ output -------------------------------------------------------------

def _rows_text(values, per_line):
    out = []
    for i in range(0, len(values), per_line):
        out.append('    ' + ', '.join(values[i:i + per_line]) + ',')
    return out


class Emitter(object):
    """Writes one library's constant data, sharing identical arrays."""

    def __init__(self):
        self.lines = []
        self.names = {}
        self.counter = 0

    def _name(self, prefix):
        self.counter += 1
        return '%s%d' % (prefix, self.counter)

    def machine(self, label, rows, wide, mode_count=1):
        key = ('machine', wide, mode_count, tuple(rows))
        if key in self.names:
            return self.names[key]
        vt = 'unsigned int' if wide else 'unsigned short'
        arr = 'kStates_%s' % label
        self.lines.append('const MBCStoUnicodeEntry<%s> %s[%d] = {' % (vt, arr, 256 * len(rows)))
        for s, row in enumerate(rows):
            self.lines.append('    // state %d' % s)
            if wide:
                cells = ['{0x%04X, %d, 0}' % (v, n) for v, n in row]
            else:
                cells = ['{0x%04X, %d}' % (v, n) for v, n in row]
            self.lines += _rows_text(cells, 8)
        self.lines.append('};')
        name = 'kToUnicode_%s' % label
        self.lines.append('const MBCStoUnicodeTable<%s> %s = {1, 256, %d, %d, 0, %s};'
                          % (vt, name, len(rows), mode_count, arr))
        self.names[key] = name
        return name

    def _page(self, vt, values, fmt):
        key = ('page', vt, values)
        if key not in self.names:
            name = self._name('kPage')
            self.names[key] = name
            self.lines.append('const %s %s[256] = {' % (vt, name))
            self.lines += _rows_text([fmt % v for v in values], 12)
            self.lines.append('};')
        return self.names[key]

    def _level(self, ctype, items):
        key = ('level', ctype, tuple(items))
        if key not in self.names:
            name = self._name('kLevel')
            self.names[key] = name
            self.lines.append('%s %s[256] = {' % (ctype, name))
            self.lines += _rows_text(list(items), 6)
            self.lines.append('};')
        return self.names[key]

    def plane(self, label, pd):
        vt = 'unsigned int' if pd.wide_values else 'unsigned short'
        fmt = '0x%08X' if pd.wide_values else '0x%04X'
        kt = 'unsigned int' if pd.wide_keys else 'unsigned short'
        by_page = {}
        for cp, v in pd.map.items():
            by_page.setdefault(cp >> 8, {})[cp & 0xFF] = v
        empty = tuple([pd.marker] * 256)

        def page_name(p):
            vals = by_page.get(p)
            if not vals:
                return self._page(vt, empty, fmt)
            return self._page(vt, tuple(vals.get(i, pd.marker) for i in range(256)), fmt)

        if not pd.wide_keys:
            if any(cp > 0xFFFF for cp in pd.map):
                raise TableError(label + ': 16-bit keys cannot hold characters beyond U+FFFF')
            directory = self._level('const %s * const' % vt, [page_name(p) for p in range(256)])
        else:
            empty_page = self._page(vt, empty, fmt)
            empty_dir = self._level('const %s * const' % vt, [empty_page] * 256)
            empty_mid = self._level('const %s * const * const' % vt, [empty_dir] * 256)
            planes = sorted(set(cp >> 16 for cp in pd.map))
            mids = []
            for hi in range(256):
                if hi != 0:
                    mids.append(empty_mid)
                    continue
                dirs = []
                for plane in range(256):
                    if plane not in planes:
                        dirs.append(empty_dir)
                        continue
                    dirs.append(self._level('const %s * const' % vt,
                                            [page_name((plane << 8) | p) for p in range(256)]))
                mids.append(self._level('const %s * const * const' % vt, dirs))
            directory = self._level('const %s * const * const * const' % vt, mids)
        key = ('plane', kt, vt, pd.marker, directory)
        if key not in self.names:
            name = 'kFromUnicode_%s' % label
            self.names[key] = name
            self.lines.append('const PlaneTable<%s, %s> %s = {0x%X, %s};' % (kt, vt, name, pd.marker, directory))
        return self.names[key]


HEADER = '''// Generated by tools/tables/gen_mbcs.py. Do not edit.
//
// The layout of the multi-byte, look-ahead and modal code tables that every
// encoding module holds (in its generated/mbcs_tables.cpp), in identifier
// order. A multi-byte entry holds one to-Unicode state machine (16-bit or
// 32-bit values) and one from-Unicode plane table; a modal entry holds one
// state machine whose states 0..mode_count-1 start the modes, and one plane
// table per mode (the character's bytes in that mode).
#ifndef ZUUC_ENCODING_LIBS_GENERATED_MBCS_TABLES_H
#define ZUUC_ENCODING_LIBS_GENERATED_MBCS_TABLES_H

#include "zuuc/code_tables.h"

struct MbcsTableEntry {        // MBCSEncoding and MBCSLookAheadEncoding entries
    unsigned long id;
    MBCStoUnicodeTable<unsigned short> const * to_unicode_16;   // exactly one of these two
    MBCStoUnicodeTable<unsigned int> const * to_unicode_32;
    PlaneTable<unsigned short, unsigned short> const * from_16_16;  // exactly one of these four
    PlaneTable<unsigned short, unsigned int> const * from_16_32;
    PlaneTable<unsigned int, unsigned short> const * from_32_16;
    PlaneTable<unsigned int, unsigned int> const * from_32_32;
};

struct ModalTableEntry {       // ModalEncoding entries
    unsigned long id;
    unsigned mode_count;
    MBCStoUnicodeTable<unsigned short> const * to_unicode_16;        // one of the two pairs
    PlaneTable<unsigned short, unsigned int> const * const * from_16; // mode_count entries
    MBCStoUnicodeTable<unsigned int> const * to_unicode_32;
    PlaneTable<unsigned int, unsigned int> const * const * from_32;
};

extern const MbcsTableEntry kMbcsTables[];
extern const unsigned kMbcsTableCount;
extern const ModalTableEntry kModalTables[];
extern const unsigned kModalTableCount;

#endif
'''


def render_header():
    return HEADER


def render_source(lib, built):
    em = Emitter()
    mbcs_rows = []
    modal_rows = []
    for b in built:
        e = b.entry
        em.lines.append('// %s (%d): %s' % (e.accessor, e.id, b.spec.summary()))
        if b.modal:
            wide = b.wide
            to = em.machine(e.accessor, b.rows, wide, mode_count=len(b.planes))
            planes = [em.plane('%s_mode%d' % (e.accessor, m), pd) for m, pd in enumerate(b.planes)]
            arr = 'kModePlanes_%s' % e.accessor
            vt = 'unsigned int' if wide else 'unsigned short'
            em.lines.append('const PlaneTable<%s, unsigned int> * const %s[%d] = {%s};'
                            % (vt, arr, len(planes), ', '.join('&' + p for p in planes)))
            if wide:
                modal_rows.append('    {%dul, %d, nullptr, nullptr, &%s, %s},  // %s'
                                  % (e.id, len(planes), to, arr, e.accessor))
            else:
                modal_rows.append('    {%dul, %d, &%s, %s, nullptr, nullptr},  // %s'
                                  % (e.id, len(planes), to, arr, e.accessor))
        else:
            to = em.machine(e.accessor, b.rows, b.wide)
            pd = b.planes[0]
            plane = em.plane(e.accessor, pd)
            slots = ['nullptr'] * 4
            slots[(2 if pd.wide_keys else 0) + (1 if pd.wide_values else 0)] = '&' + plane
            tos = ['nullptr', '&' + to] if b.wide else ['&' + to, 'nullptr']
            mbcs_rows.append('    {%dul, %s, %s},  // %s' % (e.id, ', '.join(tos), ', '.join(slots), e.accessor))
        em.lines.append('')
    out = [
        '// Generated by tools/tables/gen_mbcs.py from the mapping files in data/mappings.',
        '// Do not edit; see docs/encodings.md for the source of every table.',
        '',
        '#include "generated/mbcs_tables.h"',
        '',
        'namespace {',
        '',
    ] + em.lines + ['}  // namespace', '']
    if mbcs_rows:
        out += ['const MbcsTableEntry kMbcsTables[] = {'] + mbcs_rows + ['};',
                'const unsigned kMbcsTableCount = sizeof(kMbcsTables) / sizeof(kMbcsTables[0]);', '']
    else:
        out += ['const MbcsTableEntry kMbcsTables[1] = {{0ul, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}};',
                'const unsigned kMbcsTableCount = 0;', '']
    if modal_rows:
        out += ['const ModalTableEntry kModalTables[] = {'] + modal_rows + ['};',
                'const unsigned kModalTableCount = sizeof(kModalTables) / sizeof(kModalTables[0]);', '']
    else:
        out += ['const ModalTableEntry kModalTables[1] = {{0ul, 0, nullptr, nullptr, nullptr, nullptr}};',
                'const unsigned kModalTableCount = 0;', '']
    return '\n'.join(out)


# --- Building ------------------------------------------------------------------

class Built(object):
    def __init__(self, entry, spec):
        self.entry = entry
        self.spec = spec
        self.modal = False
        self.rows = None
        self.planes = []
        self.wide = False
        self.charsets = []
        self.lookahead = False


def build_entry(entry):
    import mbcs_specs
    spec = mbcs_specs.SPECS[entry.accessor]
    b = Built(entry, spec)
    spec.build(b)
    if len(b.rows) > 0xFFFE:
        raise TableError(entry.accessor + ': too many states')
    return b


def table_entries():
    return [e for e in catalogue.validate() if e.cls != catalogue.SBCS]


def build_all(only=None):
    import mbcs_specs
    out = []
    for e in table_entries():
        if only and e.accessor not in only:
            continue
        if e.accessor not in mbcs_specs.SPECS:
            continue
        out.append(build_entry(e))
    return out


def render_all(built=None):
    import gen_gb18030
    built = build_all() if built is None else built
    files = {}
    for lib in catalogue.LIBRARY_ORDER:
        mine = sorted((b for b in built if b.entry.library == lib), key=lambda b: b.entry.id)
        out = os.path.join(LIB_OUT, lib, 'generated')
        files[os.path.join(out, 'mbcs_tables.cpp')] = render_source(lib, mine)
    files[os.path.join(LIB_OUT, 'generated', 'mbcs_tables.h')] = render_header()
    files[gen_gb18030.OUT_INC] = gen_gb18030.render_inc()
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
        print('%-70s %8d bytes' % (os.path.relpath(path, ROOT), len(text)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
