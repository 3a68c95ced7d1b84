#!/usr/bin/env python3
"""Generate the normalization tables of zuuc421 (NFC, NFD, NFKC, NFKD).

Reads data/ucd/UnicodeData.txt and data/ucd/CompositionExclusions.txt
(Unicode 4.0.0) and writes src/transforms/generated/normalization_tables.cpp
and normalization_tables_decl.h.  Python 3 standard library only; running it
again gives byte-identical files.

Usage:  python3 tools/normalization/gen_normalization_tables.py [--check]
  --check  regenerate into memory and fail if a committed file differs.

Tables (the four-level and two-level shapes of src/chardb/unicode_tables.h):
  CombiningClass      canonical combining class, 8 bits per code point.
  DecompositionIndex  16 bits per code point: index into kDecompositionPool,
                      0xFFFF for none.  At the index the pool holds the
                      mapping's length, then its code points, fully
                      decomposed: a canonical mapping canonically, a
                      compatibility mapping by compatibility.  Canonical
                      mappings come first: an index i is canonical when
                      i + 1 is below kCanonicalPoolLimit (5173); for the
                      compatibility forms, each code point of a canonical
                      mapping is looked up again.
  kCompositions       the 917 canonical pairs that compose (pairs of the
                      canonical mappings of two code points whose composite is
                      not excluded: not in CompositionExclusions.txt and not a
                      decomposition that starts with a non-starter), in an
                      open-addressed hash table keyed by the pair.  Hangul
                      syllables compose by rule and are not in it.
  NormalizationFlags  8 bits per code point, one pair of bits per form
                      (form numbers 0 NFD, 1 NFC, 2 NFKD, 3 NFKC):
                        bit form      inert: the code point is its own
                                      normalization, has class 0, and no code
                                      point before it can change it (for the
                                      composing forms: it never composes with
                                      a preceding one);
                        bit 4 + form  boundary: normalization of the text
                                      before it never depends on it or on
                                      anything after it.
                      Also as a two-level table over the BMP (NormalizationBmp)
                      for the quick check over UTF-16.
  DecompositionBmp    the decomposition index again, as a two-level table
                      over the BMP, for the quick decompositions.
"""

import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'chardb'))
import gen_unicode_tables as chardb  # noqa: E402  (table layout and writer)

UCD = os.path.join(ROOT, 'data', 'ucd')
OUT = os.path.join(ROOT, 'src', 'transforms', 'generated')
NCP = 0x110000

CANONICAL_POOL_LIMIT = 5173
COMPOSITION_COUNT = 917
HASH_BITS = 11

S_BASE, L_BASE, V_BASE, T_BASE = 0xAC00, 0x1100, 0x1161, 0x11A7
L_COUNT, V_COUNT, T_COUNT = 19, 21, 28
N_COUNT = V_COUNT * T_COUNT
S_COUNT = L_COUNT * N_COUNT


def read_data():
    ccc = [0] * NCP
    canon = {}
    compat = {}
    for f in chardb.data_lines('UnicodeData.txt'):
        cp = int(f[0], 16)
        ccc[cp] = int(f[3])
        if f[5]:
            parts = f[5].split()
            if parts[0].startswith('<'):
                compat[cp] = [int(p, 16) for p in parts[1:]]
            else:
                canon[cp] = [int(p, 16) for p in parts]
    exclusions = set()
    for f in chardb.data_lines('CompositionExclusions.txt'):
        exclusions.add(int(f[0], 16))
    return ccc, canon, compat, exclusions


class Normalizer:
    """A plain implementation of the four forms, used to derive the flags
    (and by the tests' cross-checks)."""

    def __init__(self, ccc, canon, compat, compositions):
        self.ccc, self.canon, self.compat = ccc, canon, compat
        self.compositions = compositions
        self.seconds = {b for (_, b) in compositions}
        self.seconds.update(range(V_BASE, V_BASE + V_COUNT))
        self.seconds.update(range(T_BASE + 1, T_BASE + T_COUNT))

    def decompose_char(self, c, compatible):
        if S_BASE <= c < S_BASE + S_COUNT:
            s = c - S_BASE
            out = [L_BASE + s // N_COUNT, V_BASE + (s % N_COUNT) // T_COUNT]
            if s % T_COUNT:
                out.append(T_BASE + s % T_COUNT)
            return out
        m = self.canon.get(c) or (compatible and self.compat.get(c))
        if not m:
            return [c]
        return [x for d in m for x in self.decompose_char(d, compatible)]

    def decompose(self, text, compatible):
        out = [x for c in text for x in self.decompose_char(c, compatible)]
        # canonical order: stable sort of each run of non-starters
        i = 0
        while i < len(out):
            if self.ccc[out[i]] == 0:
                i += 1
                continue
            j = i
            while j < len(out) and self.ccc[out[j]] != 0:
                j += 1
            out[i:j] = sorted(out[i:j], key=lambda x: self.ccc[x])
            i = j
        return out

    def compose(self, text):
        out = []
        starter = -1     # index in out of the last starter
        last_class = -1  # class of the last mark kept after it (-1: none)
        for c in text:
            cc = self.ccc[c]
            if starter >= 0 and last_class < cc:
                comp = self.pair(out[starter], c)
                if comp is not None:
                    out[starter] = comp
                    continue
            if cc == 0:
                starter, last_class = len(out), -1
            else:
                last_class = cc
            out.append(c)
        return out

    def pair(self, s, c):
        if L_BASE <= s < L_BASE + L_COUNT and V_BASE <= c < V_BASE + V_COUNT:
            return S_BASE + ((s - L_BASE) * V_COUNT + c - V_BASE) * T_COUNT
        if S_BASE <= s < S_BASE + S_COUNT and (s - S_BASE) % T_COUNT == 0 \
                and T_BASE < c < T_BASE + T_COUNT:
            return s + c - T_BASE
        return self.compositions.get((s, c))

    def normalize(self, text, form):
        d = self.decompose(text, form >= 2)
        return self.compose(d) if form & 1 else d


def compositions_of(ccc, canon, exclusions):
    comps = {}
    for cp, m in sorted(canon.items()):
        if len(m) != 2 or cp in exclusions:
            continue
        if ccc[cp] != 0 or ccc[m[0]] != 0:
            continue  # non-starter decompositions never compose
        comps[(m[0], m[1])] = cp
    return comps


def build_pool(norm):
    pool = []
    index = [0xFFFF] * NCP
    for group, compatible in ((norm.canon, False), (norm.compat, True)):
        for cp in sorted(group):
            full = norm.decompose_char(cp, compatible)
            if full != norm.decompose(full, compatible):
                sys.exit('U+%04X: decomposition not in canonical order' % cp)  # the normalizer copies them
            index[cp] = len(pool)
            pool.append(len(full))
            pool.extend(full)
        if not compatible:
            canonical_end = len(pool)
    return pool, index, canonical_end


def build_flags(norm, ccc):
    # Code points without a mapping, a class or a part in a composition are
    # inert and boundaries in every form; only the others are worked out.
    flags = [0xFF] * NCP
    special = set(norm.canon) | set(norm.compat) | norm.seconds
    special.update(c for c in range(NCP) if ccc[c])
    special.update(range(S_BASE, S_BASE + S_COUNT))
    for c in sorted(special):
        v = 0
        for form in range(4):
            first = norm.decompose_char(c, form >= 2)[0]
            boundary = ccc[first] == 0 and not (form & 1 and first in norm.seconds)
            inert = (boundary and ccc[c] == 0 and not (form & 1 and c in norm.seconds)
                     and norm.normalize([c], form) == [c])
            v |= (1 << form if inert else 0) | (16 << form if boundary else 0)
        flags[c] = v
    for c in range(0xD800, 0xE000):
        flags[c] = 0  # surrogates: the normalizer looks at the whole code point
    return flags


def emit_bmp(name, values, ctype, decls):
    """A two-level table over the BMP as two plain arrays, so that lookups
    address them directly."""
    index, blocks = chardb.two_level(values, values[0xFFFF])
    itype = chardb.index_type(len(blocks))
    decls.append('extern const %s k%sIndex[256];' % (itype, name))
    decls.append('extern const %s k%sBlocks[%d][256];' % (ctype, name, len(blocks)))
    out = ['', '// %s: %d blocks.' % (name, len(blocks)),
           'const %s k%sIndex[256] = {' % (itype, name)]
    out += chardb.fmt_rows(index, str, 32)
    out.append('};')
    out += chardb.array_2d(ctype, 'k%sBlocks' % name, blocks, str, 32)
    return out


def hash_pair(a, b):
    return (((a * 0x9E3779B1) ^ (b * 0x85EBCA77)) & 0xFFFFFFFF) >> (32 - HASH_BITS)


def build_hash(comps):
    size = 1 << HASH_BITS
    slots = [(0, 0, 0)] * size
    longest = 0
    for (a, b), c in sorted(comps.items()):
        h = hash_pair(a, b)
        probes = 1
        while slots[h][0]:
            h = (h + 1) & (size - 1)
            probes += 1
        slots[h] = (a, b, c)
        longest = max(longest, probes)
    return slots, longest


HEADER = """// Generated by tools/normalization/gen_normalization_tables.py from the
// Unicode 4.0.0 character database in data/ucd.  Do not edit: change the
// generator and run it again.
"""


def main():
    check = '--check' in sys.argv[1:]
    ccc, canon, compat, exclusions = read_data()
    comps = compositions_of(ccc, canon, exclusions)
    if len(comps) != COMPOSITION_COUNT:
        sys.exit('expected %d compositions, found %d' % (COMPOSITION_COUNT, len(comps)))
    norm = Normalizer(ccc, canon, compat, comps)
    pool, index, canonical_end = build_pool(norm)
    if canonical_end != CANONICAL_POOL_LIMIT:
        sys.exit('canonical mappings end at %d, expected %d' % (canonical_end, CANONICAL_POOL_LIMIT))
    if len(pool) >= 0xFFFF:
        sys.exit('decomposition pool too large')
    flags = build_flags(norm, ccc)
    slots, longest = build_hash(comps)

    w = chardb.Writer()
    fname = 'normalization_tables.cpp'
    w.emit_four_level(fname, 'CombiningClass', ccc, 0, 'canonical combining class')
    w.emit_four_level(fname, 'DecompositionIndex', index, 0xFFFF, 'decomposition index')
    w.emit_four_level(fname, 'NormalizationFlags', flags, flags[0x10FFFF], 'normalization flags')
    body = w.files[fname]
    bmp_decls = []
    for name, values, ctype in (('NormalizationBmp', flags, 'std::uint8_t'),
                                ('DecompositionBmp', index, 'std::uint16_t')):
        body += emit_bmp(name, values[:0x10000], ctype, bmp_decls)
    body += ['', 'extern const std::uint32_t kDecompositionPool[%d] = {' % len(pool)]
    body += chardb.fmt_rows(pool, lambda v: '0x%X' % v, 12)
    body += ['};', '',
             'extern const CompositionEntry kCompositions[%d] = {' % len(slots)]
    body += chardb.fmt_rows(slots, lambda s: '{0x%X, 0x%X, 0x%X}' % s, 4)
    body += ['};']

    texts = {}
    texts[fname] = (HEADER + '\n#include "transforms/normalization_data.h"\n\n'
                    'namespace zuuc_internal::normalization {\n\nusing zuuc_internal::chardb::FourLevelTable;\n'
                    'using zuuc_internal::chardb::TwoLevelTable;\n' + '\n'.join(body)
                    + '\n\n}  // namespace zuuc_internal::normalization\n')
    decls = '\n'.join(w.decls + bmp_decls)
    texts['normalization_tables_decl.h'] = HEADER + '''
// Declarations of the generated normalization tables; included by
// transforms/normalization_data.h.
#ifndef ZUUC_TRANSFORMS_GENERATED_NORMALIZATION_TABLES_DECL_H
#define ZUUC_TRANSFORMS_GENERATED_NORMALIZATION_TABLES_DECL_H

namespace zuuc_internal::normalization {

using zuuc_internal::chardb::FourLevelTable;
using zuuc_internal::chardb::TwoLevelTable;

%s
extern const std::uint32_t kDecompositionPool[%d];
extern const CompositionEntry kCompositions[%d];

constexpr std::uint32_t kCanonicalPoolLimit = %d;
constexpr std::uint32_t kCompositionCount = %d;
constexpr int kCompositionHashBits = %d;
constexpr int kCompositionLongestProbe = %d;

}  // namespace zuuc_internal::normalization

#endif
''' % (decls, len(pool), len(slots), CANONICAL_POOL_LIMIT, COMPOSITION_COUNT,
       HASH_BITS, longest)

    status = chardb.write_files(OUT, texts, check)
    if not check:
        print('%d compositions (longest probe %d), pool %d words, canonical below %d'
              % (len(comps), longest, len(pool), canonical_end))
    return status


if __name__ == '__main__':
    sys.exit(main())
