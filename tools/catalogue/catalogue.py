#!/usr/bin/env python3
"""The catalogue of zuuc421's 171 table-driven encodings: the one source of
truth for their accessors, classes, identifiers, nicknames, MIME names, code
pages, ASCII flags, substitute bytes, encoding libraries, creation order and
(for the single-byte ones) the sources of their code tables.

Run it to write src/catalogue/generated/catalogue_data.inc and the public
lists include/zuuc/catalogue.h and include/zuuc/encoding_id_list.h:

    python3 tools/catalogue/catalogue.py [--check]

--check regenerates into memory and fails when a committed file differs.
The output depends on nothing but this file, so it is reproducible.

validate() refuses a catalogue in which a normalised nickname (ASCII letters
lower-cased, '-', '_' and ' ' removed) belongs to two entries, and checks the
class counts, the library lists, the creation order and the flag lists.
"""

import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
OUT_INC = os.path.join(ROOT, 'src', 'catalogue', 'generated', 'catalogue_data.inc')
OUT_CATALOGUE_H = os.path.join(ROOT, 'include', 'zuuc', 'catalogue.h')
OUT_ID_LIST_H = os.path.join(ROOT, 'include', 'zuuc', 'encoding_id_list.h')

SBCS = 'SBCSEncoding'
MBCS = 'MBCSEncoding'
MODAL = 'ModalEncoding'
LOOKAHEAD = 'MBCSLookAheadEncoding'
MIXED = 'MixedBlockRangeEncoding'

CLASS_COUNTS = {SBCS: 121, MBCS: 35, MODAL: 9, LOOKAHEAD: 5, MIXED: 1}

LAT, JPN, KOR, CHI, ROW = 'zulat421', 'zujpn421', 'zukor421', 'zuchi421', 'zurow421'


class Source(object):
    """Where a single-byte table comes from.

    file       path below data/mappings/ of a two-column mapping file
               (the Unicode Consortium's layout, or Adobe's reversed one)
    fmt        'ucm' (byte, Unicode) or 'adobe' (Unicode, byte)
    keep       (lo, hi): only bytes in this range are taken from the file
    overrides  byte -> code point (or None: undefined) applied afterwards
    note       what the table is and, for derived tables, why it is right
    derived    True when the table is not the file's own mapping
    fill       byte -> code point added where the file leaves the byte
               undefined (controls that a file's header describes but
               does not list)
    refs       independent references for the cross-check (see
               tools/tables/sbcs_tools.py and crosscheck.py)
    """

    def __init__(self, file, fmt='ucm', keep=None, overrides=None, note='',
                 derived=False, refs=(), fill=None):
        self.file = file
        self.fmt = fmt
        self.keep = keep
        self.fill = dict(fill or {})
        self.overrides = dict(overrides or {})
        self.note = note
        self.derived = derived
        self.refs = tuple(refs)


def _s(file, *refs, **kw):
    return Source(file, refs=refs, **kw)


class Entry(object):
    def __init__(self, accessor, cls, ident, names, mime, codepage, library,
                 source=None):
        self.accessor = accessor
        self.cls = cls
        self.id = ident
        self.names = list(names)
        self.mime = mime
        self.codepage = codepage
        self.library = library
        self.source = source
        self.ascii = True          # filled in by _apply_flags
        self.substitute = b'\x1a'  # filled in by _apply_flags
        self.order = -1            # creation-order position, filled in below

    @property
    def primary(self):
        return self.names[0]


# --- Table sources ---------------------------------------------------------

W = 'vendors/micsft/windows/'
PC = 'vendors/micsft/pc/'
EB = 'vendors/micsft/ebcdic/'
MSMAC = 'vendors/micsft/mac/'
AP = 'vendors/apple/'
AD = 'vendors/adobe/'
ISO = 'iso8859/'
DV = 'derived/'

# The non-spacing diacritic bytes of T.61 and ISO 6937 as combining marks.
# glibc's charmaps give them private-use code points because in those
# standards they prefix the letter they modify; a single-byte table decodes
# each byte on its own, so the combining mark (which follows its base letter
# in Unicode) is the nearest faithful character.
_NONSPACING = {
    0xC1: 0x0300, 0xC2: 0x0301, 0xC3: 0x0302, 0xC4: 0x0303, 0xC5: 0x0304,
    0xC6: 0x0306, 0xC7: 0x0307, 0xC8: 0x0308, 0xCA: 0x030A, 0xCB: 0x0327,
    0xCD: 0x030B, 0xCE: 0x0328, 0xCF: 0x030C,
}
_T61_NONSPACING = dict(_NONSPACING)
_T61_NONSPACING[0xCC] = 0x0332
_ISO6937_NONSPACING = dict(_NONSPACING)
_ISO6937_NONSPACING[0xC9] = None

# Shift-out and shift-in keep their control meaning in the single-byte halves
# of the stateful EBCDIC code pages when those halves stand alone.
_SO_SI = {0x0E: 0x000E, 0x0F: 0x000F}

_C0_AND_DEL = dict((b, b) for b in list(range(0x20)) + [0x7F])

SOURCES = {
    # zulat421
    'ASCII': _s(ISO + '8859-1.txt', 'iconv:ANSI_X3.4-1968', 'py:ascii', keep=(0x00, 0x7F), derived=True,
                note='US-ASCII is the lower half (0x00-0x7F) of ISO 8859-1; bytes 0x80-0xFF are undefined.'),
    'CP1252': _s(W + 'cp1252.txt', 'py:cp1252', 'iconv:CP1252'),
    'ISOLatin1': _s(ISO + '8859-1.txt', 'py:latin_1', 'iconv:ISO-8859-1'),
    'ISOLatin2': _s(ISO + '8859-2.txt', 'py:iso8859_2', 'iconv:ISO-8859-2'),
    'ISOLatin3': _s(ISO + '8859-3.txt', 'py:iso8859_3', 'iconv:ISO-8859-3'),
    'PC850Multilingual': _s(PC + 'cp850.txt', 'py:cp850', 'iconv:IBM850'),
    'PC8CodePage437': _s(PC + 'cp437.txt', 'py:cp437', 'iconv:IBM437'),
    'IBM037': _s(EB + 'cp037.txt', 'py:cp037', 'iconv:IBM037'),
    'CP500': _s(EB + 'cp500.txt', 'py:cp500', 'iconv:IBM500'),
    'CP860': _s(PC + 'cp860.txt', 'py:cp860', 'iconv:IBM860'),
    'CP863': _s(PC + 'cp863.txt', 'py:cp863', 'iconv:IBM863'),
    'CP870': _s(DV + 'icu-ibm-870.txt', 'iconv:IBM870'),
    'CP875': _s(EB + 'cp875.txt', 'py:cp875', 'iconv:IBM875'),
    'CP1026': _s(EB + 'cp1026.txt', 'py:cp1026', 'iconv:IBM1026'),
    'CP1250': _s(W + 'cp1250.txt', 'py:cp1250', 'iconv:CP1250'),
    'CP10000': _s(MSMAC + 'roman.txt', 'py:mac_roman', 'iconv:MACINTOSH'),
    'CP10029': _s(MSMAC + 'latin2.txt', 'py:mac_latin2', 'iconv:MAC-CENTRALEUROPE'),
    'CP10082': _s(AP + 'croatian.txt', 'py:mac_croatian',
                  note='Microsoft publishes no table for 10082; it is Mac OS Croatian, whose owner is Apple.'),
    'CP20105': _s(ISO + '8859-1.txt', 'charmap:ISO_646.IRV', keep=(0x00, 0x7F), overrides={0x24: 0x00A4},
                  derived=True,
                  note='IA5 (ITU-T T.50) International Reference Version: US-ASCII with the currency sign '
                       'U+00A4 at 0x24; bytes 0x80-0xFF are undefined.'),
    'CP20261': _s(DV + 'glibc-T.61-8BIT.txt', 'iconv:T.61-8BIT', overrides=_T61_NONSPACING, derived=True,
                  note='T.61 (Teletex) read one byte at a time: the glibc charmap\'s single-byte entries, with the '
                       'non-spacing diacritic bytes 0xC1-0xCF (except 0xC9, unassigned) decoded as the matching '
                       'combining marks U+0300-U+0332 instead of glibc\'s private-use placeholders.'),
    'CP20269': _s(DV + 'glibc-ISO_6937.txt', 'iconv:ISO_6937', overrides=_ISO6937_NONSPACING, derived=True,
                  note='ISO 6937 read one byte at a time: the glibc charmap\'s single-byte entries, with the '
                       'non-spacing diacritic bytes 0xC1-0xCF decoded as the matching combining marks instead of '
                       'private-use placeholders. 0xC9 is left undefined: glibc puts the non-spacing low line '
                       'there while other descriptions of ISO 6937 leave it unassigned or give it the umlaut, and '
                       'no owner\'s table settles it.'),
    'CP20273': _s(DV + 'icu-ibm-273.txt', 'iconv:IBM273', 'py:cp273'),
    'CP20277': _s(DV + 'icu-ibm-277.txt', 'iconv:IBM277'),
    'CP20278': _s(DV + 'icu-ibm-278.txt', 'iconv:IBM278'),
    'CP20280': _s(DV + 'icu-ibm-280.txt', 'iconv:IBM280'),
    'CP20284': _s(DV + 'icu-ibm-284.txt', 'iconv:IBM284'),
    'CP20285': _s(DV + 'icu-ibm-285.txt', 'iconv:IBM285'),
    'CP20297': _s(DV + 'icu-ibm-297.txt', 'iconv:IBM297'),
    'CP20833': _s(DV + 'icu-ibm-933-sb.txt', 'iconv-sb:IBM933', overrides=_SO_SI, derived=True,
                  note='IBM EBCDIC Korean Extended (CCSID 833) is the single-byte half of the mixed code page '
                       'IBM 933; taken from ICU\'s ibm-933 (IBM\'s tables) in its initial single-byte mode, with SO/SI (0x0E/0x0F) '
                       'as the controls U+000E/U+000F.'),
    'CP20871': _s(DV + 'icu-ibm-871.txt', 'iconv:IBM871'),
    'CP20905': _s(DV + 'glibc-IBM905.txt', 'recode:IBM905'),
    'CP28592': _s(ISO + '8859-2.txt', 'iconv:ISO-8859-2'),
    'CP28593': _s(ISO + '8859-3.txt', 'iconv:ISO-8859-3'),
    'AdobeStandardEncoding': _s(AD + 'stdenc.txt', fmt='adobe'),
    'MacCentralEuropean': _s(AP + 'CENTEURO.TXT', 'py:mac_latin2', 'iconv:MAC-CENTRALEUROPE'),
    'MacRoman': _s(AP + 'roman.txt', 'py:mac_roman', 'iconv:MACINTOSH'),
    'NextStep': _s('vendors/next/nextstep.txt', 'charmap:NEXTSTEP'),
    'ISOLatin9': _s(ISO + '8859-15.TXT', 'py:iso8859_15', 'iconv:ISO-8859-15'),
    'CP28591': _s(ISO + '8859-1.txt', 'iconv:ISO-8859-1'),
    'CCSID1047': _s(DV + 'icu-ibm-1047.txt', 'iconv:IBM1047'),
    'Roman8': _s(DV + 'glibc-HP-ROMAN8.txt', 'py:hp_roman8', 'uconv:hp-roman8'),
    # zujpn421
    'HalfWidthKatakana': _s('eastasia/jis/jis0201.txt', 'charmap:JIS_X0201', overrides=_C0_AND_DEL, derived=True,
                            note='JIS X 0201 Roman and Katakana from the Consortium\'s table, which lists the '
                                 'graphic characters only; the C0 controls 0x00-0x1F and DEL 0x7F, which JIS X 0201 '
                                 'shares with ASCII, are added as themselves.'),
    'CP20290': _s(DV + 'icu-ibm-290.txt', 'iconv:IBM290',
                  note='IBM\'s CCSID 290 as ICU carries it (katakana as the halfwidth forms U+FF61-U+FF9F, Latin '
                       'small letters a-z in the extended positions); glibc\'s IBM290 decodes the katakana to '
                       'the fullwidth forms instead, which is not IBM\'s mapping.'),
    'CP21027': _s(DV + 'icu-ibm-939-sb.txt', 'iconv-sb:IBM939', overrides=_SO_SI, derived=True,
                  note='Windows 21027 ("Ext Alpha Lowercase") is IBM\'s Japanese Latin EBCDIC, CCSID 1027, the '
                       'single-byte half of IBM 939; taken from ICU\'s ibm-939 (IBM\'s tables) in its initial single-byte mode, '
                       'with SO/SI as U+000E/U+000F. Being EBCDIC, it is not ASCII-based and substitutes with EBCDIC\'s '
                       'SUB byte 0x3F (which decodes to U+001A); 0x1A, ASCII\'s SUB, is an unrelated control here '
                       'and would corrupt the text.'),
    'CCSID290': _s(DV + 'icu-ibm-290.txt', 'iconv:IBM290',
                   note='IBM\'s CCSID 290 as ICU carries it (see CP20290).'),
    'CCSID1027': _s(DV + 'icu-ibm-939-sb.txt', 'iconv-sb:IBM939', overrides=_SO_SI, derived=True,
                    note='CCSID 1027 is the single-byte half of IBM 939; taken from ICU\'s ibm-939 (IBM\'s tables) in its initial '
                         'single-byte mode, with SO/SI as U+000E/U+000F.'),
    # zurow421
    'CP1251': _s(W + 'cp1251.txt', 'py:cp1251', 'iconv:CP1251'),
    'ISOLatin4': _s(ISO + '8859-4.txt', 'py:iso8859_4', 'iconv:ISO-8859-4'),
    'ISOLatin5': _s(ISO + '8859-9.txt', 'py:iso8859_9', 'iconv:ISO-8859-9'),
    'ISOLatin6': _s(ISO + '8859-10.TXT', 'py:iso8859_10', 'iconv:ISO-8859-10'),
    'ISOLatinArabic': _s(ISO + '8859-6.txt', 'py:iso8859_6', 'iconv:ISO-8859-6'),
    'ISOLatinCyrillic': _s(ISO + '8859-5.txt', 'py:iso8859_5', 'iconv:ISO-8859-5'),
    'ISOLatinGreek': _s(ISO + '8859-7.txt', 'py:iso8859_7', 'iconv:ISO-8859-7'),
    'ISOLatinHebrew': _s(ISO + '8859-8.txt', 'py:iso8859_8', 'iconv:ISO-8859-8'),
    'ISOLatinThai': _s(ISO + '8859-11.TXT', 'py:iso8859_11', 'iconv:ISO-8859-11'),
    'CP708': _s(ISO + '8859-6.txt', 'iconv:ASMO-708', 'uconv:ASMO-708', derived=True,
                note='ASMO 708 is the Arabic standard that ISO 8859-6 adopted unchanged; Microsoft publishes no '
                     'separate table, so the ISO 8859-6 table is used.'),
    'CP720': _s(DV + 'python-cp720.txt', 'uconv:ibm-720_P100-1997'),
    'CP737': _s(PC + 'cp737.txt', 'py:cp737', 'iconv:CP737'),
    'CP775': _s(PC + 'cp775.txt', 'py:cp775', 'iconv:CP775'),
    'CP852': _s(PC + 'cp852.txt', 'py:cp852', 'iconv:IBM852'),
    'CP855': _s(PC + 'cp855.txt', 'py:cp855', 'iconv:IBM855'),
    'CP857': _s(PC + 'cp857.txt', 'py:cp857', 'iconv:IBM857'),
    'CP861': _s(PC + 'cp861.txt', 'py:cp861', 'iconv:IBM861'),
    'CP862': _s(PC + 'cp862.txt', 'py:cp862', 'iconv:IBM862'),
    'CP864': _s(PC + 'cp864.txt', 'py:cp864', 'iconv:IBM864'),
    'CP865': _s(PC + 'cp865.txt', 'py:cp865', 'iconv:IBM865'),
    'CP866': _s(PC + 'cp866.txt', 'py:cp866', 'iconv:IBM866'),
    'CP869': _s(PC + 'cp869.txt', 'py:cp869', 'iconv:IBM869'),
    'CP874': _s(W + 'CP874.TXT', 'py:cp874', 'uconv:windows-874-2000'),
    'CP1253': _s(W + 'cp1253.txt', 'py:cp1253', 'iconv:CP1253'),
    'CP1254': _s(W + 'cp1254.txt', 'py:cp1254', 'iconv:CP1254'),
    'CP1255': _s(W + 'cp1255.txt', 'py:cp1255', 'iconv:CP1255'),
    'CP1256': _s(W + 'cp1256.txt', 'py:cp1256', 'iconv:CP1256'),
    'CP1257': _s(W + 'cp1257.txt', 'py:cp1257', 'iconv:CP1257'),
    'CP1258': _s(W + 'cp1258.txt', 'py:cp1258', 'iconv:CP1258'),
    'CP10004': _s(AP + 'arabic.txt', 'py:mac_arabic',
                  note='Microsoft publishes no table for 10004; it is Mac OS Arabic, whose owner is Apple.'),
    'CP10005': _s(AP + 'hebrew.txt',
                  note='Microsoft publishes no table for 10005; it is Mac OS Hebrew, whose owner is Apple.'),
    'CP10006': _s(MSMAC + 'greek.txt', 'py:mac_greek'),
    'CP10007': _s(MSMAC + 'cyrillic.txt', 'charmap:CP10007', 'py:mac_cyrillic'),
    'CP10010': _s(AP + 'ROMANIAN.TXT', 'py:mac_romanian',
                  note='Microsoft publishes no table for 10010; it is Mac OS Romanian, whose owner is Apple.'),
    'CP10017': _s(DV + 'glibc-MACUKRAINIAN.txt', 'recode:MacUkraine', 'py:mac_cyrillic',
                  note='Mac OS Ukrainian as Windows keeps it (the pre-Mac OS 9 set: Mac OS Cyrillic with GHE WITH '
                       'UPTURN at 0xA2/0xB6); Microsoft publishes no table, glibc\'s MAC-UK is that set.'),
    'CP10079': _s(MSMAC + 'iceland.txt', 'py:mac_iceland', 'iconv:MAC-IS'),
    'CP10081': _s(MSMAC + 'turkish.txt', 'py:mac_turkish'),
    'CP20420': _s(DV + 'icu-ibm-420.txt', 'iconv:IBM420'),
    'CP20423': _s(DV + 'glibc-IBM423.txt', 'recode:IBM423'),
    'CP20838': _s(DV + 'icu-ibm-838.txt', 'iconv:IBM1160'),
    'CP20866': _s('vendors/misc/KOI8-R.TXT', 'py:koi8_r', 'iconv:KOI8-R'),
    'CP20880': _s(DV + 'glibc-IBM880.txt', 'recode:IBM880'),
    'CP21025': _s(DV + 'icu-ibm-1025.txt', 'iconv:IBM1025'),
    'CP28594': _s(ISO + '8859-4.txt', 'iconv:ISO-8859-4'),
    'CP28595': _s(ISO + '8859-5.txt', 'iconv:ISO-8859-5'),
    'CP28596': _s(ISO + '8859-6.txt', 'iconv:ISO-8859-6'),
    'CP28597': _s(ISO + '8859-7.txt', 'iconv:ISO-8859-7'),
    'CP28598': _s(ISO + '8859-8.txt', 'iconv:ISO-8859-8'),
    'CP28599': _s(ISO + '8859-9.txt', 'iconv:ISO-8859-9'),
    'HPPSMath': _s(AD + 'symbol.txt', 'file:' + AP + 'symbol.txt', fmt='adobe'),
    'ZapfDingbats': _s(AD + 'zdingbat.txt', 'file:' + AP + 'DINGBATS.TXT', fmt='adobe'),
    'MacCroatian': _s(AP + 'croatian.txt', 'py:mac_croatian'),
    'MacCyrillic': _s(AP + 'cyrillic.txt', 'py:mac_cyrillic', 'iconv:MAC-CYRILLIC'),
    'MacDevanagari': _s(AP + 'DEVANAGA.TXT'),
    'MacDingbats': _s(AP + 'DINGBATS.TXT', 'file:' + AD + 'zdingbat.txt'),
    'MacGreek': _s(AP + 'greek.txt', 'py:mac_greek'),
    'MacGurmukhi': _s(AP + 'GURMUKHI.TXT', overrides={0xD5: 0x0A36}, derived=True,
                      note='Apple maps 0xD5 to the sequence U+0A38 U+0A3C (with a private-use grouping hint); '
                           'a single-byte table holds one character per byte, so 0xD5 decodes to U+0A36 GURMUKHI '
                           'LETTER SHA, which is canonically equivalent to that sequence.'),
    'MacIcelandic': _s(AP + 'iceland.txt', 'py:mac_iceland', 'iconv:MAC-IS'),
    'MacRomanian': _s(AP + 'ROMANIAN.TXT', 'py:mac_romanian'),
    'MacSymbol': _s(AP + 'symbol.txt', 'file:' + AD + 'symbol.txt'),
    'MacThai': _s(AP + 'thai.txt'),
    'MacTurkish': _s(AP + 'turkish.txt', 'py:mac_turkish'),
    'MacUkrainian': _s(AP + 'cyrillic.txt', 'recode:MacUkraine', 'py:mac_cyrillic', derived=True,
                       note='Since Mac OS 9 Apple has no separate Ukrainian set: its notes (UKRAINE.TXT) say the '
                            'Ukrainian mappings are those of Mac OS Cyrillic, so CYRILLIC.TXT is used.'),
    'ISOLatin8': _s(ISO + '8859-14.TXT', 'py:iso8859_14', 'iconv:ISO-8859-14'),
    'MacGujarati': _s(AP + 'GUJARATI.TXT'),
    'CP21866': _s('vendors/misc/KOI8-U.TXT', 'py:koi8_u', 'iconv:KOI8-U'),
    'CP38598': _s(ISO + '8859-8.txt', 'iconv:ISO-8859-8'),
    'ISOLatin7': _s(ISO + '8859-13.TXT', 'py:iso8859_13', 'iconv:ISO-8859-13'),
    'MacArabic': _s(AP + 'arabic.txt', 'py:mac_arabic'),
    'MacHebrew': _s(AP + 'hebrew.txt'),
    'VISCII': _s(DV + 'glibc-VISCII.txt', 'recode:VISCII'),
    'TCVN': _s(DV + 'glibc-TCVN5712-1.txt', 'recode:TCVN'),
    'VPS': _s(DV + 'recode-VPS.txt'),
    'ISCIIGujarati': _s(DV + 'icu-x-iscii-gu.txt', derived=True,
                        note='ISCII-91 Gujarati one byte at a time (ICU\'s ISCII converter, each byte decoded on its '
                             'own): the two-byte nukta and halant combinations are not single-byte characters; '
                             'consonant + nukta decodes to the canonically equivalent consonant + U+0ABC.'),
    'ISCIITamil': _s(DV + 'icu-x-iscii-ta.txt', derived=True,
                     note='ISCII-91 Tamil one byte at a time (ICU\'s ISCII converter, each byte decoded on its own): '
                          'the two-byte halant and extension combinations are not single-byte characters.'),
}


_ASCII_LOWER = dict((b, b) for b in range(0x80))
_C0 = dict((b, b) for b in range(0x20))

# Apple's tables leave out the controls; each file's header says that the set
# uses the standard control characters at 0x00-0x1F and 0x7F.
for _src in SOURCES.values():
    if _src.file.startswith(AP):
        _src.fill = dict(_C0_AND_DEL)
        _src.note = ((_src.note + ' ') if _src.note else '') + \
            'Controls 0x00-0x1F and 0x7F as themselves, as the file\'s header states.'
SOURCES['NextStep'].fill = dict(_ASCII_LOWER)
SOURCES['NextStep'].note = 'The file lists 0x80-0xFF; its header states that 0x00-0x7F are identical to ASCII.'
for _acc in ('AdobeStandardEncoding', 'HPPSMath', 'ZapfDingbats'):
    SOURCES[_acc].fill = dict(_C0)
    SOURCES[_acc].derived = True
    SOURCES[_acc].note = ('Adobe\'s font encoding leaves 0x00-0x1F unused; they decode as the C0 controls so that '
                          'line ends and tabs survive conversion. Where Adobe lists several characters for one '
                          'byte, the first is the decoding and the others encode to that byte (one way).')


# --- The entries -----------------------------------------------------------

def _cp(n):
    """Code-page aliases in the style of the telling rows."""
    return ['csCP%d' % n, 'windows-%d' % n]


def _ibm(n, *extra):
    return ['IBM%d' % n] + list(extra)


def _mac(acc, xname):
    return [acc, 'cs' + acc, xname]


def _iscii(acc, name, x, cp):
    names = [name, 'cs' + acc, x]
    if cp:
        names.append('windows-%d' % cp)
    return names


def _ccsid(n):
    return ['CCSID-%d' % n, 'csCCSID%d' % n, 'CCSID%d' % n, 'IBM%d' % n]


E = Entry
ENTRIES = [
    E('ASCII', SBCS, 3, ['ASCII', 'US-ASCII', 'ANSI_X3.4-1968', 'iso-ir-6', 'ANSI_X3.4-1986', 'ISO646-US', 'us',
                         'IBM367', 'csASCII'], 'US-ASCII', 367, LAT),
    E('Big5', MBCS, 4, ['Big5', 'csBig5', 'cn-big5', 'x-x-big5'], 'Big5', 0, CHI),
    E('CNS11643EUC', MBCS, 6, ['CNS-11643', 'csCNS11643EUC', 'EUC-TW', 'x-euc-tw'], None, 0, CHI),
    E('CP1251', SBCS, 7, ['CP1251', 'csCP1251', 'windows-1251', 'cswindows1251'], 'windows-1251', 1251, ROW),
    E('CP1252', SBCS, 8, ['CP1252', 'WinLatin1', 'csCP1252', 'windows-1252'], 'windows-1252', 1252, LAT),
    E('EUCKR', MBCS, 9, ['EUC-KR', 'csEUCKR', 'KS_C_5861-1992', 'K-EUC'], 'EUC-KR', 0, KOR),
    E('EUCPkdFmtJapanese', MBCS, 10, ['EUC-JP', 'EUC-J', 'csEUCPkdFmtJapanese',
                                      'Extended_UNIX_Code_Packed_Format_for_Japanese', 'J-EUC', 'JP-EUC',
                                      'x-euc-jp'], 'EUC-JP', 0, JPN),
    E('GB2312', MBCS, 11, ['GB2312', 'csGB2312', 'EUC-CN', 'x-euc-cn'], 'GB2312', 0, CHI),
    E('HalfWidthKatakana', SBCS, 12, ['JIS_X0201', 'X0201', 'csHalfWidthKatakana'], 'JIS_X0201', 0, JPN),
    E('ISO2022JP', MODAL, 14, ['ISO-2022-JP', 'csISO2022JP'], 'ISO-2022-JP', 0, JPN),
    E('ISO2022KR', MODAL, 15, ['ISO-2022-KR', 'csISO2022KR'], 'ISO-2022-KR', 0, KOR),
    E('ISO87JISX0208', MBCS, 16, ['JIS_X_0208', 'JIS-X-0208', 'JIS_X0208-1983', 'csISO87JISX0208', 'x0208',
                                  'iso-ir-87', 'JIS_C6226-1983'], 'JIS_X0208-1983', 0, JPN),
    E('ISOLatin1', SBCS, 17, ['Latin1', 'l1', 'IBM819', 'csISOLatin1', 'iso-ir-100', 'ISO_8859-1'], 'ISO-8859-1',
      819, LAT),
    E('ISOLatin2', SBCS, 18, ['Latin2', 'l2', 'IBM912', 'csISOLatin2', 'iso-ir-101', 'ISO_8859-2'], 'ISO-8859-2', 0,
      LAT),
    E('ISOLatin3', SBCS, 19, ['Latin3', 'l3', 'IBM913', 'csISOLatin3', 'iso-ir-109', 'ISO_8859-3'], 'ISO-8859-3', 0,
      LAT),
    E('ISOLatin4', SBCS, 20, ['Latin4', 'l4', 'IBM914', 'csISOLatin4', 'iso-ir-110', 'ISO_8859-4'], 'ISO-8859-4', 0,
      ROW),
    E('ISOLatin5', SBCS, 21, ['Latin5', 'l5', 'IBM920', 'csISOLatin5', 'iso-ir-148', 'ISO_8859-9'], 'ISO-8859-9', 0,
      ROW),
    E('ISOLatin6', SBCS, 22, ['Latin6', 'l6', 'csISOLatin6', 'iso-ir-157', 'ISO_8859-10'], 'ISO-8859-10', 0, ROW),
    E('ISOLatinArabic', SBCS, 23, ['Arabic', 'csISOLatinArabic', 'iso-ir-127', 'ECMA-114', 'IBM1089',
                                   'ISO_8859-6'], 'ISO-8859-6', 0, ROW),
    E('ISOLatinCyrillic', SBCS, 24, ['ISOLatinCyrillic', 'csISOLatinCyrillic', 'cyrillic', 'iso-ir-144', 'IBM915',
                                     'ISO_8859-5'], 'ISO-8859-5', 0, ROW),
    E('ISOLatinGreek', SBCS, 25, ['Greek', 'csISOLatinGreek', 'greek8', 'iso-ir-126', 'ELOT_928', 'ECMA-118',
                                  'IBM813', 'ISO_8859-7'], 'ISO-8859-7', 0, ROW),
    E('ISOLatinHebrew', SBCS, 26, ['Hebrew', 'csISOLatinHebrew', 'iso-ir-138', 'IBM916', 'ISO_8859-8'],
      'ISO-8859-8', 0, ROW),
    E('ISOLatinThai', SBCS, 27, ['Thai', 'csISOLatinThai', 'ISO_8859-11'], None, 0, ROW),
    E('PC850Multilingual', SBCS, 30, ['CP850', 'IBM850', '850', 'csPC850Multilingual', 'csCP850', 'windows-850'],
      'IBM850', 850, LAT),
    E('PC8CodePage437', SBCS, 31, ['CP437', 'IBM437', '437', 'csPC8CodePage437', 'csCP437', 'windows-437'],
      'IBM437', 437, LAT),
    E('ShiftJIS78', MBCS, 32, ['Shift-JIS78', 'csShiftJIS78'], 'Shift_JIS', 0, JPN),
    E('ShiftJISMS', MBCS, 33, ['Shift-JIS', 'csShiftJISMS', 'csShiftJIS', 'CP932', 'csCP932', 'windows-932',
                               'MS_Kanji', 'Windows-31J', 'csWindows31J', 'SJIS', 'ShiftJIS', 'Shift JIS',
                               'X-SJIS', 'x-ms-cp932', 'Shift-JIS-ASCII'], 'Shift_JIS', 932, JPN),
    E('CNS11643_1986_EUC', MBCS, 34, ['CNS-11643-1986', 'csCNS11643_1986_EUC'], None, 0, CHI),
    E('IBM037', SBCS, 35, ['EBCDIC', 'IBM037', 'CP037', 'ebcdic-cp-us', 'ebcdic-cp-ca', 'ebcdic-cp-wt',
                           'ebcdic-cp-nl', 'csIBM037', 'CP37', 'csCP37', 'windows-37'], 'IBM037', 37, LAT),
    E('CP949', MBCS, 37, ['CP949', 'csCP949', 'windows-949', 'UHC'], None, 949, KOR),
    E('CP10001', MBCS, 38, ['CP10001'] + _cp(10001), None, 10001, JPN),
    E('CP500', SBCS, 40, ['CP500', 'IBM500', 'csIBM500', 'ebcdic-cp-be', 'ebcdic-cp-ch'] + _cp(500), 'IBM500', 500,
      LAT),
    E('CP708', SBCS, 41, ['CP708', 'ASMO-708'] + _cp(708), None, 708, ROW),
    E('CP720', SBCS, 42, ['CP720', 'DOS-720'] + _cp(720), None, 720, ROW),
    E('CP737', SBCS, 43, ['CP737', 'IBM737'] + _cp(737), None, 737, ROW),
    E('CP775', SBCS, 44, ['CP775', 'IBM775', 'csPC775Baltic'] + _cp(775), None, 775, ROW),
    E('CP852', SBCS, 45, ['CP852', 'IBM852', '852', 'csPCp852'] + _cp(852), 'IBM852', 852, ROW),
    E('CP855', SBCS, 46, ['CP855', 'IBM855', '855', 'csIBM855'] + _cp(855), 'IBM855', 855, ROW),
    E('CP857', SBCS, 47, ['CP857', 'IBM857', '857', 'csIBM857'] + _cp(857), 'IBM857', 857, ROW),
    E('CP860', SBCS, 48, ['CP860', 'IBM860', '860', 'csIBM860'] + _cp(860), 'IBM860', 860, LAT),
    E('CP861', SBCS, 49, ['CP861', 'IBM861', '861', 'cp-is', 'csIBM861'] + _cp(861), 'IBM861', 861, ROW),
    E('CP862', SBCS, 50, ['CP862', 'IBM862', '862', 'csPC862LatinHebrew'] + _cp(862), 'IBM862', 862, ROW),
    E('CP863', SBCS, 51, ['CP863', 'IBM863', '863', 'csIBM863'] + _cp(863), 'IBM863', 863, LAT),
    E('CP864', SBCS, 52, ['CP864', 'IBM864', '864', 'csIBM864'] + _cp(864), 'IBM864', 864, ROW),
    E('CP865', SBCS, 53, ['CP865', 'IBM865', '865', 'csIBM865'] + _cp(865), 'IBM865', 865, ROW),
    E('CP866', SBCS, 54, ['CP866', 'IBM866', '866', 'csIBM866'] + _cp(866), 'IBM866', 866, ROW),
    E('CP869', SBCS, 55, ['CP869', 'IBM869', '869', 'cp-gr', 'csIBM869'] + _cp(869), 'IBM869', 869, ROW),
    E('CP870', SBCS, 56, ['CP870', 'IBM870', 'ebcdic-cp-roece', 'ebcdic-cp-yu', 'csIBM870'] + _cp(870), 'IBM870',
      870, LAT),
    E('CP874', SBCS, 57, ['CP874'] + _cp(874), None, 874, ROW),
    E('CP875', SBCS, 58, ['CP875', 'IBM875'] + _cp(875), None, 875, LAT),
    E('CP936', MBCS, 59, ['CP936', 'GBK', 'MS936', 'csGBK'] + _cp(936), None, 936, CHI),
    E('CP950', MBCS, 60, ['CP950', 'MS950'] + _cp(950), None, 950, CHI),
    E('CP1026', SBCS, 61, ['CP1026', 'IBM1026', 'csIBM1026'] + _cp(1026), None, 1026, LAT),
    E('CP1250', SBCS, 62, ['CP1250', 'csCP1250', 'windows-1250', 'cswindows1250'], 'windows-1250', 1250, LAT),
    E('CP1253', SBCS, 63, ['CP1253', 'csCP1253', 'windows-1253', 'cswindows1253'], 'windows-1253', 1253, ROW),
    E('CP1254', SBCS, 64, ['CP1254', 'csCP1254', 'windows-1254', 'cswindows1254'], 'windows-1254', 1254, ROW),
    E('CP1255', SBCS, 65, ['CP1255', 'csCP1255', 'windows-1255', 'cswindows1255'], 'windows-1255', 1255, ROW),
    E('CP1256', SBCS, 66, ['CP1256', 'csCP1256', 'windows-1256', 'cswindows1256'], 'windows-1256', 1256, ROW),
    E('CP1257', SBCS, 67, ['CP1257', 'csCP1257', 'windows-1257', 'cswindows1257'], 'windows-1257', 1257, ROW),
    E('CP1258', SBCS, 68, ['CP1258', 'csCP1258', 'windows-1258', 'cswindows1258'], 'windows-1258', 1258, ROW),
    E('CP1361', MBCS, 69, ['CP1361'] + _cp(1361), None, 1361, KOR),
    E('CP10000', SBCS, 70, ['CP10000', 'macintosh', 'csMacintosh'] + _cp(10000), None, 10000, LAT),
    E('CP10002', MBCS, 71, ['CP10002'] + _cp(10002), None, 10002, CHI),
    E('CP10003', MBCS, 72, ['CP10003'] + _cp(10003), None, 10003, KOR),
    E('CP10004', SBCS, 73, ['CP10004'] + _cp(10004), None, 10004, ROW),
    E('CP10005', SBCS, 74, ['CP10005'] + _cp(10005), None, 10005, ROW),
    E('CP10006', SBCS, 75, ['CP10006'] + _cp(10006), None, 10006, ROW),
    E('CP10007', SBCS, 76, ['CP10007'] + _cp(10007), None, 10007, ROW),
    E('CP10008', MBCS, 77, ['CP10008'] + _cp(10008), None, 10008, ROW),
    E('CP10010', SBCS, 78, ['CP10010'] + _cp(10010), None, 10010, ROW),
    E('CP10017', SBCS, 79, ['CP10017'] + _cp(10017), None, 10017, ROW),
    E('CP10029', SBCS, 80, ['CP10029'] + _cp(10029), None, 10029, LAT),
    E('CP10079', SBCS, 81, ['CP10079'] + _cp(10079), None, 10079, ROW),
    E('CP10081', SBCS, 82, ['CP10081'] + _cp(10081), None, 10081, ROW),
    E('CP10082', SBCS, 83, ['CP10082'] + _cp(10082), None, 10082, LAT),
    E('CP20105', SBCS, 84, ['CP20105', 'x-IA5'] + _cp(20105), None, 20105, LAT),
    E('CP20261', SBCS, 85, ['CP20261', 'T.61-8bit', 'T.61', 'iso-ir-103', 'csISO103T618bit', 'x-cp20261'] +
      _cp(20261), None, 20261, LAT),
    E('CP20269', SBCS, 86, ['CP20269', 'ISO_6937-2-add', 'iso-ir-142', 'csISOTextComm', 'x-cp20269'] + _cp(20269),
      None, 20269, LAT),
    E('CP20273', SBCS, 87, ['CP20273'] + _ibm(273, 'CP273', 'csIBM273') + _cp(20273), None, 20273, LAT),
    E('CP20277', SBCS, 88, ['CP20277'] + _ibm(277, 'EBCDIC-CP-DK', 'EBCDIC-CP-NO', 'csIBM277') + _cp(20277), None,
      20277, LAT),
    E('CP20278', SBCS, 89, ['CP20278'] + _ibm(278, 'CP278', 'ebcdic-cp-fi', 'ebcdic-cp-se', 'csIBM278') +
      _cp(20278), None, 20278, LAT),
    E('CP20280', SBCS, 90, ['CP20280'] + _ibm(280, 'CP280', 'ebcdic-cp-it', 'csIBM280') + _cp(20280), None, 20280,
      LAT),
    E('CP20284', SBCS, 91, ['CP20284'] + _ibm(284, 'CP284', 'ebcdic-cp-es', 'csIBM284') + _cp(20284), None, 20284,
      LAT),
    E('CP20285', SBCS, 92, ['CP20285'] + _ibm(285, 'CP285', 'ebcdic-cp-gb', 'csIBM285') + _cp(20285), None, 20285,
      LAT),
    E('CP20290', SBCS, 93, ['CP20290', 'x-EBCDIC-JapaneseKatakana'] + _cp(20290), None, 20290, JPN),
    E('CP20297', SBCS, 94, ['CP20297'] + _ibm(297, 'cp297', 'ebcdic-cp-fr', 'csIBM297') + _cp(20297), None, 20297,
      LAT),
    E('CP20420', SBCS, 95, ['CP20420'] + _ibm(420, 'cp420', 'ebcdic-cp-ar1', 'csIBM420') + _cp(20420), None, 20420,
      ROW),
    E('CP20423', SBCS, 96, ['CP20423'] + _ibm(423, 'cp423', 'ebcdic-cp-gr', 'csIBM423') + _cp(20423), None, 20423,
      ROW),
    E('CP20833', SBCS, 97, ['CP20833'] + _ibm(833, 'cp833', 'x-EBCDIC-KoreanExtended') + _cp(20833), None, 20833,
      LAT),
    E('CP20838', SBCS, 98, ['CP20838'] + _ibm(838, 'IBM-Thai', 'cp838') + _cp(20838), None, 20838, ROW),
    E('CP20866', SBCS, 99, ['CP20866', 'KOI8-R', 'csKOI8R'] + _cp(20866), 'KOI8-R', 20866, ROW),
    E('CP20871', SBCS, 100, ['CP20871'] + _ibm(871, 'CP871', 'ebcdic-cp-is', 'csIBM871') + _cp(20871), None, 20871,
      LAT),
    E('CP20880', SBCS, 101, ['CP20880'] + _ibm(880, 'cp880', 'EBCDIC-Cyrillic', 'csIBM880') + _cp(20880), None,
      20880, ROW),
    E('CP20905', SBCS, 102, ['CP20905'] + _ibm(905, 'CP905', 'ebcdic-cp-tr', 'csIBM905') + _cp(20905), None, 20905,
      LAT),
    E('CP21025', SBCS, 103, ['CP21025'] + _ibm(1025, 'cp1025') + _cp(21025), None, 21025, ROW),
    E('CP21027', SBCS, 104, ['CP21027'] + _cp(21027), None, 21027, JPN),
    E('CP28592', SBCS, 105, ['CP28592'] + _cp(28592), None, 28592, LAT),
    E('CP28593', SBCS, 106, ['CP28593'] + _cp(28593), None, 28593, LAT),
    E('CP28594', SBCS, 107, ['CP28594'] + _cp(28594), None, 28594, ROW),
    E('CP28595', SBCS, 108, ['CP28595'] + _cp(28595), None, 28595, ROW),
    E('CP28596', SBCS, 109, ['CP28596'] + _cp(28596), None, 28596, ROW),
    E('CP28597', SBCS, 110, ['CP28597'] + _cp(28597), None, 28597, ROW),
    E('CP28598', SBCS, 111, ['CP28598'] + _cp(28598), None, 28598, ROW),
    E('CP28599', SBCS, 112, ['CP28599'] + _cp(28599), None, 28599, ROW),
    E('AdobeStandardEncoding', SBCS, 113, ['Adobe-Standard-Encoding', 'csAdobeStandardEncoding'],
      'Adobe-Standard-Encoding', 0, LAT),
    E('HPPSMath', SBCS, 114, ['Adobe-Symbol-Encoding', 'csHPPSMath'], 'Adobe-Symbol-Encoding', 0, ROW),
    E('ZapfDingbats', SBCS, 115, ['Adobe-Zapf-Dingbats-Encoding', 'csZapfDingbats', 'ZapfDingbats'], None, 0, ROW),
    E('MacCentralEuropean', SBCS, 116, _mac('MacCentralEuropean', 'x-mac-ce'), None, 0, LAT),
    E('MacChineseSimplified', MBCS, 117, _mac('MacChineseSimplified', 'x-mac-chinesesimp'), None, 0, CHI),
    E('MacChineseTraditional', MBCS, 118, _mac('MacChineseTraditional', 'x-mac-chinesetrad'), None, 0, CHI),
    E('MacCroatian', SBCS, 119, _mac('MacCroatian', 'x-mac-croatian'), None, 0, ROW),
    E('MacCyrillic', SBCS, 120, _mac('MacCyrillic', 'x-mac-cyrillic'), None, 0, ROW),
    E('MacDevanagari', SBCS, 121, _mac('MacDevanagari', 'x-mac-devanagari'), None, 0, ROW),
    E('MacDingbats', SBCS, 122, _mac('MacDingbats', 'x-mac-dingbats'), None, 0, ROW),
    E('MacGreek', SBCS, 123, _mac('MacGreek', 'x-mac-greek'), None, 0, ROW),
    E('MacGurmukhi', SBCS, 124, _mac('MacGurmukhi', 'x-mac-gurmukhi'), None, 0, ROW),
    E('MacIcelandic', SBCS, 125, _mac('MacIcelandic', 'x-mac-icelandic'), None, 0, ROW),
    E('MacJapanese', MBCS, 126, _mac('MacJapanese', 'x-mac-japanese'), None, 0, JPN),
    E('MacKorean', MBCS, 127, _mac('MacKorean', 'x-mac-korean'), None, 0, KOR),
    E('MacRoman', SBCS, 128, ['MacRoman', 'csMacRoman', 'x-mac-roman'], None, 0, LAT),
    E('MacRomanian', SBCS, 129, _mac('MacRomanian', 'x-mac-romanian'), None, 0, ROW),
    E('MacSymbol', SBCS, 130, _mac('MacSymbol', 'x-mac-symbol'), None, 0, ROW),
    E('MacThai', SBCS, 131, _mac('MacThai', 'x-mac-thai'), None, 0, ROW),
    E('MacTurkish', SBCS, 132, _mac('MacTurkish', 'x-mac-turkish'), None, 0, ROW),
    E('MacUkrainian', SBCS, 133, _mac('MacUkrainian', 'x-mac-ukrainian'), None, 0, ROW),
    E('NextStep', SBCS, 134, ['NextStep', 'csNextStep', 'x-nextstep'], None, 0, LAT),
    E('ISOLatin8', SBCS, 135, ['Latin8', 'l8', 'csISOLatin8', 'iso-ir-199', 'iso-celtic', 'csISO885914',
                               'ISO_8859-14'], 'iso-8859-14', 0, ROW),
    E('ISOLatin9', SBCS, 136, ['Latin9', 'csISOLatin9', 'csISO885915', 'IBM923', 'ISO_8859-15'], 'ISO-8859-15', 0,
      LAT),
    E('MacGujarati', SBCS, 137, _mac('MacGujarati', 'x-mac-gujarati'), None, 0, ROW),
    E('GB12345', MBCS, 138, ['GB12345', 'csGB12345'], None, 0, CHI),
    E('CCSID290', SBCS, 139, _ccsid(290) + ['cp290', 'EBCDIC-JP-kana', 'csIBM290'], None, 0, JPN),
    E('CCSID942', MBCS, 140, _ccsid(942), None, 0, JPN),
    E('CCSID1027', SBCS, 141, _ccsid(1027), None, 0, JPN),
    E('CP21866', SBCS, 142, ['CP21866', 'KOI8-U', 'csKOI8U'] + _cp(21866), 'KOI8-U', 21866, ROW),
    E('CP28591', SBCS, 143, ['CP28591'] + _cp(28591), None, 28591, LAT),
    E('CP38598', SBCS, 144, ['CP38598', 'ISO-8859-8-I', 'csISO88598I'] + _cp(38598), None, 38598, ROW),
    E('Johab', MBCS, 145, ['Johab', 'csJohab', 'x-Johab'], None, 0, KOR),
    E('CCSID1047', SBCS, 156, _ccsid(1047) + ['cp1047', 'IBM01047'], None, 0, LAT),
    E('CCSID930', MODAL, 157, ['CCSID-930', 'csCCSID930', 'CCSID930', 'IBM930'], None, 0, JPN),
    E('CCSID935', MODAL, 158, _ccsid(935), None, 0, CHI),
    E('CCSID300', MBCS, 159, ['CCSID-300', 'csCCSID300', 'CCSID300', 'IBM300'], None, 0, JPN),
    E('CCSID937', MODAL, 160, _ccsid(937), None, 0, CHI),
    E('CCSID939', MODAL, 161, _ccsid(939), None, 0, JPN),
    E('Big5Plus', MBCS, 162, ['Big5Plus', 'csBig5Plus', 'Big5+'], None, 0, CHI),
    E('ISOLatin7', SBCS, 163, ['Latin7', 'csISOLatin7', 'csISO885913', 'ISO_8859-13'], 'iso-8859-13', 0, ROW),
    E('GB18030', MIXED, 164, ['GB18030', 'GB18030', 'csGB18030', 'csGB18030'], 'GB18030', 0, CHI),
    E('ISO2022CN', MODAL, 165, ['ISO-2022-CN', 'csISO2022CN'], 'ISO-2022-CN', 0, CHI),
    E('Roman8', SBCS, 166, ['csRoman8', 'hp-roman8', 'roman8', 'r8', 'csHPRoman8'], 'hp-roman8', 0, LAT),
    E('EUCJPJISRoman', MBCS, 167, ['EUC-JP-JIS-Roman', 'csEUCJPJISRoman'], 'EUC-JP', 0, JPN),
    E('HKSCS', MBCS, 168, ['HKSCS', 'csHKSCS', 'Big5-HKSCS', 'csBig5-HKSCS'], 'Big5-HKSCS', 0, CHI),
    E('ShiftJISMSRoundtrip', MBCS, 170, ['Shift-JISRoundtrip', 'csShiftJISMSRoundtrip', 'CP932Roundtrip',
                                         'Shift-JISRT'], None, 0, JPN),
    E('ISO2022JPRoundtrip', MODAL, 171, ['ISO-2022-JPRoundtrip', 'csISO2022JPRoundtrip', 'ISO-2022-JPRT'], None,
      0, JPN),
    E('EUCJPJISRomanRoundtrip', MBCS, 172, ['EUC-JP-JIS-RomanRoundtrip', 'csEUCJPJISRomanRoundtrip',
                                            'EUC-JP-JIS-RomanRT'], 'EUC-JP', 0, JPN),
    E('EUCPkdFmtJapaneseRoundtrip', MBCS, 173, ['EUC-JPRoundtrip', 'csEUCPkdFmtJapaneseRoundtrip', 'EUC-JPRT'],
      'EUC-JP', 0, JPN),
    E('ShiftJIS78Roundtrip', MBCS, 174, ['Shift-JIS78Roundtrip', 'csShiftJIS78Roundtrip', 'Shift-JIS78RT'],
      'Shift_JIS', 0, JPN),
    E('MacArabic', SBCS, 175, _mac('MacArabic', 'x-mac-arabic'), None, 0, ROW),
    E('MacHebrew', SBCS, 176, _mac('MacHebrew', 'x-mac-hebrew'), None, 0, ROW),
    E('VISCII', SBCS, 177, ['VISCII', 'csVISCII', 'VISCII1.1-1'], 'VISCII', 0, ROW),
    E('TCVN', SBCS, 178, ['TCVN', 'csTCVN', 'TCVN-5712', 'TCVN5712-1'], 'TCVN', 0, ROW),
    E('VIQR', LOOKAHEAD, 179, ['VIQR', 'csVIQR'], 'VIQR', 0, ROW),
    E('VNI', LOOKAHEAD, 180, ['VNI', 'csVNI'], 'VNI', 0, ROW),
    E('VPS', SBCS, 181, ['VPS', 'csVPS'], 'VPS', 0, ROW),
    E('ISCIIDevanagari', LOOKAHEAD, 182, _iscii('ISCIIDevanagari', 'ISCII-Devanagari', 'x-iscii-de', 57002),
      'ISCII-Devanagari', 57002, ROW),
    E('ISCIIBengali', LOOKAHEAD, 183, _iscii('ISCIIBengali', 'ISCII-Bengali', 'x-iscii-be', 57003),
      'ISCII-Bengali', 57003, ROW),
    E('ISCIIGujarati', SBCS, 184, ['csISCIIGujarati', 'ISCII-Gujarati', 'x-iscii-gu'], 'ISCII-Gujarati', 0, ROW),
    E('ISCIIKannada', LOOKAHEAD, 185, ['ISCII-Kannada', 'csISCIIKannada', 'x-iscii-ka', 'windows-57008'],
      'ISCII-Kannada', 57008, ROW),
    E('ISCIIMalayalam', MBCS, 186, _iscii('ISCIIMalayalam', 'ISCII-Malayalam', 'x-iscii-ma', 57009),
      'ISCII-Malayalam', 57009, ROW),
    E('ISCIITelugu', MBCS, 187, _iscii('ISCIITelugu', 'ISCII-Telugu', 'x-iscii-te', 57005), 'ISCII-Telugu', 57005,
      ROW),
    E('ISCIITamil', SBCS, 188, _iscii('ISCIITamil', 'ISCII-Tamil', 'x-iscii-ta', 57004), 'ISCII-Tamil', 57004,
      ROW),
    E('ShiftJIS2004', MBCS, 189, ['Shift_JIS-2004', 'csShiftJIS2004'], 'Shift_JIS-2004', 0, JPN),
    E('CCSID1390', MODAL, 190, _ccsid(1390), None, 0, JPN),
]

# Entries whose ASCII flag is false (not based on ASCII: EBCDIC, pure
# double-byte and symbol sets). CP21027 is an EBCDIC page (the Latin half of
# IBM 939, as CCSID1027) and belongs here and in SUB_3F: given ASCII's 0x1A as
# substitute, every substitution would write the EBCDIC byte 0x1A (not SUB
# there) into the text.
NOT_ASCII = '''ISO87JISX0208 IBM037 ZapfDingbats MacSymbol MacDingbats HPPSMath CP875 CP870 CP500 CP21027 CP21025
CP20905 CP20880 CP20871 CP20838 CP20833 CP20423 CP20420 CP20297 CP20290 CP20285 CP20284 CP20280 CP20278 CP20277
CP20273 CP1026 CCSID1390 CCSID1047 CCSID1027 CCSID939 CCSID937 CCSID935 CCSID930 CCSID300 CCSID290'''.split()

# Entries whose substitute byte is the EBCDIC SUB control 0x3F.
SUB_3F = '''IBM037 CP875 CP870 CP500 CP21027 CP21025 CP20905 CP20880 CP20871 CP20838 CP20833 CP20423 CP20420 CP20297
CP20290 CP20285 CP20284 CP20280 CP20278 CP20277 CP20273 CP1026 CCSID1047 CCSID1027 CCSID290'''.split()

# The libraries and their encodings, in identifier order.
LIBRARIES = {
    LAT: '''ASCII CP1252 ISOLatin1 ISOLatin2 ISOLatin3 PC850Multilingual PC8CodePage437 IBM037 CP500 CP860 CP863
CP870 CP875 CP1026 CP1250 CP10000 CP10029 CP10082 CP20105 CP20261 CP20269 CP20273 CP20277 CP20278 CP20280 CP20284
CP20285 CP20297 CP20833 CP20871 CP20905 CP28592 CP28593 AdobeStandardEncoding MacCentralEuropean MacRoman NextStep
ISOLatin9 CP28591 CCSID1047 Roman8'''.split(),
    JPN: '''EUCPkdFmtJapanese HalfWidthKatakana ISO2022JP ISO87JISX0208 ShiftJIS78 ShiftJISMS CP10001 CP20290 CP21027
MacJapanese CCSID290 CCSID942 CCSID1027 CCSID930 CCSID300 CCSID939 EUCJPJISRoman ShiftJISMSRoundtrip
ISO2022JPRoundtrip EUCJPJISRomanRoundtrip EUCPkdFmtJapaneseRoundtrip ShiftJIS78Roundtrip ShiftJIS2004
CCSID1390'''.split(),
    KOR: 'EUCKR ISO2022KR CP949 CP1361 CP10003 MacKorean Johab'.split(),
    CHI: '''Big5 CNS11643EUC GB2312 CNS11643_1986_EUC CP936 CP950 CP10002 MacChineseSimplified MacChineseTraditional
GB12345 CCSID935 CCSID937 Big5Plus GB18030 ISO2022CN HKSCS'''.split(),
    ROW: '''CP1251 ISOLatin4 ISOLatin5 ISOLatin6 ISOLatinArabic ISOLatinCyrillic ISOLatinGreek ISOLatinHebrew
ISOLatinThai CP708 CP720 CP737 CP775 CP852 CP855 CP857 CP861 CP862 CP864 CP865 CP866 CP869 CP874 CP1253 CP1254
CP1255 CP1256 CP1257 CP1258 CP10004 CP10005 CP10006 CP10007 CP10008 CP10010 CP10017 CP10079 CP10081 CP20420 CP20423
CP20838 CP20866 CP20880 CP21025 CP28594 CP28595 CP28596 CP28597 CP28598 CP28599 HPPSMath ZapfDingbats MacCroatian
MacCyrillic MacDevanagari MacDingbats MacGreek MacGurmukhi MacIcelandic MacRomanian MacSymbol MacThai MacTurkish
MacUkrainian ISOLatin8 MacGujarati CP21866 CP38598 ISOLatin7 MacArabic MacHebrew VISCII TCVN VIQR VNI VPS
ISCIIDevanagari ISCIIBengali ISCIIGujarati ISCIIKannada ISCIIMalayalam ISCIITelugu ISCIITamil'''.split(),
}
LIBRARY_ORDER = [LAT, JPN, KOR, CHI, ROW]
LIBRARY_SIZES = {LAT: 41, JPN: 24, KOR: 7, CHI: 16, ROW: 83}

# The order in which the module's static initialisation creates the entries,
# which is also their registration order for lookups by name.
CREATION_ORDER = '''PC8CodePage437 PC850Multilingual ASCII ShiftJIS2004 ISCIITamil ISCIITelugu ISCIIMalayalam
ISCIIKannada ISCIIGujarati ISCIIBengali ISCIIDevanagari VPS VNI VIQR TCVN VISCII Roman8 CP38598 CP28591 CP21866
Johab ShiftJIS78Roundtrip ShiftJIS78 ShiftJISMSRoundtrip ShiftJISMS ISOLatinThai ISOLatinHebrew ISOLatinGreek
ISOLatinCyrillic ISOLatinArabic ISOLatin9 ISOLatin8 ISOLatin7 ISOLatin6 ISOLatin5 ISOLatin4 ISOLatin3 ISOLatin2
ISOLatin1 ISO87JISX0208 ISO2022KR ISO2022JPRoundtrip ISO2022JP ISO2022CN IBM037 HalfWidthKatakana GB18030 GB2312
EUCJPJISRoman EUCPkdFmtJapanese EUCJPJISRomanRoundtrip EUCPkdFmtJapaneseRoundtrip EUCKR CP1252 CP1251
CNS11643_1986_EUC CNS11643EUC ZapfDingbats NextStep MacUkrainian MacTurkish MacThai MacSymbol MacRomanian MacRoman
MacKorean MacJapanese MacIcelandic MacGurmukhi MacGujarati MacGreek MacHebrew MacArabic MacDingbats MacDevanagari
MacCyrillic MacCroatian MacChineseTraditional MacChineseSimplified MacCentralEuropean HPPSMath GB12345 CP950 CP949
CP936 CP875 CP874 CP870 CP869 CP866 CP865 CP864 CP863 CP862 CP861 CP860 CP857 CP855 CP852 CP775 CP737 CP720 CP708
CP500 CP28599 CP28598 CP28597 CP28596 CP28595 CP28594 CP28593 CP28592 CP21027 CP21025 CP20905 CP20880 CP20871
CP20866 CP20838 CP20833 CP20423 CP20420 CP20297 CP20290 CP20285 CP20284 CP20280 CP20278 CP20277 CP20273 CP20269
CP20261 CP20105 CP1361 CP1258 CP1257 CP1256 CP1255 CP1254 CP1253 CP1250 CP1026 CP10082 CP10081 CP10079 CP10029
CP10017 CP10010 CP10008 CP10007 CP10006 CP10005 CP10004 CP10003 CP10002 CP10001 CP10000 CCSID1390 CCSID1047
CCSID1027 CCSID942 CCSID939 CCSID937 CCSID935 CCSID930 CCSID300 CCSID290 AdobeStandardEncoding HKSCS Big5Plus
Big5'''.split()

# Why the uncertain entries have the class they have (copied into
# docs/encodings.md).
CLASS_REASONS = [
    ('ISO2022JP, ISO2022JPRoundtrip, ISO2022KR, ISO2022CN, CCSID930, CCSID935, CCSID937, CCSID939, CCSID1390',
     MODAL,
     'They switch character sets inside the byte stream: ISO-2022 by escape sequences, the mixed IBM EBCDIC '
     'code pages by SO/SI between a single-byte and a double-byte set. Nine entries, as the class count says.'),
    ('GB18030', MIXED, 'One-, two- and four-byte sequences, the four-byte ones by arithmetic ranges.'),
    ('ISCIIDevanagari, ISCIIBengali, ISCIIKannada, VNI, VIQR', LOOKAHEAD,
     'A character is known only after the next byte: ISCII nukta/halant combinations, VNI and VIQR diacritics '
     'that follow their base letter.'),
    ('ISCIIMalayalam, ISCIITelugu', MBCS,
     'ISCII with the two-byte halant/nukta and EXT combinations expressed as multi-byte sequences.'),
    ('ISCIIGujarati, ISCIITamil', SBCS,
     'The counts (121 single-byte, 35 multi-byte, 5 look-ahead) leave exactly two of the seven ISCII scripts '
     'single-byte. ISCII-91 is an 8-bit code in which every byte is one character; only a few two-byte '
     'combinations have a Unicode character of their own. Gujarati is the odd one out in the catalogue (its '
     'primary name is the "cs" form and it has no Windows code page), which marks it as built from a different, '
     'single-byte source. Tamil is the script whose two-byte combinations matter least: Unicode 4.0 has no Tamil '
     'nukta consonants, vocalic L/LL/RR, avagraha or OM, so a single-byte table loses only the explicit/soft '
     'halant (halant + ZWNJ/ZWJ) and EXT forms.'),
    ('CP10008', MBCS,
     'Windows 10008 is Mac OS Chinese Simplified (GB 2312 in EUC form), a double-byte code page. It sits in '
     'zurow421 rather than zuchi421 in the library lists; the counts allow it to be either this or a third '
     'single-byte ISCII set, and a single-byte CP10008 could not convert any Chinese text, so it is multi-byte '
     '(its tables are those of MacChineseSimplified).'),
    ('HalfWidthKatakana, CP20290, CCSID290, CP21027, CCSID1027', SBCS,
     'JIS X 0201 and the single-byte Japanese EBCDIC sets (290 Katakana, 1027 Latin lower case).'),
    ('CP20261, CP20269', SBCS,
     'T.61 and ISO 6937 are treated as single-byte sets whose non-spacing diacritic bytes decode to combining '
     'marks (see their table notes).'),
    ('CCSID300, ISO87JISX0208', MBCS, 'Pure double-byte sets without shifts.'),
]


# --- Modal encodings: per-mode substitutes and escape matrices ----------

_ESC, _SO, _SI = b'\x1b', b'\x0e', b'\x0f'
_JP_TO = [_ESC + b'(B', _ESC + b'$B', _ESC + b'$@', _ESC + b'(J']
_CN_TO = [_SI, _ESC + b'$)A' + _SO, _ESC + b'$)G' + _SO, _ESC + b'$*H']


def _matrix(n, to):
    """Escape matrix whose entry [from][to] is to(from, to) (None on the
    diagonal)."""
    return [[None if f == t else to(f, t) for t in range(n)] for f in range(n)]


# Accessor -> (substitute string per mode, escape matrix, return-to-initial).
# The mixed EBCDIC code pages switch between mode 0 (single-byte, EBCDIC SUB
# 0x3F as substitute) and mode 1 (double-byte, IBM's double-byte substitute
# 0xFEFE) with SO 0x0E and SI 0x0F.
_EBCDIC_MODAL = ([b'\x3f', b'\xfe\xfe'], _matrix(2, lambda f, t: _SO if t == 1 else _SI), True)
MODAL_DATA = {
    'ISO2022JP': ([b'\x1a', b'\x74\x7e', b'\x74\x7e', b'\x1a'], _matrix(4, lambda f, t: _JP_TO[t]), True),
    'ISO2022JPRoundtrip': ([b'\x1a', b'\x74\x7e', b'\x74\x7e', b'\x1a'], _matrix(4, lambda f, t: _JP_TO[t]), True),
    'ISO2022KR': ([b'\x1a', b'\x2f\x7e', b'\x1a'],
                  _matrix(3, lambda f, t: _SI if t == 0 else (_SO if t == 1 else _ESC + b'$)C')), True),
    'ISO2022CN': ([b'\x1a', b'\x1a', b'\x24\x1a', b'\x24\x1a'], _matrix(4, lambda f, t: _CN_TO[t]), True),
    'CCSID930': _EBCDIC_MODAL,
    'CCSID935': _EBCDIC_MODAL,
    'CCSID937': _EBCDIC_MODAL,
    'CCSID939': _EBCDIC_MODAL,
    'CCSID1390': _EBCDIC_MODAL,
}


# --- Checks ----------------------------------------------------------------

# The base encoding numbers and the names of their TextEncodingID accessors,
# for every encoding of the library (the catalogue's and the others). A
# number may have several names. The numbers are stable: callers store them.
TEXT_ENCODING_IDS = [
    (0, 'Unknown'),
    (1, 'Unicode11'),
    (2, 'UTF16'),
    (2, 'Unicode20'),
    (2, 'Unicode'),
    (3, 'ASCII'),
    (4, 'Big5'),
    (5, 'ChineseAutoDetect'),
    (6, 'CNS11643EUC'),
    (7, 'CP1251'),
    (8, 'CP1252'),
    (9, 'EUCKR'),
    (10, 'EUCPkdFmtJapanese'),
    (11, 'GB2312'),
    (12, 'HalfWidthKatakana'),
    (13, 'HZGB2312'),
    (14, 'ISO2022JP'),
    (15, 'ISO2022KR'),
    (16, 'ISO87JISX0208'),
    (17, 'ISOLatin1'),
    (18, 'ISOLatin2'),
    (19, 'ISOLatin3'),
    (20, 'ISOLatin4'),
    (21, 'ISOLatin5'),
    (22, 'ISOLatin6'),
    (23, 'ISOLatinArabic'),
    (24, 'ISOLatinCyrillic'),
    (25, 'ISOLatinGreek'),
    (26, 'ISOLatinHebrew'),
    (27, 'ISOLatinThai'),
    (28, 'JapaneseAutoDetect'),
    (29, 'KoreanAutoDetect'),
    (30, 'CP850'),
    (30, 'PC850Multilingual'),
    (31, 'CP437'),
    (31, 'PC8CodePage437'),
    (32, 'ShiftJIS78'),
    (33, 'ShiftJISMS'),
    (34, 'CNS11643_1986_EUC'),
    (35, 'IBM037'),
    (36, 'EBCDIK'),
    (37, 'CP949'),
    (38, 'CP10001'),
    (39, 'CP37'),
    (40, 'CP500'),
    (41, 'CP708'),
    (42, 'CP720'),
    (43, 'CP737'),
    (44, 'CP775'),
    (45, 'CP852'),
    (46, 'CP855'),
    (47, 'CP857'),
    (48, 'CP860'),
    (49, 'CP861'),
    (50, 'CP862'),
    (51, 'CP863'),
    (52, 'CP864'),
    (53, 'CP865'),
    (54, 'CP866'),
    (55, 'CP869'),
    (56, 'CP870'),
    (57, 'CP874'),
    (58, 'CP875'),
    (59, 'CP936'),
    (60, 'CP950'),
    (61, 'CP1026'),
    (62, 'CP1250'),
    (63, 'CP1253'),
    (64, 'CP1254'),
    (65, 'CP1255'),
    (66, 'CP1256'),
    (67, 'CP1257'),
    (68, 'CP1258'),
    (69, 'CP1361'),
    (70, 'CP10000'),
    (71, 'CP10002'),
    (72, 'CP10003'),
    (73, 'CP10004'),
    (74, 'CP10005'),
    (75, 'CP10006'),
    (76, 'CP10007'),
    (77, 'CP10008'),
    (78, 'CP10010'),
    (79, 'CP10017'),
    (80, 'CP10029'),
    (81, 'CP10079'),
    (82, 'CP10081'),
    (83, 'CP10082'),
    (84, 'CP20105'),
    (85, 'CP20261'),
    (86, 'CP20269'),
    (87, 'CP20273'),
    (88, 'CP20277'),
    (89, 'CP20278'),
    (90, 'CP20280'),
    (91, 'CP20284'),
    (92, 'CP20285'),
    (93, 'CP20290'),
    (94, 'CP20297'),
    (95, 'CP20420'),
    (96, 'CP20423'),
    (97, 'CP20833'),
    (98, 'CP20838'),
    (99, 'CP20866'),
    (100, 'CP20871'),
    (101, 'CP20880'),
    (102, 'CP20905'),
    (103, 'CP21025'),
    (104, 'CP21027'),
    (105, 'CP28592'),
    (106, 'CP28593'),
    (107, 'CP28594'),
    (108, 'CP28595'),
    (109, 'CP28596'),
    (110, 'CP28597'),
    (111, 'CP28598'),
    (112, 'CP28599'),
    (113, 'AdobeStandardEncoding'),
    (114, 'HPPSMath'),
    (115, 'ZapfDingbats'),
    (116, 'MacCentralEuropean'),
    (117, 'MacChineseSimplified'),
    (118, 'MacChineseTraditional'),
    (119, 'MacCroatian'),
    (120, 'MacCyrillic'),
    (121, 'MacDevanagari'),
    (122, 'MacDingbats'),
    (123, 'MacGreek'),
    (124, 'MacGurmukhi'),
    (125, 'MacIcelandic'),
    (126, 'MacJapanese'),
    (127, 'MacKorean'),
    (128, 'MacRoman'),
    (129, 'MacRomanian'),
    (130, 'MacSymbol'),
    (131, 'MacThai'),
    (132, 'MacTurkish'),
    (133, 'MacUkrainian'),
    (134, 'NextStep'),
    (135, 'ISOLatin8'),
    (136, 'ISOLatin9'),
    (137, 'MacGujarati'),
    (138, 'GB12345'),
    (139, 'CCSID290'),
    (140, 'CCSID942'),
    (141, 'CCSID1027'),
    (142, 'CP21866'),
    (143, 'CP28591'),
    (144, 'CP38598'),
    (145, 'Johab'),
    (146, 'IBM_83_4040'),
    (147, 'IBM_83_4242'),
    (148, 'JEF_78_4040'),
    (149, 'JEF_78_A1A1'),
    (150, 'JEF_83_4040'),
    (151, 'JEF_83_A1A1'),
    (152, 'KEIS_78_4040'),
    (153, 'KEIS_78_A1A1'),
    (154, 'KEIS_83_4040'),
    (155, 'KEIS_83_A1A1'),
    (156, 'CCSID1047'),
    (157, 'CCSID930'),
    (158, 'CCSID935'),
    (159, 'CCSID300'),
    (160, 'CCSID937'),
    (161, 'CCSID939'),
    (162, 'Big5Plus'),
    (163, 'ISOLatin7'),
    (164, 'GB18030'),
    (165, 'ISO2022CN'),
    (166, 'Roman8'),
    (167, 'EUCJPJISRoman'),
    (168, 'HKSCS'),
    (169, 'UTF32'),
    (170, 'ShiftJISMSRoundtrip'),
    (171, 'ISO2022JPRoundtrip'),
    (172, 'EUCJPJISRomanRoundtrip'),
    (173, 'EUCPkdFmtJapaneseRoundtrip'),
    (174, 'ShiftJIS78Roundtrip'),
    (175, 'MacArabic'),
    (176, 'MacHebrew'),
    (177, 'VISCII'),
    (178, 'TCVN'),
    (179, 'VIQR'),
    (180, 'VNI'),
    (181, 'VPS'),
    (182, 'ISCIIDevanagari'),
    (183, 'ISCIIBengali'),
    (184, 'ISCIIGujarati'),
    (185, 'ISCIIKannada'),
    (186, 'ISCIIMalayalam'),
    (187, 'ISCIITelugu'),
    (188, 'ISCIITamil'),
    (189, 'ShiftJIS2004'),
    (190, 'CCSID1390'),
]

# The variation numbers and the names of their EncodingVariationID accessors.
VARIATION_IDS = [
    (0, 'None'),
    (1, 'ByteOrderMark'),
    (2, 'UTF7'),
    (3, 'UTF8'),
    (4, 'BigEndian'),
    (5, 'LittleEndian'),
    (6, 'PlatformByteOrder'),
    (7, 'Java'),
    (8, 'HPPrinter'),
    (9, 'UTF8EBCDIC'),
]


def normalise(name):
    """The lookup form of a nickname: ASCII letters lower-cased, '-', '_' and
    ' ' removed."""
    out = []
    for ch in name:
        if ch in '-_ ':
            continue
        if 'A' <= ch <= 'Z':
            ch = chr(ord(ch) + 32)
        out.append(ch)
    return ''.join(out)


class CatalogueError(Exception):
    pass


def check_unique_nicknames(entries):
    """Fail when a normalised nickname belongs to two entries."""
    owner = {}
    clashes = []
    for e in entries:
        for n in e.names:
            key = normalise(n)
            if key in owner and owner[key] is not e:
                clashes.append('"%s" of %s clashes with %s' % (n, e.accessor, owner[key].accessor))
            owner.setdefault(key, e)
    if clashes:
        raise CatalogueError('nicknames shared by two entries: ' + '; '.join(clashes))


def _apply_flags(entries):
    by_acc = dict((e.accessor, e) for e in entries)
    for name in NOT_ASCII + SUB_3F:
        if name not in by_acc:
            raise CatalogueError('flag list names an unknown entry: ' + name)
    for e in entries:
        e.source = SOURCES.get(e.accessor)
        e.ascii = e.accessor not in NOT_ASCII
        if e.cls == MODAL:
            e.substitute = b''
        elif e.accessor == 'CCSID300':
            e.substitute = b'\xfe\xfe'
        elif e.accessor in SUB_3F:
            e.substitute = b'\x3f'
        else:
            e.substitute = b'\x1a'
    for pos, acc in enumerate(CREATION_ORDER):
        by_acc[acc].order = pos


def validate(entries=None):
    entries = ENTRIES if entries is None else entries
    errors = []
    accs = [e.accessor for e in entries]
    if len(entries) != 171 or len(set(accs)) != 171:
        errors.append('expected 171 distinct entries, found %d (%d distinct)' % (len(entries), len(set(accs))))
    ids = [e.id for e in entries]
    if len(set(ids)) != len(ids):
        errors.append('duplicate identifiers')
    if ids != sorted(ids):
        errors.append('entries are not in identifier order')
    counts = {}
    for e in entries:
        counts[e.cls] = counts.get(e.cls, 0) + 1
        if not e.names:
            errors.append(e.accessor + ' has no nicknames')
        if not 0 < e.id < 191:
            errors.append('%s: identifier %d out of range' % (e.accessor, e.id))
        if (e.cls == SBCS) != (e.accessor in SOURCES):
            errors.append(e.accessor + ': a table source belongs to exactly the single-byte entries')
    if counts != CLASS_COUNTS:
        errors.append('class counts %r, expected %r' % (counts, CLASS_COUNTS))
    if sorted(CREATION_ORDER) != sorted(accs) or len(set(CREATION_ORDER)) != 171:
        errors.append('creation order does not list every entry once')
    listed = []
    for lib in LIBRARY_ORDER:
        members = LIBRARIES[lib]
        if len(members) != LIBRARY_SIZES[lib]:
            errors.append('%s lists %d encodings, expected %d' % (lib, len(members), LIBRARY_SIZES[lib]))
        listed += members
        by_acc = dict((e.accessor, e) for e in entries)
        order = [by_acc[m].id for m in members if m in by_acc]
        if order != sorted(order):
            errors.append(lib + ' is not in identifier order')
        for m in members:
            if m in by_acc and by_acc[m].library != lib:
                errors.append('%s: library %s, listed under %s' % (m, by_acc[m].library, lib))
    if sorted(listed) != sorted(accs):
        errors.append('library lists do not cover every entry once')
    if len(NOT_ASCII) != 36 or len(SUB_3F) != 25:
        errors.append('flag lists have the wrong length')
    if errors:
        raise CatalogueError('; '.join(errors))
    check_unique_nicknames(entries)
    _apply_flags(entries)
    subs = {}
    for e in entries:
        subs[e.substitute] = subs.get(e.substitute, 0) + 1
    if subs != {b'\x1a': 136, b'\x3f': 25, b'\xfe\xfe': 1, b'': 9}:
        raise CatalogueError('substitute counts %r' % subs)
    return entries


# --- Output ----------------------------------------------------------------

def _c_string(s):
    out = []
    for ch in s:
        if ch in '"\\':
            out.append('\\' + ch)
        elif ' ' <= ch <= '~':
            out.append(ch)
        else:
            raise CatalogueError('non-printable character in %r' % s)
    return '"' + ''.join(out) + '"'


def _c_bytes(b):
    # Every byte is escaped, so a hex escape is always followed by another
    # escape or the closing quote and cannot swallow a following digit.
    return '"' + ''.join('\\x%02X' % x for x in b) + '"'


def render_inc(entries):
    by_acc = dict((e.accessor, e) for e in entries)
    lines = [
        '// Generated by tools/catalogue/catalogue.py. Do not edit.',
        '//',
        '// The table-driven catalogue encodings. kNicknames_<Accessor> holds the',
        '// null-terminated nickname list of each entry (primary name first).',
        '// ZUUC_CATALOGUE(X) lists the entries in creation order, which is also',
        '// their registration order for lookups by name:',
        '//   X(Accessor, Class, identifier, nicknames, MIME name or nullptr,',
        '//     code page, ASCII flag, substitute bytes, library)',
        '// The substitute bytes are a C string (empty for the modal encodings, whose',
        '// substitutes are given per mode).',
        '',
    ]
    for e in entries:
        lines.append('static char const * kNicknames_%s[] = {' % e.accessor)
        for n in e.names:
            lines.append('    %s,' % _c_string(n))
        lines.append('    nullptr};')
    lines.append('')
    lines.append('#define ZUUC_CATALOGUE(X) \\')
    rows = []
    for acc in CREATION_ORDER:
        e = by_acc[acc]
        rows.append('    X(%s, %s, %d, kNicknames_%s, %s, %d, %s, %s, "%s")' % (
            e.accessor, e.cls, e.id, e.accessor, _c_string(e.mime) if e.mime else 'nullptr', e.codepage,
            'true' if e.ascii else 'false', _c_bytes(e.substitute), e.library))
    lines.append(' \\\n'.join(rows))
    lines.append('')
    lines += _render_modal(entries)
    return '\n'.join(lines)


def _ucs(b):
    return 'reinterpret_cast<unsigned char const *>(%s)' % _c_bytes(b)


def _render_modal(entries):
    lines = [
        '// The modal encodings: kModalSubstitutes_<Accessor> holds one zero-terminated',
        '// substitute string per mode; kModalEscapes_<Accessor> the N x N escape',
        '// matrix, entry [from * N + to] switching from mode "from" to mode "to"',
        '// (nullptr on the diagonal). ZUUC_MODAL_CATALOGUE(X) lists them in creation',
        '// order: X(Accessor, mode count, substitutes, escapes, return-to-initial).',
        '',
    ]
    rows = []
    for acc in CREATION_ORDER:
        if acc not in MODAL_DATA:
            continue
        subst, esc, back = MODAL_DATA[acc]
        n = len(subst)
        lines.append('[[maybe_unused]] static unsigned char const * kModalSubstitutes_%s[%d] = {' % (acc, n))
        for b in subst:
            lines.append('    %s,' % _ucs(b))
        lines.append('};')
        lines.append('[[maybe_unused]] static unsigned char const * kModalEscapes_%s[%d] = {' % (acc, n * n))
        for f in range(n):
            lines.append('    ' + ', '.join('nullptr' if e is None else _ucs(e) for e in esc[f]) + ',')
        lines.append('};')
        rows.append('    X(%s, %d, kModalSubstitutes_%s, kModalEscapes_%s, %s)' % (
            acc, n, acc, acc, 'true' if back else 'false'))
    lines.append('')
    lines.append('#define ZUUC_MODAL_CATALOGUE(X) \\')
    lines.append(' \\\n'.join(rows))
    lines.append('')
    return lines


# --- the public lists ------------------------------------------------------------

_CATALOGUE_H_HEAD = """\
// The accessors of the catalogue's table-driven encodings.
//
// Every catalogue encoding is one process-wide object returned by a static
// accessor of CharEncoding (CharEncoding::CP1252() and so on). The lists
// below name the accessors of each encoding class in creation order, which is
// also the order in which they register for lookups; CharEncoding declares
// its accessors from them, and a caller may expand them to visit every entry:
//
//   #define VISIT(accessor, id) Use(CharEncoding::accessor());
//   ZUUC_SBCS_CATALOGUE(VISIT)
//
// Each list agrees with the catalogue data the library is built from: an
// accessor missing here does not compile, one too many does not link.
//
// Written by tools/catalogue/catalogue.py: change the catalogue, not this file.
#ifndef ZUUC_CATALOGUE_H
#define ZUUC_CATALOGUE_H
"""

_CATALOGUE_H_TAIL = """\
// One more encoding has an accessor outside these lists:
// CharEncoding::HZGB2312() (class HZEncoding, zuuc/modal_encoding.h), which
// has no tables of its own and converts through GB2312; it is created right
// after the catalogue.

#endif
"""

# (class, macro, description, header, count comment) in the order of the file.
_CATALOGUE_LISTS = [
    (SBCS, 'ZUUC_SBCS_CATALOGUE', 'The single-byte encodings', 'zuuc/sbcs_encoding.h',
     'The number of entries in ZUUC_SBCS_CATALOGUE.'),
    (MBCS, 'ZUUC_MBCS_CATALOGUE', 'The multi-byte encodings', 'zuuc/mbcs_encoding.h',
     'The number of entries in that list.'),
    (LOOKAHEAD, 'ZUUC_MBCS_LOOKAHEAD_CATALOGUE', 'The look-ahead multi-byte encodings',
     'zuuc/mbcs_encoding.h', 'The number of entries in that list.'),
    (MODAL, 'ZUUC_MODAL_ENCODING_CATALOGUE', 'The modal encodings', 'zuuc/modal_encoding.h',
     'The number of entries in that list.'),
    (MIXED, 'ZUUC_MIXED_RANGE_CATALOGUE', 'The mixed block range encodings',
     'zuuc/range_encoding.h', 'The number of entries in that list.'),
]


def _x_macro(name, rows):
    return ['#define %s(X) \\' % name, ' \\\n'.join('    X(%s)' % r for r in rows)]


def render_catalogue_h(entries):
    lines = [_CATALOGUE_H_HEAD]
    for cls, macro, what, header, count_note in _CATALOGUE_LISTS:
        members = sorted((e for e in entries if e.cls == cls), key=lambda e: e.order)
        lines.append('// %s (class %s, %s):' % (what, cls, header))
        lines.append('// X(accessor, base encoding number).')
        lines += _x_macro(macro, ['%s, %d' % (e.accessor, e.id) for e in members])
        lines.append('')
        lines.append('// ' + count_note)
        lines.append('#define %s_COUNT %d' % (macro, len(members)))
        lines.append('')
    return '\n'.join(lines) + '\n' + _CATALOGUE_H_TAIL


def render_id_list_h():
    lines = [
        '// The base encoding numbers and the names of their TextEncodingID accessors.',
        '// A number may have several accessor names (UTF16, Unicode20 and Unicode are',
        '// all 2). The numbers are stable: callers store them.',
        '//',
        '// Written by tools/catalogue/catalogue.py: change the catalogue, not this file.',
        '#ifndef ZUUC_ENCODING_ID_LIST_H',
        '#define ZUUC_ENCODING_ID_LIST_H',
        '',
    ]
    lines += _x_macro('ZUUC_TEXT_ENCODING_IDS', ['%3d, %s' % r for r in TEXT_ENCODING_IDS])
    lines.append('')
    lines.append('// The variation numbers and the names of their EncodingVariationID accessors.')
    lines += _x_macro('ZUUC_ENCODING_VARIATION_IDS', ['%d, %s' % r for r in VARIATION_IDS])
    lines.append('')
    lines.append('#endif')
    return '\n'.join(lines) + '\n'


def validate_ids(entries):
    """Every catalogue encoding's number has a name in TEXT_ENCODING_IDS."""
    numbers = set(n for n, _ in TEXT_ENCODING_IDS)
    missing = sorted(e.accessor for e in entries if e.id not in numbers)
    if missing:
        raise ValueError('no TextEncodingID name for: %s' % ' '.join(missing))
    names = [name for _, name in TEXT_ENCODING_IDS]
    if len(names) != len(set(names)):
        raise ValueError('a TextEncodingID name is given twice')


def sbcs_entries(entries=None):
    entries = validate(entries)
    return [e for e in entries if e.cls == SBCS]


def outputs(entries):
    """Every file this generator writes, with its text."""
    validate_ids(entries)
    return [(OUT_INC, render_inc(entries)),
            (OUT_CATALOGUE_H, render_catalogue_h(entries)),
            (OUT_ID_LIST_H, render_id_list_h())]


def main(argv):
    entries = validate()
    stale = 0
    for path, text in outputs(entries):
        if '--check' in argv:
            with open(path, encoding='utf-8') as f:
                if f.read() != text:
                    sys.stderr.write('%s is out of date\n' % path)
                    stale = 1
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'w', encoding='utf-8', newline='\n') as f:
            f.write(text)
    return stale


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
