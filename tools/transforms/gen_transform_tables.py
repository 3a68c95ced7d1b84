#!/usr/bin/env python3
"""Generate the mapping tables of the per-character transforms of zuuc421.

Reads data/ucd/UnicodeData.txt (Unicode 4.0.0) and writes
src/transforms/generated/transform_tables.cpp.  Python 3 standard library
only; running it again gives a byte-identical file.

Usage:  python3 tools/transforms/gen_transform_tables.py [--check]
  --check  regenerate into memory and fail if the committed file differs.

Tables written (shapes in src/transforms/transform_tables.h):
  upper, lower       simple one-to-one case mappings of the BMP (fields 12
                     and 13); two-level, 0 = unchanged.
  halfwidth          <wide> X: the wide form -> X; <narrow> X: X -> the
                     narrow form.  Two-level.
  fullwidth          the inverse of halfwidth.  Two-level.
  combining          spacing marks whose compatibility decomposition is a
                     space and one combining mark (<compat> 0020 M): -> M.
                     Four-level.
  spacing            the inverse; where several spacing marks give the same
                     combining mark, the lowest code point wins.  Four-level.
  small_to_large, large_to_small
                     kana range tables (first code point, count, values).
"""

import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
UCD = os.path.join(ROOT, 'data', 'ucd', 'UnicodeData.txt')
OUT = os.path.join(ROOT, 'src', 'transforms', 'generated', 'transform_tables.cpp')


def read_ucd():
    rows = []
    with open(UCD, encoding='ascii') as f:
        for line in f:
            fields = line.rstrip('\n').split(';')
            rows.append((int(fields[0], 16), fields))
    return rows


def case_maps(rows):
    upper, lower = {}, {}
    for cp, f in rows:
        if cp > 0xFFFF:
            continue
        if f[12]:
            upper[cp] = int(f[12], 16)
        if f[13]:
            lower[cp] = int(f[13], 16)
    return upper, lower


def width_maps(rows):
    half, full = {}, {}
    for cp, f in rows:
        d = f[5].split()
        if len(d) != 2 or d[0] not in ('<wide>', '<narrow>'):
            continue
        base = int(d[1], 16)
        if d[0] == '<wide>':
            half[cp], full[base] = base, cp
        else:
            half[base], full[cp] = cp, base
    return half, full


def mark_maps(rows):
    categories = {cp: f[2] for cp, f in rows}
    combining, spacing = {}, {}
    for cp, f in rows:
        d = f[5].split()
        if len(d) == 3 and d[0] == '<compat>' and d[1] == '0020':
            mark = int(d[2], 16)
            if categories.get(mark) == 'Mn':
                combining[cp] = mark
                spacing.setdefault(mark, cp)
    return combining, spacing


# The small kana and their large forms (hiragana; katakana are 0x60 above).
SMALL_HIRAGANA = [0x3041, 0x3043, 0x3045, 0x3047, 0x3049, 0x3083, 0x3085,
                  0x3087, 0x308E]


def kana_maps():
    small_to_large, large_to_small = {}, {}
    for small in SMALL_HIRAGANA:
        for cp in (small, small + 0x60):
            small_to_large[cp] = cp + 1
            large_to_small[cp + 1] = cp
    for small, large in ((0x3095, 0x304B), (0x3096, 0x3051),
                         (0x30F5, 0x30AB), (0x30F6, 0x30B1)):
        small_to_large[small] = large
        large_to_small[large] = small
    return small_to_large, large_to_small


def emit_two_level(out, name, mapping):
    blocks = [tuple([0] * 256)]
    block_of = {blocks[0]: 0}
    index = []
    for hi in range(256):
        block = tuple(mapping.get((hi << 8) | lo, 0) for lo in range(256))
        if block not in block_of:
            block_of[block] = len(blocks)
            blocks.append(block)
        index.append(block_of[block])
    out.append('// %d mappings\n' % len(mapping))
    out.append('static const std::uint8_t %s_index[256] = {\n' % name)
    emit_values(out, index, '%d')
    out.append('};\n')
    out.append('static const std::uint16_t %s_blocks[%d][256] = {\n' % (name, len(blocks)))
    for block in blocks:
        out.append('  {\n')
        emit_values(out, block, '0x%04X', indent='    ')
        out.append('  },\n')
    out.append('};\n')
    out.append('const BmpMap %s = {%s_index, %s_blocks};\n\n' % (name, name, name))


def emit_four_level(out, name, mapping):
    def dedupe(items):
        pool, at, refs = [], {}, []
        for item in items:
            if item not in at:
                at[item] = len(pool)
                pool.append(item)
            refs.append(at[item])
        return pool, refs

    leaves_in = [tuple(mapping.get((blk << 8) | lo, 0) for lo in range(256))
                 for blk in range(0x1100)]
    leaves, leaf_refs = dedupe([tuple([0] * 256)] + leaves_in)
    leaf_refs = leaf_refs[1:]
    level3_in = [tuple(leaf_refs[(plane << 8) | mid] for mid in range(256))
                 for plane in range(0x11)]
    empty3 = tuple([0] * 256)
    level3, l3_refs = dedupe([empty3] + level3_in)
    l3_refs = l3_refs[1:]
    # Values of 0x01000000 and above go to a level-2 row of empty planes.
    level2 = [tuple(l3_refs[p] if p < 0x11 else 0 for p in range(256)), empty3]
    level1 = [0] + [1] * 255
    out.append('// %d mappings\n' % len(mapping))
    out.append('static const std::uint8_t %s_level1[256] = {\n' % name)
    emit_values(out, level1, '%d')
    out.append('};\n')
    for label, rows, fmt, typ in (('level2', level2, '%d', 'std::uint8_t'),
                                  ('level3', level3, '%d', 'std::uint8_t'),
                                  ('leaves', leaves, '0x%04X', 'std::uint32_t')):
        out.append('static const %s %s_%s[%d][256] = {\n' % (typ, name, label, len(rows)))
        for row in rows:
            out.append('  {\n')
            emit_values(out, row, fmt, indent='    ')
            out.append('  },\n')
        out.append('};\n')
    out.append('const CodePointMap %s = {{0, %s_level1, %s_level2, %s_level3, %s_leaves}};\n\n'
               % (name, name, name, name, name))


def emit_range(out, name, mapping):
    first, last = min(mapping), max(mapping)
    values = [mapping.get(cp, 0) for cp in range(first, last + 1)]
    out.append('// %d mappings\n' % len(mapping))
    out.append('static const std::uint32_t %s_values[%d] = {\n' % (name, len(values)))
    emit_values(out, values, '0x%04X')
    out.append('};\n')
    out.append('const KanaRangeMap %s = {0x%04X, %d, %s_values};\n\n'
               % (name, first, len(values), name))


def emit_values(out, values, fmt, indent='  ', per_line=12):
    for i in range(0, len(values), per_line):
        out.append(indent + ', '.join(fmt % v for v in values[i:i + per_line]) + ',\n')


def generate():
    rows = read_ucd()
    upper, lower = case_maps(rows)
    half, full = width_maps(rows)
    combining, spacing = mark_maps(rows)
    small_to_large, large_to_small = kana_maps()
    out = ['// Generated by tools/transforms/gen_transform_tables.py from\n'
           '// data/ucd/UnicodeData.txt (Unicode 4.0.0). Do not edit.\n'
           '#include "transforms/transform_tables.h"\n\n'
           'namespace zuuc_internal::transforms {\n\n']
    emit_two_level(out, 'kUpperMap', upper)
    emit_two_level(out, 'kLowerMap', lower)
    emit_two_level(out, 'kHalfwidthMap', half)
    emit_two_level(out, 'kFullwidthMap', full)
    emit_four_level(out, 'kCombiningMarkMap', combining)
    emit_four_level(out, 'kSpacingMarkMap', spacing)
    emit_range(out, 'kSmallToLargeKanaMap', small_to_large)
    emit_range(out, 'kLargeToSmallKanaMap', large_to_small)
    out.append('}  // namespace zuuc_internal::transforms\n')
    return ''.join(out)


def main():
    check = '--check' in sys.argv[1:]
    text = generate()
    if check:
        try:
            with open(OUT, encoding='ascii') as f:
                current = f.read()
        except OSError:
            current = None
        if current != text:
            print('stale: %s (run %s)' % (os.path.relpath(OUT, ROOT), os.path.relpath(__file__, ROOT)))
            return 1
        print('up to date')
        return 0
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    with open(OUT, 'w', encoding='ascii', newline='\n') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
