#!/usr/bin/env python3
"""Library-level cross-check of the single-byte encodings.

zuuc_dump_sbcs (built from tools/tables/check_library.cpp) decodes every
byte and encodes every Basic Multilingual Plane character of each
single-byte encoding THROUGH THE LIBRARY and its encoding modules, and prints
the result in the Consortium's two-column format.  This script reads that
dump and compares it

  * with the tables gen_sbcs.py generates (the library must convert exactly
    as its tables say), and
  * with each independent reference the catalogue names for the entry
    (glibc iconv, ICU uconv, GNU recode, Python codecs or another mapping
    file; see crosscheck.py), byte by byte in the decoding direction, and by
    character in the encoding direction.

It returns the lines of the "Library-level check" section of
docs/encodings.md; crosscheck.py writes them when given the dump:

    python3 tools/tables/crosscheck.py --library build/<dir>/bin/zuuc_dump_sbcs

The argument may be the program (it is run) or a file holding its output.
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen_sbcs  # noqa: E402


class Dumped(object):
    """One encoding as the library converts it."""

    def __init__(self, accessor, ident, name):
        self.accessor = accessor
        self.id = ident
        self.name = name
        self.decode = {}   # byte -> code point
        self.encode = {}   # code point -> byte


def parse_dump(text):
    out = {}
    cur = None
    for lineno, raw in enumerate(text.splitlines(), 1):
        if raw.startswith('# Encoding: '):
            acc, ident, name = raw[len('# Encoding: '):].split(' ', 2)
            cur = out[acc] = Dumped(acc, int(ident), name)
            continue
        line = raw.strip()
        if not line or line.startswith('#'):
            continue
        if cur is None:
            raise ValueError('line %d: mapping before any "# Encoding:" header' % lineno)
        cols = raw.split('\t')
        byte = int(cols[0], 16)
        comment = cols[2] if len(cols) > 2 else ''
        if cols[1] == '':
            continue  # #UNDEFINED
        cp = int(cols[1], 16)
        if comment != '# encode only':
            cur.decode[byte] = cp
        if comment != '# decode only':
            cur.encode[cp] = byte
    return out


def read_dump(path):
    if os.access(path, os.X_OK) and not path.endswith('.txt'):
        proc = subprocess.run([path], stdout=subprocess.PIPE, check=True)
        return parse_dump(proc.stdout.decode('ascii'))
    with open(path, encoding='ascii') as f:
        return parse_dump(f.read())


def against_tables(dumped, table):
    """Differences between the library's behaviour and the generated table."""
    problems = []
    for b in range(256):
        want = table.to_unicode[b]
        want = None if want == gen_sbcs.UNDEFINED else want
        if table.entry.id == 17:
            want = b  # ISO-8859-1 converts by value
        got = dumped.decode.get(b)
        if want != got:
            problems.append('decode 0x%02X: table %s, library %s' % (b, _u(want), _u(got)))
    expected = {}
    if table.entry.id == 17:
        expected = dict((c, c) for c in range(256))
    else:
        for cp in table.from_unicode:
            b = table.lookup(cp)
            if b is not None:
                expected[cp] = b
    for cp in sorted(set(expected) | set(dumped.encode)):
        if expected.get(cp) != dumped.encode.get(cp):
            problems.append('encode %s: table %s, library %s' % (
                _u(cp), _b(expected.get(cp)), _b(dumped.encode.get(cp))))
    return problems


def against_reference(dumped, ref_table):
    """Counts of a comparison with one reference (dict byte -> code points)."""
    res = {'agree': 0, 'differ': [], 'only_lib': [], 'only_ref': [], 'enc_ok': 0, 'enc_bad': []}
    for b in range(256):
        ours = dumped.decode.get(b)
        theirs = ref_table.get(b)
        if theirs == (0xFFFD,):
            theirs = None
        if theirs is not None and len(theirs) == 1:
            theirs = theirs[0]
        if ours is None and theirs is None:
            continue
        if ours is None:
            res['only_ref'].append(b)
        elif theirs is None:
            res['only_lib'].append(b)
        elif ours == theirs:
            res['agree'] += 1
        else:
            res['differ'].append(b)
        # Encoding direction: a character the reference gives for this byte
        # should encode back to it, unless the library keeps it for another byte.
        if isinstance(theirs, int) and theirs == ours:
            if dumped.encode.get(theirs) == b or dumped.decode.get(dumped.encode.get(theirs, -1)) == theirs:
                res['enc_ok'] += 1
            else:
                res['enc_bad'].append(b)
    return res


def _u(v):
    return '-' if v is None else 'U+%04X' % v


def _b(v):
    return '-' if v is None else '0x%02X' % v


def _bytes(bs, limit=16):
    s = ' '.join('0x%02X' % b for b in bs[:limit])
    return s + (' ...' if len(bs) > limit else '')


def run(dump_path, results):
    """The doc section. `results` is crosscheck.run_checks()'s result (the
    generated tables and the reference names per accessor)."""
    import crosscheck  # noqa: E402 (crosscheck imports this module lazily too)
    dumped = read_dump(dump_path)
    L = ['', '## Library-level check', '',
         'Every byte decoded and every BMP character encoded through the built library and its encoding',
         'modules (`zuuc_dump_sbcs`, from `tools/tables/check_library.cpp`), compared with the generated',
         'tables and with the same independent references as above. "Decoding" counts bytes: agree /',
         'differ / mapped only by the library / only by the reference. "Encoding" counts the characters',
         'on which both agree that encode back through the library (a character shared by several bytes',
         'counts when it encodes to one of them).', '',
         '| Accessor | Id | Library vs generated tables | Against the references |',
         '|---|---|---|---|']
    total_mismatch = 0
    missing = []
    cache = {}
    for acc in sorted(results, key=lambda a: results[a][0].entry.id):
        table, checks = results[acc]
        d = dumped.get(acc)
        if d is None:
            missing.append(acc)
            continue
        problems = against_tables(d, table)
        total_mismatch += len(problems)
        own = 'identical' if not problems else '%d differences: %s' % (
            len(problems), '; '.join(problems[:6]) + (' ...' if len(problems) > 6 else ''))
        parts = []
        for ref, _res in checks:
            if _res is None:
                parts.append('%s: not run' % ref)
                continue
            if ref not in cache:
                cache[ref] = crosscheck.reference_table(ref)
            r = against_reference(d, cache[ref])
            text = '%s: decoding %d/%d/%d/%d, encoding %d ok, %d not' % (
                ref, r['agree'], len(r['differ']), len(r['only_lib']), len(r['only_ref']),
                r['enc_ok'], len(r['enc_bad']))
            if r['differ']:
                text += ' (differ: %s)' % _bytes(r['differ'])
            if r['enc_bad']:
                text += ' (not encoded back: %s)' % _bytes(r['enc_bad'])
            parts.append(text)
        L.append('| `%s` | %d | %s | %s |' % (acc, table.entry.id, own,
                                               '; '.join(parts) or 'no independent reference available'))
    L.append('')
    L.append('Entries missing from the dump: %s. Differences between library and tables in total: %d.' % (
        ', '.join(missing) or 'none', total_mismatch))
    return L, total_mismatch, missing


if __name__ == '__main__':
    print(__doc__)
    sys.exit(2)
