#!/usr/bin/env python3
"""Compile the UCA 4.0.0 default table (data/uca/allkeys.txt) into default.zct.

Writes src/collation/generated/default.zct, the collation file the default
CollationSequence loads.  Python 3 standard library only; running it again
gives a byte-identical file.

Usage:  python3 tools/collation/gen_collation_table.py [--check] [--output FILE]
  --check   compile into memory and fail if the committed file differs.
  --output  write somewhere else (for tests of other tables).

The file is a sequence of 32-bit little-endian words:

  0  0x0000FEFF (byte-order mark)
  1  signature: CRC-32 of the file with this word set to 0
  2  0x00040000 (UCA version 4.0.0; not read by the library)
  3  alternate handling: 2 (shifted)
  4  variable top: the highest primary of the variable elements ('*')
  5  offset of the reorder set: n, then n code points ascending (the
     logical-order exceptions: Thai and Lao vowels written before their
     consonant, U+0E40-0E44 and U+0EC0-0EC4)
  6  offset of the level flags: 5, then five 0 words (every level forwards)
  7  offset of the trie T, 8 of the expansions E, 9 of the contraction
     candidates C, 10 of the contraction mappings M (C and M in step).

Weights (see docs/collation.md):
  primary    the table's own value.  Every primary of the table lies in
             0x0201-0x2515, above the level terminator 0x0101 and below the
             implicit primaries 0xFB40-0xFBE1; elements that spell an implicit
             weight (a lead 0xFB40-0xFBFF and its trail 0x8000-0xFFFF) are kept
             as they are, because the library derives the same pair for the
             ideographs and unlisted code points the table does not hold.
  secondary  0x20 (the common weight, the only one that goes with a primary)
             stays 0x20; the other secondaries (all of them on marks, primary
             0) take ranks 0x21, 0x22, ... up to 0xFE; beyond that a weight is
             written as two secondary-only elements (0xFF, 0x02 + r), which
             sort after every one-byte weight and in their own order.
  tertiary   the table's own value (0x02-0x1F).
"""

import os
import re
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOURCE = os.path.join(ROOT, 'data', 'uca', 'allkeys.txt')
TARGET = os.path.join(ROOT, 'src', 'collation', 'generated', 'default.zct')

NO_ENTRY = 0xFFFFFFFF
EXPANSION = 0xFFE00000
CONTRACTION = 0xFFF00000
REORDER = list(range(0x0E40, 0x0E45)) + list(range(0x0EC0, 0x0EC5))
COMMON_SECONDARY = 0x20
ELEMENT = re.compile(r'\[([.*])([0-9A-F]{4,5})\.([0-9A-F]{4})\.([0-9A-F]{4})\.([0-9A-F]{4,6})\]')


def read_table(path):
    """code point tuple -> list of (variable, primary, secondary, tertiary)."""
    entries = {}
    with open(path, encoding='utf-8') as f:
        for line in f:
            body = line.split('#', 1)[0].strip()
            if not body or body.startswith('@'):
                continue
            left, right = body.split(';', 1)
            cps = tuple(int(x, 16) for x in left.split())
            elements = [(v == '*', int(p, 16), int(s, 16), int(t, 16))
                        for v, p, s, t, _ in ELEMENT.findall(right)]
            if not elements:
                raise SystemExit('no elements: ' + line)
            entries[cps] = elements
    return entries


def is_implicit_lead(p):
    return 0xFB40 <= p <= 0xFBFF


def secondary_codes(entries):
    """Maps each secondary weight to its byte code(s)."""
    values = sorted({s for els in entries.values() for _, _, s, _ in els if s})
    if values[0] != COMMON_SECONDARY:
        raise SystemExit('the lowest secondary is not 0x20')
    codes = {}
    for rank, s in enumerate(values):
        code = COMMON_SECONDARY + rank
        codes[s] = (code,) if code <= 0xFE else (0xFF, 0x02 + code - 0xFF)
    if max(c[-1] for c in codes.values()) > 0xFF:
        raise SystemExit('too many secondary weights')
    return codes


def encode_elements(elements, codes):
    out = []
    trail = False
    for variable, p, s, t in elements:
        if trail:  # the second half of an implicit weight
            if p < 0x8000 or s or t:
                raise SystemExit('odd implicit weight')
            out.append(p << 16)
            trail = False
            continue
        if is_implicit_lead(p):
            trail = True
        elif p and not 0x0102 <= p < 0xFB40:
            raise SystemExit('primary out of range: %04X' % p)
        if t == 1 or t > 0xFF:
            raise SystemExit('tertiary out of range: %04X' % t)
        if p and s != COMMON_SECONDARY:
            raise SystemExit('primary with an uncommon secondary')
        code = codes[s] if s else (0,)
        out.append((p << 16) | (code[0] << 8) | t)
        for extra in code[1:]:
            out.append(extra << 8)
    return out


def variable_top(entries):
    variable = [p for els in entries.values() for v, p, _, _ in els if v and p]
    fixed = [p for els in entries.values() for v, p, _, _ in els if not v and p]
    top = max(variable)
    if top >= min(fixed):
        raise SystemExit('variable and non-variable primaries interleave')
    return top


class Builder:
    def __init__(self, entries, codes):
        self.entries = entries
        self.codes = codes
        self.expansions = []
        self.expansion_index = {}
        self.contractions_c = []
        self.contractions_m = []
        self.prefixes = {}
        for cps in entries:
            for n in range(1, len(cps)):
                self.prefixes.setdefault(cps[:n], set()).add(cps[n])

    def value_of_elements(self, elements):
        if len(elements) == 1 and elements[0] < EXPANSION:
            return elements[0]
        key = tuple(elements)
        if key not in self.expansion_index:
            self.expansion_index[key] = len(self.expansions)
            self.expansions.extend(elements + [NO_ENTRY])
        index = self.expansion_index[key]
        if index >= 1 << 20:
            raise SystemExit('expansion table too large')
        return EXPANSION | index

    def greedy(self, cps):
        """Elements of a sequence that is not an entry, matched as the library does."""
        out = []
        i = 0
        while i < len(cps):
            n = 1
            for m in range(len(cps) - i, 1, -1):
                if tuple(cps[i:i + m]) in self.entries and all(
                        tuple(cps[i:i + k]) in self.prefixes for k in range(1, m)):
                    n = m
                    break
            piece = tuple(cps[i:i + n])
            if piece in self.entries:
                out.extend(encode_elements(self.entries[piece], self.codes))
            else:
                raise SystemExit('no entry for %r' % (piece,))
            i += n
        return out

    def value_of(self, cps):
        """Mapping value of a sequence: elements, or a contraction over what may follow."""
        if cps in self.entries:
            base = encode_elements(self.entries[cps], self.codes)
        else:
            base = self.greedy(cps)
        following = sorted(self.prefixes.get(cps, ()))
        if not following:
            return self.value_of_elements(base)
        j = len(self.contractions_c)
        self.contractions_c.extend([len(following)] + following)
        self.contractions_m.extend([0] * (len(following) + 1))
        if j >= 0xFFFFF:
            raise SystemExit('contraction table too large')
        self.contractions_m[j] = self.value_of_elements(base)
        for k, nxt in enumerate(following):
            self.contractions_m[j + 1 + k] = self.value_of(cps + (nxt,))
        return CONTRACTION | j

    def trie(self, values):
        empty_leaf = [NO_ENTRY] * 256
        blocks = []  # words of T after the 256 plane entries
        index = {}

        def place(block):
            key = tuple(block)
            if key not in index:
                index[key] = 256 + len(blocks) * 256
                blocks.append(block)
            return index[key]

        place(empty_leaf)
        planes = []
        for plane in range(256):
            mids = []
            for mid in range(256):
                base = (plane << 16) | (mid << 8)
                leaf = [values.get(base | low, NO_ENTRY) for low in range(256)] if plane <= 0x10 else empty_leaf
                mids.append(place(leaf))
            planes.append(place(mids))
        return planes + [w for b in blocks for w in b]


def build(source):
    entries = read_table(source)
    codes = secondary_codes(entries)
    builder = Builder(entries, codes)
    values = {}
    for cps in sorted(entries):
        if len(cps) == 1:
            values[cps[0]] = builder.value_of(cps)
    for cps in entries:
        if cps[0] not in values:
            raise SystemExit('contraction without an entry for its first code point')
    trie = builder.trie(values)
    top = variable_top(entries)
    reorder = [len(REORDER)] + REORDER
    flags = [5, 0, 0, 0, 0, 0]
    header = 11
    offsets = []
    words = []
    for part in (reorder, flags, trie, builder.expansions, builder.contractions_c, builder.contractions_m):
        offsets.append(header + len(words))
        words.extend(part)
    table = [0xFEFF, 0, 0x00040000, 2, top, offsets[0], offsets[1], offsets[2], offsets[3],
             offsets[4], offsets[5]] + words
    data = struct.pack('<%dI' % len(table), *table)
    table[1] = zlib.crc32(data) & 0xFFFFFFFF
    return struct.pack('<%dI' % len(table), *table)


def main():
    args = sys.argv[1:]
    check = '--check' in args
    target = TARGET
    if '--output' in args:
        target = args[args.index('--output') + 1]
    data = build(SOURCE)
    if check:
        with open(target, 'rb') as f:
            if f.read() != data:
                print('stale: ' + os.path.relpath(target, ROOT))
                return 1
        return 0
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, 'wb') as f:
        f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main())
