"""Cross-check of the multi-byte, modal and GB18030 tables against
independent references, and their section of docs/encodings.md.

For every entry, each reference named by its spec (ICU, glibc iconv or
Python's codecs, never the program its own source was dumped from) decodes
every byte sequence of the generated charset on its own (modal ones wrapped
in the escape or shift sequences of their mode), and encodes every character
of the from-Unicode map.  Counted: sequences that agree, that differ, that
only our table defines; characters whose encoding agrees or differs.  For
GB18030 the 63 ranges are also checked against the reference over all
1 114 112 - 2048 code points... in steps (every BMP code point of the ranges
and every 97th supplementary one).
"""

import gen_mbcs
import gen_gb18030
import mbcs_tools

_ORIGIN = {'icu': 'ICU', 'iconv': 'glibc iconv', 'py': 'Python codecs', 'recode': 'GNU recode'}


def _origin_of_file(f):
    if f.startswith('derived/icu-'):
        return 'ICU'
    if f.startswith('derived/glibc-'):
        return 'glibc iconv'
    if f.startswith('derived/python-'):
        return 'Python codecs'
    if f.startswith('derived/recode-'):
        return 'GNU recode'
    return 'file:' + f


def _u(v):
    if v is None:
        return '-'
    return '+'.join('U+%04X' % c for c in v)


def check_charset(c, p, wrap=(b'', b'')):
    res = {'agree': 0, 'differ': [], 'only_ours': [], 'enc_agree': 0, 'enc_differ': []}
    pre, post = wrap
    for seq in sorted(c.decode):
        cp = c.decode[seq]
        theirs = p.decode(pre + seq + post)
        if theirs is None:
            res['only_ours'].append((seq, cp))
        elif theirs == (cp,):
            res['agree'] += 1
        else:
            res['differ'].append((seq, cp, theirs))
    for cp in sorted(c.encode):
        seq = c.encode[cp]
        theirs = p.encode((cp,))
        if theirs is not None and pre and theirs.startswith(pre):
            theirs = theirs[len(pre):]
        if theirs is not None and post and theirs.endswith(post):
            theirs = theirs[:-len(post)]
        if theirs == seq:
            res['enc_agree'] += 1
        else:
            res['enc_differ'].append((cp, seq, theirs))
    return res


def check_gb18030_ranges(p):
    ranges, _ = gen_gb18030.choose()
    bad = []
    n = 0
    for a, b, s, t in ranges:
        step = 1 if a < 0x10000 else 97
        cps = list(range(a, b + 1, step)) + [b]
        for cp in cps:
            if 0xD800 <= cp <= 0xDFFF:
                continue
            seq = gen_gb18030.range_lookup(ranges, cp)
            n += 1
            if p.decode(seq) != (cp,) and gen_gb18030.range_decode(ranges, seq) == cp:
                # a sequence the multi-byte table takes over is fine
                bad.append((cp, seq))
    return n, bad


def run_checks(built, probe=True):
    results = {}
    for b in built:
        spec = b.spec
        own = set(_origin_of_file(f) for f in spec.files)
        checks = []
        for ref in spec.refs:
            if _ORIGIN[ref.partition(':')[0]] in own:
                raise SystemExit('%s: reference %s has the same origin as the table source' % (b.entry.accessor, ref))
            if not probe:
                checks.append((ref, None))
                continue
            try:
                p = mbcs_tools.probe(ref)
            except (ValueError, LookupError, OSError):
                checks.append((ref, 'unavailable'))
                continue
            per_mode = []
            for m, c in enumerate(b.charsets):
                wrap = getattr(spec, 'wraps', {}).get(m, (b'', b''))
                per_mode.append(check_charset(c, p, wrap))
            extra = None
            if b.entry.accessor == 'GB18030':
                extra = check_gb18030_ranges(p)
            checks.append((ref, (per_mode, extra)))
        results[b.entry.accessor] = (b, checks)
    return results


def _sum(per_mode, key):
    return sum((len(r[key]) if isinstance(r[key], list) else r[key]) for r in per_mode)


def summary(checks):
    if not checks:
        return 'no independent reference available'
    parts = []
    for ref, res in checks:
        if res is None:
            parts.append('%s: not run' % ref)
        elif res == 'unavailable':
            parts.append('%s: not available here' % ref)
        else:
            pm, extra = res
            s = '%s: decode %d agree, %d differ, %d only ours; encode %d agree, %d differ' % (
                ref, _sum(pm, 'agree'), _sum(pm, 'differ'), _sum(pm, 'only_ours'), _sum(pm, 'enc_agree'),
                _sum(pm, 'enc_differ'))
            if extra:
                s += '; ranges: %d code points checked, %d differ' % (extra[0], len(extra[1]))
            parts.append(s)
    return '; '.join(parts)


def _details(pm, limit=24):
    items = []
    for m, r in enumerate(pm):
        tag = ('mode %d ' % m) if len(pm) > 1 else ''
        for seq, cp, theirs in r['differ']:
            items.append('%s%s U+%04X/%s' % (tag, seq.hex().upper(), cp, _u(theirs)))
        for seq, cp in r['only_ours']:
            items.append('%s%s U+%04X/-' % (tag, seq.hex().upper(), cp))
    enc = []
    for m, r in enumerate(pm):
        for cp, seq, theirs in r['enc_differ']:
            enc.append('U+%04X %s/%s' % (cp, seq.hex().upper(), theirs.hex().upper() if theirs else '-'))
    out = ''
    if items:
        out += ' Decoding: ' + ', '.join(items[:limit]) + (' ... (%d more)' % (len(items) - limit)
                                                         if len(items) > limit else '')
    if enc:
        out += ' Encoding: ' + ', '.join(enc[:limit]) + (' ... (%d more)' % (len(enc) - limit)
                                                        if len(enc) > limit else '')
    return out


def _kind(b):
    n = len(b.rows)
    t = '%d states, %s-bit values' % (n, '32' if b.wide else '16')
    if b.modal:
        t += ', %d modes' % len(b.planes)
    if b.lookahead:
        t += ', look-ahead'
    return t


def _duplicate_lines(c, tag):
    """Every sequence that decodes one way, with the sequence its character is
    written as. Those that are a written sequence behind one prefix (EUC-TW's
    plane-1 form 8EA1 + pair) are given per prefix."""
    by_prefix, single = {}, []
    for s in c.decode_only:
        w = c.encode[c.decode[s]]
        if len(s) > len(w) and s.endswith(w):
            by_prefix.setdefault(s[:len(s) - len(w)], []).append(s)
        else:
            single.append(s)
    out = []
    for prefix, seqs in sorted(by_prefix.items()):
        if len(seqs) < 16:
            single.extend(seqs)
            continue
        out.append('- Duplicates%s: %d characters are written as a sequence S and also read from %s + S '
                   '(one way)' % (tag, len(seqs), prefix.hex().upper()))
    if single:
        count = (tag[:-1] + ', %d)' if tag else ' (%d)') % len(single)
        out.append('- Duplicates%s: %s' % (count, ', '.join(
            'U+%04X %s/%s' % (c.decode[s], c.encode[c.decode[s]].hex().upper(), s.hex().upper())
            for s in sorted(single, key=lambda s: (c.decode[s], s)))))
    return out


def render_section(results, entries):
    L = ['', '## Multi-byte, look-ahead, modal and GB18030 tables', '',
         'Built by `tools/tables/gen_mbcs.py` (state machines and plane tables, rules in its header) with the',
         'charsets of `tools/tables/mbcs_specs.py`; GB18030\'s ranges by `tools/tables/gen_gb18030.py`.',
         'Cross-check: each reference decodes every byte sequence of the table on its own (a modal mode\'s',
         'sequences inside that mode\'s escape or shift) and encodes every character of the from-Unicode map.',
         'Differences are written `sequence ours/theirs`. A reference is never the program the table was',
         'dumped from. Where a reference differs, the table follows the encoding\'s owner (the vendor or the',
         'standard); the references are other vendors\' variants.',
         'Where a table decodes several sequences to one character, the encoder writes the position that',
         'the table\'s vendor designates (the `prefer` rules of mbcs_specs.py; else no hint, shortest,',
         'lowest). Every such duplicate is listed per table as `character written/read one way`; a whole',
         'set that differs from the written sequences by one prefix is given as that rule.', '',
         '| Encoding | Width |', '|---|---|',
         '| Modal substitutes and escapes | `tools/catalogue/catalogue.py` (`MODAL_DATA`), emitted as '
         '`kModalSubstitutes_*`, `kModalEscapes_*` and `ZUUC_MODAL_CATALOGUE` |',
         '| Mixed EBCDIC (CCSID 930, 935, 937, 939, 1390) | mode 0 single-byte (substitute 0x3F), mode 1 '
         'double-byte (substitute 0xFE 0xFE); SO 0x0E from 0 to 1, SI 0x0F from 1 to 0; return to mode 0 at '
         'the end |', '']
    for e in entries:
        if e.accessor not in results:
            if e.cls != 'SBCSEncoding':
                L += ['### %s (%d)' % (e.accessor, e.id), '',
                      '- Not generated yet: no table in this version (the encoding stays unloadable).', '']
            continue
        b, checks = results[e.accessor]
        spec = b.spec
        L.append('### %s (%d)' % (e.accessor, e.id))
        L.append('')
        L.append('- Source: %s%s' % (', '.join('`%s`' % f for f in spec.files),
                                     ', derived' if spec.derived else ''))
        if spec.note:
            L.append('- Notes: ' + spec.note)
        L.append('- Table: %s; from-Unicode %s' % (_kind(b), ', '.join(
            '%d characters (%s-bit keys, %s-bit values, undefined 0x%X)' % (
                len(p.map), '32' if p.wide_keys else '16', '32' if p.wide_values else '16', p.marker)
            for p in b.planes)))
        for m, c in enumerate(b.charsets):
            tag = (' (mode %d)' % m) if b.modal else ''
            if c.decode_only:
                L.extend(_duplicate_lines(c, tag))
            if c.removed:
                L.append('- Left undefined to make the table reversible%s: %d sequences, %s' % (
                    tag, len(c.removed), ' '.join(s.hex().upper() for s in c.removed)))
            if c.dropped:
                L.append('- Left undefined (a sequence of characters)%s: %d, e.g. %s' % (
                    tag, len(c.dropped), ', '.join('%s %s' % (s.hex().upper(), _u(cps)) for s, cps in c.dropped[:8])))
            if c.split:
                L.append('- Read byte by byte (its first byte is a character of its own)%s: %d, %s' % (
                    tag, len(c.split), ', '.join('%s %s' % (s.hex().upper(), _u(cps)) for s, cps in c.split)))
        for ref, res in checks:
            if res is None or res == 'unavailable':
                L.append('- `%s`: %s' % (ref, 'not run' if res is None else 'not available here'))
                continue
            L.append('- ' + summary([(ref, res)]) + '.' + _details(res[0]))
        L.append('')
    return L
