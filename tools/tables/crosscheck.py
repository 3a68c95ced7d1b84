#!/usr/bin/env python3
"""Cross-check every generated single-byte table against independent
references and write docs/encodings.md.

For each single-byte entry the generator's table (built exactly as
gen_sbcs.py builds it) is compared, byte by byte, with each reference the
catalogue names for it: glibc iconv or a glibc charmap, ICU uconv, GNU recode,
Python's codecs or a second mapping file.  A reference never comes from the
same origin as the table's own source (the script refuses such a pairing).
Reported per reference: bytes that agree, bytes that differ, bytes only the
generated table defines, bytes only the reference defines, and the list of
differing bytes.

    python3 tools/tables/crosscheck.py [--no-probe] [--library DUMP]

--library adds the library-level check of check_library.py: DUMP is the
zuuc_dump_sbcs program of a build (or a file holding its output).
--no-probe skips the program-based references (useful where the programs
are missing); the file-based references are still compared.
--check compares instead of writing: it fails when the committed
docs/encodings.md differs from what the comparisons give now (a reference-file
test: a changed table, reference or library result shows up as a difference),
and exits 77 (skipped) when a reference program the document relies on is
missing.
--mbcs-only redoes only the multi-byte section (mbcs_crosscheck.py) and puts
it in place of that section of the existing document, leaving the rest as it
stands (the single-byte part takes most of the run time).  The document
also carries the whole catalogue (names, identifiers, classes, libraries)
and the provenance of the sources.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen_sbcs  # noqa: E402
import sbcs_tools  # noqa: E402
import dump_sources  # noqa: E402

catalogue = gen_sbcs.catalogue
ROOT = gen_sbcs.ROOT
DOC = os.path.join(ROOT, 'docs', 'encodings.md')

_ORIGIN_OF_KIND = {
    'iconv': 'glibc iconv', 'iconv-sb': 'glibc iconv', 'charmap': 'glibc charmap',
    'uconv': 'ICU', 'uconv-sb': 'ICU', 'recode': 'GNU recode', 'py': 'Python codecs',
}


def origin_of_source(src):
    """Where the data of a table source ultimately comes from."""
    if src.file.startswith('derived/'):
        name = os.path.splitext(os.path.basename(src.file))[0]
        spec = dump_sources.DUMPS[name][0]
        return _ORIGIN_OF_KIND[spec.partition(':')[0]]
    return 'file:' + src.file


def origin_of_ref(ref):
    kind, _, name = ref.partition(':')
    if kind == 'file':
        return 'file:' + name
    return _ORIGIN_OF_KIND[kind]


def reference_table(ref):
    kind, _, name = ref.partition(':')
    if kind == 'file':
        fmt = 'adobe' if name.startswith('vendors/adobe/') else 'ucm'
        out = {}
        for byte, cps, _ in gen_sbcs.parse_mapping(gen_sbcs.mapping_path(name), fmt):
            out.setdefault(byte, cps)
        return out
    return sbcs_tools.probe(ref)


def compare(table, ref_table):
    res = {'agree': 0, 'differ': [], 'only_ours': [], 'only_ref': []}
    for b in range(256):
        ours = table.to_unicode[b]
        ours = None if ours == gen_sbcs.UNDEFINED else ours
        theirs = ref_table.get(b)
        if theirs == (0xFFFD,):
            theirs = None  # the reference's own "no character"
        if theirs is not None and len(theirs) == 1:
            theirs = theirs[0]
        if ours is None and theirs is None:
            continue
        if ours is None:
            res['only_ref'].append((b, theirs))
        elif theirs is None:
            res['only_ours'].append((b, ours))
        elif ours == theirs:
            res['agree'] += 1
        else:
            res['differ'].append((b, ours, theirs))
    return res


def _u(v):
    if v is None:
        return '-'
    if isinstance(v, tuple):
        return '+'.join('U+%04X' % c for c in v)
    return 'U+%04X' % v


def run_checks(probe=True):
    results = {}
    for t in gen_sbcs.build_all():
        e = t.entry
        own = origin_of_source(e.source)
        checks = []
        for ref in e.source.refs:
            if origin_of_ref(ref) == own:
                raise SystemExit('%s: reference %s has the same origin as the table source' % (e.accessor, ref))
            if not probe and not ref.startswith('file:'):
                checks.append((ref, None))
                continue
            checks.append((ref, compare(t, reference_table(ref))))
        results[e.accessor] = (t, checks)
    return results


def _summary(checks):
    if not checks:
        return 'no independent reference available'
    parts = []
    for ref, res in checks:
        if res is None:
            parts.append('%s: not run' % ref)
            continue
        parts.append('%s: %d agree, %d differ, %d only ours, %d only theirs' % (
            ref, res['agree'], len(res['differ']), len(res['only_ours']), len(res['only_ref'])))
    return '; '.join(parts)


def _details(res, limit=48):
    items = []
    for b, ours, theirs in res['differ']:
        items.append('0x%02X %s/%s' % (b, _u(ours), _u(theirs)))
    for b, ours in res['only_ours']:
        items.append('0x%02X %s/-' % (b, _u(ours)))
    for b, theirs in res['only_ref']:
        items.append('0x%02X -/%s' % (b, _u(theirs)))
    items.sort()
    more = ''
    if len(items) > limit:
        more = ' ... (%d more)' % (len(items) - limit)
        items = items[:limit]
    return ', '.join(items) + more


PROVENANCE = [
    ('Unicode Consortium mapping files (`data/mappings/iso8859/`, `eastasia/jis/jis0201.txt`, '
     '`vendors/micsft/`, `vendors/misc/KOI8-*.TXT`)',
     'ISO 8859 parts, JIS X 0201, Microsoft Windows/DOS/EBCDIC/Mac code pages, KOI8-R/U',
     'Unicode, Inc. terms of use for the data files (free use, copies keep the header and notice); '
     'Microsoft\'s files carry Microsoft\'s own notice in their header'),
    ('Apple mapping files (`data/mappings/vendors/apple/`)', 'Mac OS single-byte sets',
     'Apple\'s licence in each file header: use, copy and distribute freely with the notice kept'),
    ('Adobe mapping files (`data/mappings/vendors/adobe/`)', 'Standard, Symbol and Zapf Dingbats encodings',
     'Adobe\'s notice in each file header (free use with the notice)'),
    ('NeXT mapping file (`data/mappings/vendors/next/nextstep.txt`)', 'NeXTSTEP',
     'notice in the file header'),
    ('GNU C Library 2.36 iconv and charmaps (dumped into `data/mappings/derived/glibc-*.txt`)',
     'IBM EBCDIC 423, 880, 905 (which ICU lacks), HP Roman-8, VISCII, TCVN, T.61, ISO 6937, Mac Ukrainian',
     'LGPL-2.1+ program; the dumped tables are facts about the character sets (mappings), '
     'recorded with the command that made them'),
    ('ICU 72.1 uconv (dumped into `data/mappings/derived/icu-*.txt`)',
     'IBM EBCDIC code pages (ICU carries IBM\'s own CDRA tables, so IBM is the owner of these mappings): '
     '273, 277, 278, 280, 284, 285, 290, 297, 420, 838, 870, 871, 1025, 1047 and the single-byte halves of 933 '
     'and 939; ISCII Gujarati and Tamil',
     'Unicode licence (ICU); mapping facts with the command that made them'),
    ('Python 3.11 codecs (`data/mappings/derived/python-cp720.txt`)', 'DOS Arabic 720',
     'PSF licence; mapping facts with the command that made them'),
    ('GNU recode 3.6 (`data/mappings/derived/recode-VPS.txt`)', 'VPS', 'GPL program; mapping facts'),
]


def render_doc(results):
    entries = catalogue.validate()
    by_acc = dict((e.accessor, e) for e in entries)
    L = []
    L += [
        '# Encoding catalogue and single-byte code tables',
        '',
        'Generated by `tools/tables/crosscheck.py` from `tools/catalogue/catalogue.py` and the tables that',
        '`tools/tables/gen_sbcs.py` builds. Do not edit; run',
        '',
        '```sh',
        'python3 tools/catalogue/catalogue.py     # src/catalogue/generated/catalogue_data.inc',
        'python3 tools/tables/gen_sbcs.py         # encoding_libs/<lib>/generated/sbcs_tables.{h,cpp}',
        'python3 tools/tables/crosscheck.py --library build/<dir>/bin/zuuc_dump_sbcs',
        '                                         # this file (needs iconv, uconv, recode and a build)',
        'python3 -m unittest discover -s tools/tables   # self-tests',
        '```',
        '',
        'Program-made sources are dumped once by `tools/tables/dump_sources.py` into `data/mappings/derived/`;',
        'the generators read only `data/`.',
        '',
        '## How the single-byte tables are built',
        '',
        '- To-Unicode: 256 code units; 0xFFFD marks a byte with no character. Only single-byte lines of a',
        '  mapping file are read. Apple\'s presentation hints (`<LR>`, `<RL>` and the private-use hints',
        '  U+F860-U+F87F) are dropped; a byte that still maps to several characters is left undefined unless',
        '  the table notes give its single-character equivalent.',
        '- From-Unicode (`PlaneTable<unsigned short, unsigned char>`): every defined byte round-trips, except',
        '  where several bytes decode to the same character; then the byte the vendor designates for',
        '  encoding is written (`VENDOR_ENCODES` in gen_sbcs.py where it is not the rule below), else the',
        '  byte whose mapping had no hint (the lowest such), and the others decode one way only. Every such',
        '  duplicate is listed below per table as `character written/read one way`.',
        '- One-way encodings are taken only from the owner\'s own file: Adobe lists several characters for',
        '  some bytes (U+00A0 and U+0020 for 0x20); the first is the decoding, the others encode to that byte.',
        '  Vendors\' "best fit" tables are not used: a character without a round-trip mapping is unmappable',
        '  and handled by the conversion behaviour.',
        '- Undefined marker: the lowest byte that no character encodes to. When all 256 bytes are encoding',
        '  targets, the marker is the entry\'s substitute byte (0x1A, or 0x3F in EBCDIC), which decodes to',
        '  U+001A SUB; U+001A is then unmappable, and the default behaviour substitutes it with the very same',
        '  byte. (A behaviour that reports or throws will see U+001A as unmappable in those tables.)',
        '- Identical to-Unicode arrays, pages, page directories and plane tables are stored once per library.',
        '',
        '## Provenance of the sources',
        '',
        '| Source | Used for | Terms |',
        '|---|---|---|',
    ]
    for src, used, terms in PROVENANCE:
        L.append('| %s | %s | %s |' % (src, used, terms))
    L += ['', 'See `data/mappings/README.md` for the files themselves.', '',
          '## Class assignments that needed a decision', '',
          '| Entries | Class | Reasoning |', '|---|---|---|']
    for who, cls, why in catalogue.CLASS_REASONS:
        L.append('| %s | `%s` | %s |' % (who, cls, why))
    L += ['', 'Class counts: ' + ', '.join('`%s` %d' % (c, n) for c, n in sorted(catalogue.CLASS_COUNTS.items())),
          '', '## The catalogue', '',
          'In identifier order. "Order" is the creation (and registration) position, 0-based. '
          'The cross-check column counts bytes: agree / differ / defined only by our table / only by the '
          'reference.', '',
          '| Accessor | Id | Names | MIME | Code page | Library | Class | ASCII | Substitute | Order | '
          'Table source | Cross-check |',
          '|---|---|---|---|---|---|---|---|---|---|---|---|']
    for e in entries:
        names = ', '.join('"%s"' % n for n in e.names)
        sub = ' '.join('0x%02X' % b for b in e.substitute) or 'per mode'
        if e.cls == catalogue.SBCS:
            src = '`%s`%s' % (e.source.file, ' (derived)' if e.source.derived else '')
            t, checks = results[e.accessor]
            cc = _summary(checks)
        else:
            src, cc = '-', '-'
        L.append('| `%s` | %d | %s | %s | %d | `%s` | `%s` | %s | %s | %d | %s | %s |' % (
            e.accessor, e.id, names, e.mime or '-', e.codepage, e.library, e.cls,
            'yes' if e.ascii else 'no', sub, e.order, src, cc))
    L += ['', '## Single-byte tables in detail', '',
          'Differences are written `byte ours/theirs`. Where references disagree with the table, the table',
          'follows the encoding\'s owner (the vendor or standard that publishes the code page); the references',
          'are other vendors\' variants.', '']
    for e in entries:
        if e.cls != catalogue.SBCS:
            continue
        t, checks = results[e.accessor]
        L.append('### %s (%d)' % (e.accessor, e.id))
        L.append('')
        L.append('- Source: `%s`%s' % (e.source.file, ', derived' if e.source.derived else ''))
        if e.source.note:
            L.append('- Notes: ' + e.source.note)
        L.append('- Undefined marker 0x%02X: %s' % (t.marker, t.marker_note))
        defined = sum(1 for v in t.to_unicode if v != gen_sbcs.UNDEFINED)
        L.append('- %d bytes defined, %d characters encodable' % (defined, len(t.from_unicode)))
        if t.one_way_decode:
            L.append('- Duplicates: ' + ', '.join(
                'U+%04X 0x%02X/0x%02X' % (t.to_unicode[b], t.from_unicode[t.to_unicode[b]], b)
                for b in t.one_way_decode))
        if t.one_way_encode:
            L.append('- Encode only (owner\'s alternatives): ' +
                     ' '.join('U+%04X->0x%02X' % cb for cb in t.one_way_encode))
        if t.dropped:
            L.append('- Left undefined (sequences): ' +
                     ', '.join('0x%02X %s' % (b, _u(cps)) for b, cps in t.dropped))
        if not checks:
            L.append('- Cross-check: no independent reference available')
        for ref, res in checks:
            if res is None:
                L.append('- `%s`: not run' % ref)
                continue
            line = '- `%s`: %d agree, %d differ, %d only ours, %d only theirs' % (
                ref, res['agree'], len(res['differ']), len(res['only_ours']), len(res['only_ref']))
            det = _details(res)
            if det:
                line += ' - ' + det
            L.append(line)
        L.append('')
    return '\n'.join(L)


MBCS_HEADING = '\n## Multi-byte, look-ahead, modal and GB18030 tables\n'


def splice_mbcs_section(text, section):
    """text with its multi-byte section (up to the next second-level heading
    or the end) replaced by section."""
    start = text.find(MBCS_HEADING)
    if start < 0:
        raise SystemExit('docs/encodings.md has no multi-byte section: run without --mbcs-only')
    end = text.find('\n## ', start + len(MBCS_HEADING))
    end = len(text) if end < 0 else end + 1
    return text[:start] + section + text[end:]


def main_mbcs_only(argv):
    import gen_mbcs
    import mbcs_crosscheck
    mb_results = mbcs_crosscheck.run_checks(gen_mbcs.build_all(), probe='--no-probe' not in argv)
    section = '\n'.join(mbcs_crosscheck.render_section(mb_results, catalogue.validate())) + '\n'
    with open(DOC, encoding='utf-8') as f:
        text = f.read()
    with open(DOC, 'w', encoding='utf-8', newline='\n') as f:
        f.write(splice_mbcs_section(text, section))
    for acc, (b, checks) in sorted(mb_results.items()):
        print('%-22s %s' % (acc, mbcs_crosscheck.summary(checks)))
    return 0


def _check_against_committed(text):
    import difflib
    with open(DOC, encoding='utf-8') as f:
        committed = f.read()
    if committed == text:
        return 0
    sys.stdout.writelines(difflib.unified_diff(
        committed.splitlines(True), text.splitlines(True), 'docs/encodings.md (committed)',
        'docs/encodings.md (now)', n=1))
    return 1


def _missing_reference_programs():
    import shutil
    return [p for p in ('iconv', 'uconv', 'recode') if shutil.which(p) is None]


def main(argv):
    import gen_mbcs
    if '--check' in argv and '--no-probe' not in argv and _missing_reference_programs():
        print('skipped: reference programs missing: %s' % ' '.join(_missing_reference_programs()))
        return 77
    import mbcs_crosscheck
    if '--mbcs-only' in argv:
        return main_mbcs_only(argv)
    results = run_checks(probe='--no-probe' not in argv)
    text = render_doc(results)
    mb_results = mbcs_crosscheck.run_checks(gen_mbcs.build_all(), probe='--no-probe' not in argv)
    text += '\n'.join(mbcs_crosscheck.render_section(mb_results, catalogue.validate())) + '\n'
    library = None
    if '--library' in argv:
        import check_library
        i = argv.index('--library')
        if i + 1 >= len(argv):
            raise SystemExit('--library needs the zuuc_dump_sbcs program or its output')
        lines, mismatches, missing = check_library.run(argv[i + 1], results)
        text = text.rstrip('\n') + '\n' + '\n'.join(lines)
        library = (mismatches, missing)
    if not text.endswith('\n'):
        text += '\n'
    if '--check' in argv:
        return _check_against_committed(text)
    os.makedirs(os.path.dirname(DOC), exist_ok=True)
    with open(DOC, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    bad = 0
    for acc, (t, checks) in sorted(results.items()):
        print('%-22s %s' % (acc, _summary(checks)))
        bad += sum(len(r['differ']) for _, r in checks if r)
    print('bytes differing in total: %d (see docs/encodings.md)' % bad)
    for acc, (b, checks) in sorted(mb_results.items()):
        print('%-22s %s' % (acc, mbcs_crosscheck.summary(checks)))
    if library is not None:
        print('library-level check: %d differences from the tables, missing: %s' % (
            library[0], ', '.join(library[1]) or 'none'))
        return 1 if library[0] or library[1] else 0
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
