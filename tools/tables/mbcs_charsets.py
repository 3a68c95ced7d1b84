"""Character sets of the multi-byte, modal and range encodings: each is read
from the pinned mapping files in data/mappings (published files, or the
program dumps in data/mappings/derived/) and turned into a map from byte
sequences to characters, with the documented derivations applied.

A charset is a list of lines (sequence bytes, code points, hinted), in the
order the owner's file gives them; build_charset() turns it into the
decoding map and the from-Unicode map (see gen_mbcs.py for the rules).
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, '..', '..'))
MAPPINGS = os.path.join(ROOT, 'data', 'mappings')
sys.path.insert(0, HERE)
from mapping_paths import mapping_path  # noqa: E402


def _hex_bytes(code):
    code = code.lower()
    if code.startswith('0x'):
        code = code[2:]
    if len(code) % 2:
        code = '0' + code
    return bytes.fromhex(code)


def _is_hint(cp):
    return 0xF860 <= cp <= 0xF87F


def read_pairs(rel, code_col=0, uni_col=1):
    """Lines of a mapping file: (code bytes, code points, hinted).  Apple's
    presentation hints (<LR>, <RL>, U+F860-U+F87F) are removed and flagged."""
    out = []
    with open(mapping_path(rel), encoding='latin-1') as f:
        for raw in f:
            line = raw.split('#', 1)[0].strip()
            if not line:
                continue
            cols = line.split()
            if len(cols) <= max(code_col, uni_col):
                continue
            code = cols[code_col]
            if '+' in code:
                continue
            hinted = False
            cps = []
            for part in cols[uni_col].split('+'):
                if part in ('<LR>', '<RL>'):
                    hinted = True
                    continue
                cp = int(part, 16)
                if _is_hint(cp):
                    hinted = True
                    continue
                cps.append(cp)
            out.append((_hex_bytes(code), tuple(cps), hinted))
    return out


def controls():
    """C0 controls and DEL as themselves."""
    return [(bytes([b]), (b,), False) for b in list(range(0x20)) + [0x7F]]


def ascii_lines():
    return [(bytes([b]), (b,), False) for b in range(0x80)]


def jis_roman_lines():
    """JIS X 0201 Roman: ASCII with YEN SIGN at 0x5C and OVERLINE at 0x7E."""
    out = ascii_lines()
    out[0x5C] = (b'\x5c', (0x00A5,), False)
    out[0x7E] = (b'\x7e', (0x203E,), False)
    return out


def gl_to_gr(lines, prefix=b''):
    """A 94x94 set's GL codes (0x2121-0x7E7E) as EUC GR bytes, after an
    optional single-shift prefix."""
    return [(prefix + bytes(b | 0x80 for b in code), cps, h) for code, cps, h in lines]


def gl_lines(lines):
    return list(lines)


# --- JIS X 0208 and its 1978 edition -----------------------------------

def jis0208():
    """JIS X 0208-1990 (the 1983 repertoire) from the Consortium's table:
    GL code -> character."""
    return read_pairs('eastasia/jis/jis0208.txt', code_col=1, uni_col=2)


# JIS C 6226-1978 against JIS X 0208-1983: 22 pairs of kanji exchanged
# between the first and the second level ...
JIS78_SWAPS = [
    (0x3033, 0x724D), (0x3229, 0x7274), (0x3342, 0x695A), (0x3349, 0x5978), (0x3376, 0x635E),
    (0x3443, 0x5E75), (0x3452, 0x6B5D), (0x375B, 0x7074), (0x395C, 0x6268), (0x3C49, 0x6922),
    (0x3F59, 0x7057), (0x4128, 0x6C4D), (0x445B, 0x5464), (0x4557, 0x626A), (0x456E, 0x5B6D),
    (0x4573, 0x5E39), (0x4676, 0x6D6E), (0x4768, 0x6A24), (0x4930, 0x5B58), (0x4B79, 0x5056),
    (0x4C79, 0x692E), (0x4F36, 0x6446),
]
# ... four code points whose 1978 (traditional) form the 1983 edition moved
# to the new code points 0x7421-0x7424, putting a simplified form at the old
# place ...
JIS78_MOVED = [(0x3646, 0x7421), (0x4B6A, 0x7422), (0x4D5A, 0x7423), (0x6076, 0x7424)]
# ... and the 1983 additions: row 2 after 0x222E (39 symbols), the 32
# box-drawing characters of row 8, and 0x7421-0x7424 (75), plus the two kanji
# 0x7425-0x7426 that JIS X 0208-1990 (the Consortium's table) added.
JIS83_ADDED = (list(range(0x223A, 0x2242)) + list(range(0x224A, 0x2251)) + list(range(0x225C, 0x226B)) +
               list(range(0x2272, 0x227A)) + [0x227E] + list(range(0x2821, 0x2841)) +
               [0x7421, 0x7422, 0x7423, 0x7424, 0x7425, 0x7426])


def jis0208_1978():
    """JIS C 6226-1978 derived from JIS X 0208: the swaps undone, the moved
    forms put back at their 1978 code points, the 1983 additions removed."""
    by_code = dict((int.from_bytes(c, 'big'), (cps, h)) for c, cps, h in jis0208())
    out = dict(by_code)
    for a, b in JIS78_SWAPS:
        out[a], out[b] = by_code[b], by_code[a]
    for old, new in JIS78_MOVED:
        out[old] = by_code[new]
    for code in JIS83_ADDED:
        out.pop(code, None)
    return [(code.to_bytes(2, 'big'), out[code][0], out[code][1]) for code in sorted(out)]


def jis_to_sjis(lines):
    """GL JIS X 0208 codes as Shift_JIS byte pairs."""
    out = []
    for code, cps, h in lines:
        j1, j2 = code[0], code[1]
        s1 = ((j1 + 1) >> 1) + (0x70 if j1 <= 0x5E else 0xB0)
        if j1 & 1:
            s2 = j2 + (0x1F if j2 <= 0x5F else 0x20)
        else:
            s2 = j2 + 0x7E
        out.append((bytes([s1, s2]), cps, h))
    return out


def halfwidth_katakana(prefix=b''):
    return [(prefix + bytes([b]), (0xFF61 + b - 0xA1,), False) for b in range(0xA1, 0xE0)]


# --- Program dumps -------------------------------------------------------

def derived(name):
    return read_pairs('derived/%s.txt' % name)
