"""The four-byte ranges of GB18030.

GB18030's four-byte sequences b0 b1 b2 b3 (0x81-0xFE, 0x30-0x39, 0x81-0xFE,
0x30-0x39) are numbered linearly from 81 30 81 30.  The BMP characters
without a one- or two-byte code take the sequences 81 30 81 30 .. 84 31 A4 39
in code point order, so most of them fall into runs in which sequence and
code point go up together; the supplementary planes U+10000..U+10FFFF take
90 30 81 30 .. E3 32 9A 35 in one run.

This module reads the runs that ICU gives (data/mappings/derived/
icu-gb18030-4byte-bmp.txt), joins two runs separated by a single sequence
that the 2005 edition gave to another character (81 35 F4 37, U+E7C7 since
U+1E3F took the two-byte code A8 BC), and keeps as arithmetic ranges the 61
largest runs plus U+FFE6..U+FFFF, then U+10000..U+10FFFF: 63 ranges, largest
first (ties by code point), U+FFE6..U+FFFF last of the BMP ones.  Every
other BMP four-byte sequence (the small runs and the irregular single) is
put into the multi-byte table as a four-byte path, so the multi-byte part
(tried first in both directions) handles it and the ranges' arithmetic never
sees it.  The ranges go to src/legacy/generated/gb18030_ranges.inc as rows
{first code point, last code point, first sequence, last sequence}.
"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, '..', '..'))
RUNS = os.path.join(ROOT, 'data', 'mappings', 'derived', 'icu-gb18030-4byte-bmp.txt')
OUT_INC = os.path.join(ROOT, 'src', 'legacy', 'generated', 'gb18030_ranges.inc')

RANGE_COUNT = 63
SUPPLEMENTARY = (0x10000, 0x10FFFF, 0x90308130, 0xE3329A35)


def linear(seq):
    b = seq.to_bytes(4, 'big') if isinstance(seq, int) else seq
    return (((b[0] - 0x81) * 10 + (b[1] - 0x30)) * 126 + (b[2] - 0x81)) * 10 + (b[3] - 0x30)


def sequence(lin):
    b3 = lin % 10
    lin //= 10
    b2 = lin % 126
    lin //= 126
    b1 = lin % 10
    b0 = lin // 10
    return bytes([0x81 + b0, 0x30 + b1, 0x81 + b2, 0x30 + b3])


def read_runs():
    """[(first cp, last cp, first linear, last linear)] in sequence order."""
    runs = []
    with open(RUNS, encoding='utf-8') as f:
        for raw in f:
            line = raw.split('#', 1)[0].strip()
            if not line:
                continue
            a, b, c, d = line.split()
            runs.append((int(c, 16), int(d, 16), linear(int(a, 16)), linear(int(b, 16))))
    return runs


def merged_runs():
    """Runs joined across single irregular sequences; returns (runs,
    irregular) where irregular lists (linear, cp) of the sequences jumped."""
    runs = read_runs()
    out = []
    irregular = []
    by_lin = dict((r[2], r) for r in runs)
    skip = set()
    for i, r in enumerate(runs):
        if i in skip:
            continue
        cur = list(r)
        j = i + 1
        while j < len(runs):
            gap = runs[j]
            nxt = runs[j + 1] if j + 1 < len(runs) else None
            # One sequence in between that decodes out of order, and the run
            # after it continues the arithmetic.
            if (gap[2] == gap[3] == cur[3] + 1 and nxt and nxt[2] == cur[3] + 2 and nxt[0] == cur[1] + 2):
                irregular.append((gap[2], gap[0]))
                cur[1], cur[3] = nxt[1], nxt[3]
                skip.update((j, j + 1))
                j += 2
                continue
            break
        out.append(tuple(cur))
    del by_lin
    return out, irregular


def choose():
    """(ranges, singles): the 63 ranges as (first cp, last cp, first seq,
    last seq) and the four-byte BMP sequences left to the multi-byte table
    as {sequence bytes: cp}."""
    runs, irregular = merged_runs()
    last = [r for r in runs if r[0] == 0xFFE6 and r[1] == 0xFFFF]
    if len(last) != 1:
        raise ValueError('no run U+FFE6..U+FFFF')
    others = sorted((r for r in runs if r is not last[0]), key=lambda r: (-(r[1] - r[0]), r[0]))
    chosen = others[:RANGE_COUNT - 2] + last
    ranges = [(a, b, int.from_bytes(sequence(la), 'big'), int.from_bytes(sequence(lb), 'big'))
              for a, b, la, lb in chosen]
    ranges.append(SUPPLEMENTARY)
    singles = {}
    for a, b, la, lb in others[RANGE_COUNT - 2:]:
        for k in range(b - a + 1):
            singles[sequence(la + k)] = a + k
    for lin, cp in irregular:
        singles[sequence(lin)] = cp
    return ranges, singles


def table_singles():
    """The singles as charset lines for the multi-byte table."""
    _, singles = choose()
    return [(seq, (cp,), False) for seq, cp in sorted(singles.items())]


def range_lookup(ranges, cp):
    """Encode by the ranges' arithmetic, as the runtime does (first match)."""
    for a, b, s, t in ranges:
        if a <= cp <= b:
            if a >= 0x10000:
                lin = linear(s) + (cp - a)
                return _supp_sequence(lin)
            return sequence(linear(s) + cp - a)
    return None


def _supp_sequence(lin):
    return sequence(lin)


def range_decode(ranges, seq):
    lin = linear(seq)
    for a, b, s, t in ranges:
        if linear(s) <= lin <= linear(t):
            return a + lin - linear(s)
    return None


def render_inc():
    ranges, singles = choose()
    lines = [
        '// Generated by tools/tables/gen_gb18030.py from data/mappings/derived/icu-gb18030-4byte-bmp.txt.',
        '// Do not edit.',
        '//',
        '// The %d four-byte ranges of GB18030, searched in this order:' % len(ranges),
        '//   {first code point, last code point, first sequence, last sequence}',
        '// with the four bytes of a sequence packed big-endian. Within a range',
        '// code point and sequence advance together (bytes 0x81-0xFE, 0x30-0x39,',
        '// 0x81-0xFE, 0x30-0x39). The %d other BMP four-byte sequences (small runs' % len(singles),
        '// and the irregular 81 35 F4 37 = U+E7C7) are paths of the multi-byte',
        '// table of GB18030 in zuchi421, which is consulted first.',
    ]
    for a, b, s, t in ranges:
        lines.append('{0x%04X, 0x%04X, 0x%08X, 0x%08X},' % (a, b, s, t))
    return '\n'.join(lines) + '\n'
