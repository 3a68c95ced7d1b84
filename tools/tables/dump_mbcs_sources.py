#!/usr/bin/env python3
"""Dump the multi-byte tables that come from conversion libraries rather than
from published mapping files into data/mappings/derived/, in the
two-column layout (byte sequence as one hex number, code points joined by
"+") with a header saying how each file was made.

Run once, by hand, on a machine with the libraries (ICU 72, glibc iconv,
Python); the files are committed and the generators read only them.  Every
candidate sequence is decoded on its own from a fresh converter state; a
sequence is listed when it gives characters and no shorter prefix of it
does.

    python3 tools/tables/dump_mbcs_sources.py [NAME ...]
    python3 tools/tables/dump_mbcs_sources.py --copy   (copy the published files)
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mbcs_tools  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
DERIVED = os.path.join(ROOT, 'data', 'mappings', 'derived')

SO_SI = (b'\x0e', b'\x0f')
EBCDIC_DB = range(0x40, 0xFF)
NOT_SHIFTS = [b for b in range(256) if b not in (0x0E, 0x0F)]


def _singles(spec):
    return dict(kind='singles', spec=spec)


# name -> (probe, description, scan arguments)
DUMPS = {
    'icu-ibm-942': ('icu:ibm-942_P12A-1999', 'IBM Japanese PC code page (CCSID 942), one- and two-byte sequences',
                    dict()),
    'python-shift_jis_2004': ('py:shift_jis_2004', 'Shift_JIS-2004 (JIS X 0213:2004), one- and two-byte sequences',
                              dict()),
    'python-johab': ('py:johab', 'Johab (KS X 1001:1998 annex 3), one- and two-byte sequences', dict()),
    'python-big5hkscs': ('py:big5hkscs', 'Big5-HKSCS (HKSCS-2004), one- and two-byte sequences', dict()),
    'icu-gb18030': ('icu:gb18030', 'GB18030, its one- and two-byte sequences', dict()),
    'glibc-EUC-TW': ('iconv:EUC-TW', 'EUC-TW (CNS 11643-1992 planes 1-7): one-, two-byte and 8E A1-A7 four-byte '
                     'sequences', dict(prefixes=[()] + [(0x8E, p) for p in range(0xA1, 0xA8)])),
}
for _n, _icu in (('930', 'ibm-930_P120-1999'), ('935', 'ibm-935_P110-1999'), ('937', 'ibm-937_P110-1999'),
                 ('939', 'ibm-939_P120-1999'), ('1390', 'ibm-1390_P110-2003')):
    DUMPS['icu-ibm-%s-db' % _n] = ('icu:' + _icu, 'double-byte half of IBM %s: each pair read between SO and SI '
                                   '(0x0E pair 0x0F); pairs 0x40-0xFE' % _n,
                                   dict(wrap=SO_SI, lengths=(2,), trail=EBCDIC_DB, leads=EBCDIC_DB))
    if _n != '939':
        DUMPS['icu-ibm-%s-sb' % _n] = ('icu:' + _icu, 'single-byte half of IBM %s, initial single-byte mode; '
                                       'SO/SI 0x0E/0x0F not probed' % _n,
                                       dict(lengths=(1,), trail=NOT_SHIFTS))

# Encodings whose characters are modified by the bytes that follow them: each
# sequence is decoded followed by a line feed, which completes it (see
# mbcs_tools.scan_lookahead).  The ISCII converters of ICU take a script each.
_LOOKAHEAD_HOW = ('decoding each sequence on its own followed by a line feed; a sequence of two or three bytes '
                  'is listed when its last byte changes what the bytes before it give')
for _x, _script in (('de', 'Devanagari'), ('be', 'Bengali'), ('ka', 'Kannada'), ('te', 'Telugu'),
                    ('ma', 'Malayalam')):
    DUMPS['icu-x-iscii-' + _x] = ('icu:x-iscii-' + _x, 'ISCII-91 %s: single bytes and the two- and '
                                           'three-byte combinations (nukta, halant, EXT, INV)' % _script,
                                           dict(lookahead=True))
DUMPS['recode-VNI'] = ('recode:VNI', 'VNI (Vietnamese): single bytes and the letter + diacritic combinations',
                       dict(lookahead=True))
DUMPS['recode-VIQR'] = ('recode:VIQR', 'VIQR (RFC 1456): the 7-bit bytes 0x00-0x7F and the letter + diacritic '
                        'mark combinations (VIQR is 7-bit; the high bytes are not probed)',
                        dict(lookahead=True, alphabet=range(0x80)))


def run_scan(p, args):
    if args.get('lookahead'):
        return mbcs_tools.scan_lookahead(p, alphabet=args.get('alphabet', range(256)))
    if 'leads' in args:
        out = {}
        pre, post = args['wrap']
        for lead in args['leads']:
            for b in args['trail']:
                seq = bytes([lead, b])
                r = p.decode(pre + seq + post)
                if r is not None:
                    out[seq] = r
        return out
    kw = dict(args)
    return mbcs_tools.scan(p, **kw)


def render(name, spec, description, table, how='decoding each sequence on its own'):
    how = 'tools/tables/dump_mbcs_sources.py, ' + how
    made = []
    while len(how) > 86:
        cut = how.rindex(' ', 0, 86)
        made.append(how[:cut])
        how = how[cut + 1:]
    made.append(how)
    lines = [
        '#',
        '#   Name:        %s' % name,
        '#   Contents:    %s' % description,
        '#   Made by:     %s' % made[0],
    ] + ['#                %s' % m for m in made[1:]] + [
        '#   Probe:       %s' % spec,
        '#   Tool:        %s' % mbcs_tools.tool_version(spec),
        '#   Format:      two columns, byte sequence (one hex number) and Unicode code point(s)',
        '#                joined by "+"; sequences the tool rejects are not listed',
        '#   Terms:       see data/mappings/README.md (facts taken from the tool\'s tables)',
        '#',
    ]
    for seq in sorted(table, key=lambda s: (len(s), s)):
        lines.append('0x%s\t%s' % (seq.hex().upper(), '+'.join('0x%04X' % c for c in table[seq])))
    return '\n'.join(lines) + '\n'


GB_RUNS = 'icu-gb18030-4byte-bmp'


def gb18030_runs():
    """ICU's four-byte GB18030 sequences 81 30 81 30 .. 84 31 A4 39 (the
    39 420 that stand for BMP characters), decoded one by one and written as
    maximal runs in which sequence and code point both go up by one."""
    p = mbcs_tools.probe('icu:gb18030')
    runs = []
    for lin in range(39420):
        r = p.decode(gb_seq(lin))
        if not r or len(r) != 1:
            raise SystemExit('gb18030: %s gives %r' % (gb_seq(lin).hex(), r))
        cp = r[0]
        if runs and runs[-1][1] + 1 == cp and runs[-1][3] + 1 == lin:
            runs[-1][1] = cp
            runs[-1][3] = lin
        else:
            runs.append([cp, cp, lin, lin])
    lines = [
        '#',
        '#   Name:        %s' % GB_RUNS,
        '#   Contents:    GB18030 four-byte sequences 0x81308130-0x8431A439 (the BMP part), as runs',
        '#   Made by:     tools/tables/dump_mbcs_sources.py, decoding each sequence on its own',
        '#   Probe:       icu:gb18030',
        '#   Tool:        %s' % mbcs_tools.tool_version('icu:gb18030'),
        '#   Format:      first sequence, last sequence, first code point, last code point;',
        '#                within a run sequence and code point both go up by one',
        '#   Terms:       see data/mappings/README.md (facts taken from the tool\'s tables)',
        '#',
    ]
    for a, b, la, lb in runs:
        lines.append('0x%s\t0x%s\t0x%04X\t0x%04X' % (gb_seq(la).hex().upper(), gb_seq(lb).hex().upper(), a, b))
    return '\n'.join(lines) + '\n', len(runs)


def gb_seq(lin):
    """The four-byte GB18030 sequence with the given index from 81 30 81 30."""
    b3 = lin % 10
    lin //= 10
    b2 = lin % 126
    lin //= 126
    b1 = lin % 10
    b0 = lin // 10
    return bytes([0x81 + b0, 0x30 + b1, 0x81 + b2, 0x30 + b3])


SHARED_MAPPINGS = '/work/shared/data/mappings'


def copy_mapping_files():
    """Copy the published mapping files that the multi-byte specs name into
    data/mappings, unchanged, headers and terms included."""
    import shutil
    import mbcs_specs
    wanted = set()
    for spec in mbcs_specs.SPECS.values():
        wanted.update(f for f in spec.files if not f.startswith('derived/'))
    for rel in sorted(wanted):
        dst = os.path.join(ROOT, 'data', 'mappings', rel)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copyfile(os.path.join(SHARED_MAPPINGS, rel), dst)
        print('copied', rel)


def main(argv):
    if argv == ['--copy']:
        copy_mapping_files()
        return 0
    names = argv or sorted(DUMPS) + [GB_RUNS]
    if GB_RUNS in names:
        names.remove(GB_RUNS)
        text, n = gb18030_runs()
        with open(os.path.join(DERIVED, GB_RUNS + '.txt'), 'w', encoding='utf-8', newline='\n') as f:
            f.write(text)
        print('%-24s %6d runs' % (GB_RUNS, n))
    os.makedirs(DERIVED, exist_ok=True)
    for name in names:
        spec, description, args = DUMPS[name]
        table = run_scan(mbcs_tools.probe(spec), args)
        if not table:
            sys.stderr.write('%s: the probe %s gave nothing\n' % (name, spec))
            return 1
        with open(os.path.join(DERIVED, name + '.txt'), 'w', encoding='utf-8', newline='\n') as f:
            how = _LOOKAHEAD_HOW if args.get('lookahead') else 'decoding each sequence on its own'
            f.write(render(name, spec, description, table, how))
        print('%-24s %6d sequences' % (name, len(table)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
