#!/usr/bin/env python3
"""Dump the single-byte tables that come from programs rather than mapping
files into data/mappings/derived/, in the Unicode Consortium's two-column
layout with a header that says how each file was made.

This is run once, by hand, on a machine that has the programs (glibc iconv and
charmaps, ICU uconv, GNU recode, Python); the files it writes are committed and
the table generator reads only them.  Each byte 0x00..0xFF is decoded on its
own; bytes the program rejects are left out of the file.

    python3 tools/tables/dump_sources.py [NAME ...]
    python3 tools/tables/dump_sources.py --copy   (copy the published files)
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sbcs_tools  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
DERIVED = os.path.join(ROOT, 'data', 'mappings', 'derived')

# derived file name -> (probe, description)
DUMPS = {
    'icu-ibm-870': ('uconv:ibm-870_P100-1995', 'IBM EBCDIC Multilingual Latin-2 (CCSID 870)'),
    'icu-ibm-273': ('uconv:ibm-273_P100-1995', 'IBM EBCDIC Germany/Austria (CCSID 273)'),
    'icu-ibm-277': ('uconv:ibm-277_P100-1995', 'IBM EBCDIC Denmark/Norway (CCSID 277)'),
    'icu-ibm-278': ('uconv:ibm-278_P100-1995', 'IBM EBCDIC Finland/Sweden (CCSID 278)'),
    'icu-ibm-280': ('uconv:ibm-280_P100-1995', 'IBM EBCDIC Italy (CCSID 280)'),
    'icu-ibm-284': ('uconv:ibm-284_P100-1995', 'IBM EBCDIC Spain/Latin America (CCSID 284)'),
    'icu-ibm-285': ('uconv:ibm-285_P100-1995', 'IBM EBCDIC United Kingdom (CCSID 285)'),
    'icu-ibm-297': ('uconv:ibm-297_P100-1995', 'IBM EBCDIC France (CCSID 297)'),
    'icu-ibm-871': ('uconv:ibm-871_P100-1995', 'IBM EBCDIC Iceland (CCSID 871)'),
    'glibc-IBM905': ('iconv:IBM905', 'IBM EBCDIC Turkish (CCSID 905)'),
    'icu-ibm-1047': ('uconv:ibm-1047_P100-1995', 'IBM EBCDIC Latin-1/Open Systems (CCSID 1047)'),
    'icu-ibm-420': ('uconv:ibm-420_X120-1999', 'IBM EBCDIC Arabic (CCSID 420)'),
    'glibc-IBM423': ('iconv:IBM423', 'IBM EBCDIC Greek (CCSID 423)'),
    'glibc-IBM880': ('iconv:IBM880', 'IBM EBCDIC Cyrillic Multilingual (CCSID 880)'),
    'icu-ibm-1025': ('uconv:ibm-1025_P100-1995', 'IBM EBCDIC Cyrillic Multilingual (CCSID 1025)'),
    'icu-ibm-933-sb': ('uconv-sb:ibm-933_P110-1995', 'single-byte half of IBM 933 (Korean EBCDIC, CCSID 833); '
                                           'SO/SI 0x0E/0x0F not probed'),
    'icu-ibm-939-sb': ('uconv-sb:ibm-939_P120-1999', 'single-byte half of IBM 939 (Japanese Latin EBCDIC, CCSID 1027); '
                                           'SO/SI 0x0E/0x0F not probed'),
    'glibc-HP-ROMAN8': ('iconv:HP-ROMAN8', 'HP Roman-8'),
    'glibc-VISCII': ('iconv:VISCII', 'VISCII 1.1 (Vietnamese)'),
    'glibc-TCVN5712-1': ('iconv:TCVN5712-1', 'TCVN 5712:1993 VN1 (Vietnamese), each byte on its own'),
    'glibc-MACUKRAINIAN': ('iconv:MACUKRAINIAN', 'Mac OS Ukrainian (pre-Mac OS 9 set)'),
    'glibc-T.61-8BIT': ('charmap:T.61-8BIT', 'ITU-T T.61 8-bit, single-byte entries of the glibc charmap'),
    'glibc-ISO_6937': ('charmap:ISO_6937', 'ISO 6937, single-byte entries of the glibc charmap'),
    'icu-ibm-290': ('uconv:ibm-290_P100-1995', 'IBM EBCDIC Japanese Katakana Extended (CCSID 290)'),
    'icu-ibm-838': ('uconv:ibm-838_P100-1995', 'IBM EBCDIC Thai (CCSID 838)'),
    'icu-x-iscii-gu': ('uconv:x-iscii-gu', 'ISCII-91 Gujarati, each byte on its own'),
    'icu-x-iscii-ta': ('uconv:x-iscii-ta', 'ISCII-91 Tamil, each byte on its own'),
    'python-cp720': ('py:cp720', 'DOS Arabic (code page 720)'),
    'recode-VPS': ('recode:VPS', 'VPS (Vietnamese)'),
}

_COMMANDS = {
    'iconv': 'printf <byte> | iconv -f %s -t UTF-16BE',
    'iconv-sb': 'printf <byte> | iconv -f %s -t UTF-16BE (initial single-byte mode)',
    'uconv-sb': 'printf <byte> | uconv -f %s -t UTF-16BE --from-callback stop (initial single-byte mode)',
    'uconv': 'printf <byte> | uconv -f %s -t UTF-16BE --from-callback stop',
    'recode': 'printf <byte> | recode -f %s..UTF-16',
    'py': 'codecs.decode(bytes([<byte>]), "%s")',
    'charmap': 'single-byte lines of /usr/share/i18n/charmaps/%s.gz (first entry per byte)',
}


def render(name, spec, description, table):
    kind, _, prog_name = spec.partition(':')
    lines = [
        '#',
        '#   Name:        %s' % name,
        '#   Contents:    %s' % description,
        '#   Made by:     tools/tables/dump_sources.py, decoding each byte 0x00-0xFF on its own',
        '#   Command:     %s' % (_COMMANDS[kind] % prog_name),
        '#   Tool:        %s' % sbcs_tools.tool_version(spec),
        '#   Format:      two columns, byte and Unicode code point(s) joined by "+";',
        '#                bytes the tool rejects are not listed',
        '#   Terms:       see data/mappings/README.md (facts taken from the tool\'s tables)',
        '#',
    ]
    for b in sorted(table):
        cps = '+'.join('0x%04X' % c for c in table[b])
        lines.append('0x%02X\t%s' % (b, cps))
    return '\n'.join(lines) + '\n'


SHARED_MAPPINGS = '/work/shared/data/mappings'


def copy_mapping_files():
    """Copy the published mapping files that the catalogue names (table
    sources and file references of the cross-check) into data/mappings,
    unchanged, headers and terms included."""
    import shutil
    sys.path.insert(0, os.path.join(ROOT, 'tools', 'catalogue'))
    import catalogue
    wanted = set()
    for src in catalogue.SOURCES.values():
        if not src.file.startswith('derived/'):
            wanted.add(src.file)
        for ref in src.refs:
            if ref.startswith('file:'):
                wanted.add(ref[5:])
    # The readme and terms files of the folders used, and Apple's notes on
    # Mac OS Ukrainian that the MacUkrainian table relies on.
    wanted.update(['readme.txt', 'iso8859/readme.txt', 'vendors/apple/readme.txt', 'vendors/adobe/readme.txt',
                   'eastasia/README.TXT', 'vendors/apple/ukraine.txt'])
    for rel in sorted(wanted):
        dst = os.path.join(ROOT, 'data', 'mappings', rel)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copyfile(os.path.join(SHARED_MAPPINGS, rel), dst)
        print('copied', rel)


def main(argv):
    if argv == ['--copy']:
        copy_mapping_files()
        return 0
    names = argv or sorted(DUMPS)
    os.makedirs(DERIVED, exist_ok=True)
    for name in names:
        spec, description = DUMPS[name]
        table = sbcs_tools.probe(spec)
        if not table:
            sys.stderr.write('%s: the probe %s gave nothing\n' % (name, spec))
            return 1
        with open(os.path.join(DERIVED, name + '.txt'), 'w', encoding='utf-8', newline='\n') as f:
            f.write(render(name, spec, description, table))
        print('%-22s %3d bytes' % (name, len(table)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
