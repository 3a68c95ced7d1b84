"""What each multi-byte, look-ahead, modal and mixed entry is made of.

SPECS maps a catalogue accessor to a spec object whose build() fills a
gen_mbcs.Built: the decoding state machine, the plane table(s) and the
charsets that made them.  Every spec names its files (below data/mappings),
says whether the table is derived (not the owner's own mapping) and why, and
lists the independent references of the cross-check (mbcs_crosscheck.py):
  icu:NAME, iconv:NAME, py:CODEC  (see mbcs_tools.py)
"""

import gen_mbcs
import mbcs_charsets as cs
from gen_mbcs import Charset, PlaneData

ESC = b'\x1b'
SO, SI = b'\x0e', b'\x0f'


class MbcsSpec(object):
    """A stateless multi-byte (or look-ahead) entry."""
    modal = False

    def __init__(self, files, lines, refs=(), note='', derived=False, roundtrip=False, prefer=None,
                 lookahead=False, ref_scope=None, split_prefixes=False):
        self.files = list(files)
        self.lines = lines
        self.refs = list(refs)
        self.note = note
        self.derived = derived or roundtrip
        self.roundtrip = roundtrip
        self.prefer = prefer
        self.lookahead = lookahead
        self.ref_scope = ref_scope
        self.split_prefixes = split_prefixes

    def summary(self):
        return ', '.join(self.files) + (', derived' if self.derived else '')

    def charset(self):
        lines = self.lines()
        split = []
        if self.split_prefixes:
            # Without look-ahead a character cannot also start a longer
            # sequence: such combinations are read byte by byte.
            chars = set(seq for seq, cps, _ in lines if len(cps) == 1)
            keep = []
            for line in lines:
                if any(line[0][:i] in chars for i in range(1, len(line[0]))):
                    split.append((line[0], line[1]))
                else:
                    keep.append(line)
            lines = keep
        return Charset(lines, prefer=self.prefer, roundtrip=self.roundtrip, split=split)

    def build(self, b):
        c = self.charset()
        if not self.lookahead:
            for seq in c.decode:
                for i in range(1, len(seq)):
                    if seq[:i] in c.decode:
                        raise gen_mbcs.TableError('%s: %r is a prefix of %r' % (b.entry.accessor, seq[:i], seq))
        b.charsets = [c]
        b.lookahead = self.lookahead
        b.rows = gen_mbcs.mbcs_machine(c, lookahead=self.lookahead)
        b.wide = c.wide()
        b.planes = [PlaneData(c.encode, wide_keys=b.wide)]


class ModalSpec(object):
    """A modal entry: per mode a charset (bytes as they stand in that mode),
    and the decoder's states with their escape and shift sequences.

    states: list of (mode whose characters decode there, {sequence: target
    state}); states 0..N-1 are the modes' own.  extra: sequences that decode
    in every state without being encodable (C0 controls)."""
    modal = True

    def __init__(self, files, modes, states, extra=(), refs=(), note='', derived=False, wraps=None,
                 roundtrip=False, prefer=None):
        self.files = list(files)
        self.prefer = prefer
        self.modes = modes
        self.states = states
        self.extra = extra
        self.refs = list(refs)
        self.note = note
        self.derived = derived or roundtrip
        self.roundtrip = roundtrip
        self.wraps = wraps or {}

    def summary(self):
        return ', '.join(self.files) + (', derived' if self.derived else '')

    def build(self, b):
        charsets = [Charset(m(), prefer=self.prefer, roundtrip=self.roundtrip) for m in self.modes]
        extra = Charset(self.extra() if self.extra else [])
        roots = []
        for s, (mode, escapes) in enumerate(self.states):
            table = {}
            for seq, cp in extra.decode.items():
                table[seq] = (cp, s)
            for seq, cp in charsets[mode].decode.items():
                table[seq] = (cp, s)
            for seq, target in escapes.items():
                table[seq] = (None, target)
            roots.append(table)
        b.modal = True
        b.charsets = charsets
        b.rows = gen_mbcs.build_machine(roots)
        b.wide = any(c.wide() for c in charsets)
        b.planes = [PlaneData(c.encode, wide_keys=b.wide, wide_values=True) for c in charsets]


class Gb18030Spec(MbcsSpec):
    """The multi-byte part of GB18030: ICU's one- and two-byte sequences and
    the four-byte BMP sequences that the 63 ranges do not reach."""

    def lines_all(self):
        import gen_gb18030
        return cs.derived('icu-gb18030') + gen_gb18030.table_singles()


# --- Helpers ---------------------------------------------------------------------

def _f(*parts):
    def go():
        out = []
        for p in parts:
            out += p()
        return out
    return go


def _file(rel, **kw):
    return lambda: cs.read_pairs(rel, **kw)


def _gr(fn, prefix=b''):
    return lambda: cs.gl_to_gr(fn(), prefix)


def _only(fn, keep):
    return lambda: [l for l in fn() if keep(l[0])]


def _replace(fn, changes):
    def go():
        out = []
        for seq, cps, h in fn():
            if seq in changes:
                cps, h = changes[seq], False
            out.append((seq, cps, h))
        return out
    return go


W = 'vendors/micsft/windows/'
AP = 'vendors/apple/'
JIS0208 = 'eastasia/jis/jis0208.txt'
JIS0212 = 'eastasia/jis/jis0212.txt'


def _cp932_prefer(seq):
    # Windows encodes the IBM extensions at 0xFA40-0xFC4B, not at their
    # NEC-selected copies in rows 0xED/0xEE.
    return 1 if len(seq) == 2 and seq[0] in (0xED, 0xEE) else 0


# Where a table decodes two byte sequences to one character, the encoder
# writes the position the table's vendor designates for encoding; each of
# these answers 1 for the position(s) that decode one way only.

def _big5_radicals_prefer(seq):
    # Microsoft's Big5 writes U+5341 and U+5345 in the main hanzi block
    # (A451, A4CA), not at the duplicate radical positions A2CC and A2CE.
    return 1 if seq in (b'\xa2\xcc', b'\xa2\xce') else 0


def _hkscs_prefer(seq):
    # HKSCS-2004 designates the later of two codes: the ETEN box drawing
    # F9E9-F9FD, the main hanzi A451 and A4CA, and A241/A242 for the fullwidth
    # solidus and reverse solidus.
    return -int.from_bytes(seq, 'big')


def _gb2312_prefer(seq):
    # GB 2312 0x212C is DOUBLE VERTICAL LINE; the Consortium's table also
    # gives it U+2225, whose own position is 0x214E.
    return 1 if len(seq) == 2 and (seq[0] & 0x7F, seq[1] & 0x7F) == (0x21, 0x2C) else 0


def _johab_prefer(seq):
    # KS X 1001 annex 3 writes the compatibility jamo as initial-consonant
    # codes (x841) and U+3000 at D931; the fill-code forms 0x84xx read one way.
    return 1 if len(seq) == 2 and seq[0] == 0x84 else 0


def _ibm937_prefer(seq):
    # IBM 937 writes hanzi in their main rows; rows 0x45-0x49 (radicals and
    # duplicates) read one way when the character has another code.
    return 1 if len(seq) == 2 and 0x45 <= seq[0] <= 0x49 else 0


def _euc_jp(roman=False):
    single = cs.jis_roman_lines if roman else cs.ascii_lines
    return _f(single, _gr(cs.jis0208), lambda: cs.halfwidth_katakana(b'\x8e'),
              _gr(_file(JIS0212), b'\x8f'))


def _sjis78():
    def single():
        return cs.controls() + [l for l in cs.read_pairs('eastasia/jis/shiftjis.txt') if len(l[0]) == 1]
    return _f(single, lambda: cs.jis_to_sjis(cs.jis0208_1978()))


_SJIS78_NOTE = ('JIS C 6226-1978 in Shift_JIS form, derived from the Consortium\'s JIS X 0208 table (no owner\'s '
                'table of the 1978 edition is published): the 22 kanji pairs that JIS X 0208-1983 exchanged between '
                'the two levels are exchanged back, the four code points 0x3646, 0x4B6A, 0x4D5A, 0x6076 get back '
                'their 1978 (traditional) forms, which the 1983 edition moved to 0x7421-0x7424, and the 75 characters '
                'that the 1983 edition added (row 2 from 0x223A, the box drawing of row 8, 0x7421-0x7424) and the '
                'two kanji 0x7425-0x7426 of the 1990 edition are removed. Single bytes are JIS X 0201 (Roman and katakana) from the Consortium\'s SHIFTJIS.TXT, '
                'with the C0 controls and DEL as themselves. IBM\'s CCSID 942 uses the 1978 kanji order and serves '
                'as the reference.')
_RT_NOTE = ('The vendor table made reversible: the byte sequences whose character encodes to another sequence (the '
            'decode-only duplicates of the plain twin) are left undefined, so that decoding and encoding are '
            'inverse on the whole repertoire.')


def _cns_1986():
    def go():
        out = cs.ascii_lines()
        for code, cps, h in cs.read_pairs('eastasia/other/cns11643.txt'):
            plane, gl = code[0], code[1:]
            if plane == 1:
                out.append((bytes(x | 0x80 for x in gl), cps, h))
        for code, cps, h in cs.read_pairs('eastasia/other/cns11643.txt'):
            plane, gl = code[0], code[1:]
            if plane in (1, 2):
                out.append((bytes([0x8E, 0xA0 + plane]) + bytes(x | 0x80 for x in gl), cps, h))
        return out
    return go


def _cns_plane(plane, prefix=b''):
    def go():
        return [(prefix + code[1:], cps, h) for code, cps, h in cs.read_pairs('eastasia/other/cns11643.txt')
                if code[0] == plane]
    return go


def _ebcdic(n, sb=None, prefer=None):
    sb = sb or 'icu-ibm-%s-sb' % n
    return ModalSpec(
        ['derived/%s.txt' % sb, 'derived/icu-ibm-%s-db.txt' % n],
        modes=[lambda: cs.derived(sb), lambda: cs.derived('icu-ibm-%s-db' % n)],
        states=[(0, {SO: 1, SI: 0}), (1, {SI: 0, SO: 1})],
        refs=['iconv:IBM%s' % n],
        wraps={1: (SO, SI)}, prefer=prefer,
        note='IBM\'s mixed EBCDIC code page %s as ICU carries IBM\'s CDRA tables: mode 0 is the single-byte half, '
             'mode 1 the double-byte half (pairs 0x40-0xFE, 0x4040 the ideographic space) between SO (0x0E) and '
             'SI (0x0F). A redundant SO in mode 1 or SI in mode 0 is accepted and changes nothing.' % n)


_ISO2022JP_ESC = {ESC + b'(B': 0, ESC + b'$B': 1, ESC + b'$@': 2, ESC + b'(J': 3}


def _no_shift_controls(fn, drop):
    return lambda: [l for l in fn() if l[0] not in drop]


_ASCII_2022 = _no_shift_controls(cs.ascii_lines, (b'\x1b', b'\x0e', b'\x0f'))
_CONTROLS_2022 = _no_shift_controls(cs.controls, (b'\x1b', b'\x0e', b'\x0f'))
_KSC_GL = _only(lambda: [(bytes(x & 0x7F for x in c), u, h) for c, u, h in cs.read_pairs('eastasia/ksc/ksc5601.txt')
                         if c[0] >= 0xA1 and c[1] >= 0xA1], lambda s: True)


def _iso2022jp(roundtrip):
    return ModalSpec(
        [JIS0208, 'eastasia/jis/jis0201.txt'],
        modes=[_ASCII_2022, cs.jis0208, cs.jis0208_1978,
               _no_shift_controls(cs.jis_roman_lines, (b'\x1b', b'\x0e', b'\x0f'))],
        states=[(m, dict(_ISO2022JP_ESC)) for m in range(4)],
        extra=_CONTROLS_2022, refs=['py:iso2022_jp', 'iconv:ISO-2022-JP'],
        wraps={1: (ESC + b'$B', ESC + b'(B'), 2: (ESC + b'$@', ESC + b'(B'), 3: (ESC + b'(J', ESC + b'(B')},
        roundtrip=roundtrip, derived=True,
        note='RFC 1468: mode 0 ASCII, 1 JIS X 0208-1983 (ESC $ B), 2 JIS C 6226-1978 (ESC $ @, derived as for '
             'ShiftJIS78), 3 JIS X 0201 Roman (ESC ( J); the C0 controls except ESC, SO and SI decode in every '
             'mode but are encoded in modes 0 and 3 only, so a line always ends in a single-byte mode.'
             + (' ' + _RT_NOTE if roundtrip else ''))


# --- ISCII, VNI and VIQR -----------------------------------------------------

def _iscii(x):
    return lambda: cs.derived('icu-x-iscii-' + x)


_ISCII_NOTE = ('ISCII-91 %s as ICU\'s ISCII converter reads it (no owner\'s mapping table is published): ASCII below '
               '0x80, the script\'s letters above, and %s. ICU gives halant + halant and halant + nukta as the halant '
               'followed by ZWNJ or ZWJ, and INV + halant as a space and the halant: as sequences of characters they '
               'are left undefined, so those bytes decode one at a time. ATR (0xEF) script switches are not '
               'supported (0xEF is invalid): the table decodes one script. Where the bytes of one character and the '
               'next form a combination (a letter and a following nukta, two dandas), the encoded text reads back '
               'as the combined character, as in ISCII itself. No other '
               'converter with ISCII is installed here (glibc iconv, GNU recode and Python have none), so there is no '
               'independent reference.')
_ISCII_LA = ('the two-byte combinations that ICU gives a character of their own (see the source file: vowels and '
             'vowel signs + nukta; in Devanagari and Bengali also consonants + nukta; in Devanagari also OM, avagraha, '
             'double danda and EXT 0xF0 + byte), decoded with look-ahead: a character is emitted when the next byte '
             'shows that it is not combined with it')
_ISCII_PLAIN = ('the combinations read byte by byte: every two-byte combination ICU knows for this script starts '
                'with a byte that is a character on its own, which a table without look-ahead cannot tell apart, '
                'so the second byte (the nukta 0xE9, invalid alone in this script, or a halant) is read on its own')


def _vni():
    """recode's VNI: ASCII, the letter + diacritic pairs, and the high
    bytes that stand for a letter on their own in VNI.  recode decodes every
    other high byte alone as if it were VISCII (and the C0 bytes 0x02, 0x05,
    0x06, 0x14, 0x19, 0x1E as VISCII's letters); those are not VNI."""
    lines = cs.derived('recode-VNI')
    viscii = dict((seq, cps) for seq, cps, _ in cs.derived('glibc-VISCII'))
    combined = set(cps for seq, cps, _ in lines if len(seq) > 1)
    own = dict((seq, cps) for seq, cps, _ in lines if len(seq) == 1 and seq[0] >= 0x80 and viscii.get(seq) != cps)
    for seq, cps, _ in lines:
        if len(seq) == 1 and seq[0] >= 0x80 and seq not in own and cps not in combined \
                and cps not in own.values():
            own[seq] = cps
    return (cs.ascii_lines() + [l for l in lines if len(l[0]) == 1 and l[0] in own] +
            [l for l in lines if len(l[0]) > 1])


def _viqr():
    """ASCII, recode's letter + mark combinations, and the backslash escape
    of RFC 1456: a backslash before a byte that can continue a letter (a
    mark, or the d and D of DD) keeps it from combining with the letter
    before it, so every sequence that starts with such a byte is also
    listed with a backslash in front (the encoder writes the backslash where
    the letter before would otherwise take the byte)."""
    lines = cs.ascii_lines() + [l for l in cs.derived('recode-VIQR') if len(l[0]) > 1]
    continuing = set(b for seq, _, _ in lines for b in seq[1:])
    return lines + [(b'\\' + seq, cps, hint) for seq, cps, hint in lines if seq[0] in continuing]


_VIET_READ = (' Decoding uses look-ahead: a letter is emitted when the next byte shows that no diacritic follows, '
              'and that byte is read again as the start of the next character.')
_VIET_REFERENCE = (' GNU recode is the only converter installed here that has this '
                   'encoding (glibc iconv, ICU and Python have none), so there is no independent reference.')
_VIET_NOTE = (_VIET_READ + ' Unicode text with a vowel followed '
              'by a character that is itself a diacritic byte cannot be told apart from the combined letter once '
              'encoded, as in the encoding itself.' + _VIET_REFERENCE)


SPECS = {
    # --- zujpn421
    'ShiftJISMS': MbcsSpec([W + 'cp932.txt'], _file(W + 'cp932.txt'), ['py:cp932', 'iconv:CP932', 'icu:ibm-943_P15A-2003'],
                           prefer=_cp932_prefer,
                           note='Windows code page 932. Characters with two codes encode to the JIS row, the NEC '
                                'row 13 or the IBM extension rows 0xFA-0xFC, as Windows does; the NEC-selected IBM '
                                'extension rows 0xED-0xEE decode one way.'),
    'ShiftJISMSRoundtrip': MbcsSpec([W + 'cp932.txt'], _file(W + 'cp932.txt'), ['py:cp932'], prefer=_cp932_prefer,
                                    roundtrip=True, note=_RT_NOTE),
    'ShiftJIS78': MbcsSpec([JIS0208, 'eastasia/jis/shiftjis.txt'], _sjis78(), ['icu:ibm-942_P12A-1999'],
                           derived=True, note=_SJIS78_NOTE),
    'ShiftJIS78Roundtrip': MbcsSpec([JIS0208, 'eastasia/jis/shiftjis.txt'], _sjis78(), ['icu:ibm-942_P12A-1999'],
                                    roundtrip=True, note=_SJIS78_NOTE + ' ' + _RT_NOTE),
    'EUCPkdFmtJapanese': MbcsSpec([JIS0208, JIS0212], _euc_jp(), ['py:euc_jp', 'iconv:EUC-JP'], derived=True,
                                  note='EUC-JP assembled from the Consortium\'s tables: ASCII; JIS X 0208 in GR; '
                                       '0x8E + JIS X 0201 katakana; 0x8F + JIS X 0212 in GR.'),
    'EUCPkdFmtJapaneseRoundtrip': MbcsSpec([JIS0208, JIS0212], _euc_jp(), ['py:euc_jp'], roundtrip=True,
                                           note='As EUCPkdFmtJapanese. ' + _RT_NOTE),
    'EUCJPJISRoman': MbcsSpec([JIS0208, JIS0212, 'eastasia/jis/jis0201.txt'], _euc_jp(True), ['iconv:EUC-JP'],
                              derived=True,
                              note='EUC-JP with JIS X 0201 Roman in G0: 0x5C is YEN SIGN, 0x7E OVERLINE; otherwise '
                                   'as EUCPkdFmtJapanese.'),
    'EUCJPJISRomanRoundtrip': MbcsSpec([JIS0208, JIS0212, 'eastasia/jis/jis0201.txt'], _euc_jp(True),
                                       ['iconv:EUC-JP'], roundtrip=True,
                                       note='As EUCJPJISRoman. ' + _RT_NOTE),
    'ISO87JISX0208': MbcsSpec([JIS0208], _f(cs.controls, cs.jis0208), ['iconv:JIS_X0208'], derived=True,
                              note='JIS X 0208 as bare GL byte pairs 0x2121-0x7E7E, without shifts; the C0 controls '
                                   'and DEL decode and encode as single bytes so that line ends survive.'),
    'CP10001': MbcsSpec([AP + 'JAPANESE.TXT'], _file(AP + 'JAPANESE.TXT'), ['py:cp932'],
                        note='Windows 10001 is Mac OS Japanese, whose owner is Apple. Byte sequences that Apple maps '
                             'to several characters are left undefined.'),
    'MacJapanese': MbcsSpec([AP + 'JAPANESE.TXT'], _file(AP + 'JAPANESE.TXT'), ['py:cp932'],
                            note='Apple\'s table. Byte sequences that Apple maps to several characters are left '
                                 'undefined.'),
    'CCSID942': MbcsSpec(['derived/icu-ibm-942.txt'], lambda: cs.derived('icu-ibm-942'), ['iconv:IBM942'],
                         note='IBM\'s CCSID 942 as ICU carries IBM\'s CDRA table.'),
    'CCSID300': MbcsSpec(['derived/icu-ibm-930-db.txt'], lambda: cs.derived('icu-ibm-930-db'), ['iconv:IBM300'],
                         derived=True,
                         note='CCSID 300 (Japanese DBCS-Host) is the double-byte half of IBM 930/939; pure '
                              'double-byte, no single bytes and no shifts.'),
    'ShiftJIS2004': MbcsSpec(['derived/python-shift_jis_2004.txt'], lambda: cs.derived('python-shift_jis_2004'),
                             ['iconv:SHIFT_JISX0213'],
                             note='Shift_JIS-2004 (JIS X 0213:2004) as Python carries it; the 25 codes that stand for '
                                  'a base letter and a combining mark are left undefined.'),
    # --- zukor421
    'EUCKR': MbcsSpec(['eastasia/ksc/ksc5601.txt'],
                      _f(cs.ascii_lines, _only(_file('eastasia/ksc/ksc5601.txt'),
                                               lambda s: len(s) == 2 and s[0] >= 0xA1 and s[1] >= 0xA1)),
                      ['py:euc_kr', 'iconv:EUC-KR'], derived=True,
                      note='ASCII and the KS C 5601 (KS X 1001) pairs 0xA1A1-0xFEFE of the Consortium\'s table.'),
    'CP949': MbcsSpec([W + 'cp949.txt'], _file(W + 'cp949.txt'), ['py:cp949', 'iconv:CP949']),
    'CP1361': MbcsSpec(['derived/python-johab.txt'], lambda: cs.derived('python-johab'), ['iconv:JOHAB'],
                       prefer=_johab_prefer,
                       note='Windows 1361 is Johab (KS X 1001 annex 3); Microsoft publishes no table.'),
    'Johab': MbcsSpec(['derived/python-johab.txt'], lambda: cs.derived('python-johab'), ['iconv:JOHAB'],
                      prefer=_johab_prefer),
    'CP10003': MbcsSpec([AP + 'KOREAN.TXT'], _file(AP + 'KOREAN.TXT'), ['py:euc_kr'],
                        note='Windows 10003 is Mac OS Korean, whose owner is Apple. Byte sequences that Apple maps to '
                             'several characters are left undefined.'),
    'MacKorean': MbcsSpec([AP + 'KOREAN.TXT'], _file(AP + 'KOREAN.TXT'), ['py:euc_kr'],
                          note='Byte sequences that Apple maps to several characters are left undefined.'),
    # --- zuchi421
    'Big5': MbcsSpec(['eastasia/other/big5.txt'], _f(cs.ascii_lines, _file('eastasia/other/big5.txt')),
                     ['py:big5', 'iconv:BIG5'], derived=True,
                     note='ASCII and the Consortium\'s Big Five table.'),
    'CNS11643EUC': MbcsSpec(['derived/glibc-EUC-TW.txt'], lambda: cs.derived('glibc-EUC-TW'), ['icu:euc-tw-2014'],
                            note='EUC-TW with CNS 11643-1992 planes 1-7 (plane 1 also as 0x8E 0xA1 + pair) as glibc '
                                 'carries it; no owner\'s table is published.'),
    'GB2312': MbcsSpec(['eastasia/gb/gb2312.txt'], _f(cs.ascii_lines, _gr(_file('eastasia/gb/gb2312.txt'))),
                       ['py:gb2312', 'iconv:EUC-CN'], derived=True, prefer=_gb2312_prefer,
                       note='EUC-CN: ASCII and GB 2312 in GR, from the Consortium\'s table.'),
    'CNS11643_1986_EUC': MbcsSpec(['eastasia/other/cns11643.txt'], _cns_1986(), ['iconv:EUC-TW'], derived=True,
                                  note='EUC-TW with the planes of CNS 11643-1986 (1 and 2) from the Consortium\'s '
                                       'table: plane 1 as a GR pair and as 0x8E 0xA1 + pair (decode only), plane 2 as '
                                       '0x8E 0xA2 + pair. The table\'s plane 14 (added in 1988) is left out.'),
    'CP936': MbcsSpec([W + 'cp936.txt'], _file(W + 'cp936.txt'), ['py:gbk', 'iconv:CP936']),
    'CP950': MbcsSpec([W + 'cp950.txt'], _file(W + 'cp950.txt'), ['py:cp950', 'iconv:CP950'],
                      prefer=_big5_radicals_prefer),
    'CP10002': MbcsSpec([AP + 'CHINTRAD.TXT'], _file(AP + 'CHINTRAD.TXT'), ['py:big5'],
                        note='Windows 10002 is Mac OS Chinese Traditional, whose owner is Apple.'),
    'MacChineseTraditional': MbcsSpec([AP + 'CHINTRAD.TXT'], _file(AP + 'CHINTRAD.TXT'), ['py:big5']),
    'MacChineseSimplified': MbcsSpec([AP + 'CHINSIMP.TXT'], _file(AP + 'CHINSIMP.TXT'), ['py:gb2312']),
    'GB12345': MbcsSpec(['eastasia/gb/gb12345.txt'], _f(cs.ascii_lines, _gr(_file('eastasia/gb/gb12345.txt'))),
                        ['iconv:GB_1988-80'], derived=True, prefer=_gb2312_prefer,
                        note='ASCII and GB 12345 in GR (EUC form), from the Consortium\'s table.'),
    'Big5Plus': MbcsSpec([W + 'cp950.txt'], _file(W + 'cp950.txt'), ['py:cp950'], derived=True,
                         prefer=_big5_radicals_prefer,
                         note='Big5+ extends Big5 with code points whose Unicode mapping no owner publishes; the '
                              'table is Microsoft\'s Big5 (code page 950), the nearest published one, so the Big5+ '
                              'extension area decodes as invalid.'),
    'HKSCS': MbcsSpec(['derived/python-big5hkscs.txt'], lambda: cs.derived('python-big5hkscs'),
                      ['iconv:BIG5-HKSCS'], prefer=_hkscs_prefer,
                      note='Big5-HKSCS (HKSCS-2004) as Python carries it; the four codes that stand for a letter and '
                           'a combining mark are left undefined.'),
    'GB18030': Gb18030Spec(['derived/icu-gb18030.txt', 'derived/icu-gb18030-4byte-bmp.txt'], None,
                           ['py:gb18030', 'iconv:GB18030'],
                           note='The multi-byte part of GB18030: one- and two-byte sequences, plus the four-byte BMP '
                                'sequences outside the 63 arithmetic ranges (src/legacy/generated/gb18030_ranges.inc).'),
    # --- zurow421
    'CP10008': MbcsSpec([AP + 'CHINSIMP.TXT'], _file(AP + 'CHINSIMP.TXT'), ['py:gb2312'],
                        note='Windows 10008 is Mac OS Chinese Simplified, whose owner is Apple.'),
    'VIQR': MbcsSpec(['derived/recode-VIQR.txt'], _viqr, derived=True, lookahead=True,
                     note='VIQR (RFC 1456, Vietnamese Quoted-Readable) as GNU recode reads it: 7-bit ASCII in which a '
                          'vowel followed by the marks ( ^ + (breve, circumflex, horn) and then \' ` ? ~ . (acute, '
                          'grave, hook above, tilde, dot below) is one letter, up to three bytes, and DD, Dd, dD, dd '
                          'are D WITH STROKE. Bytes 0x00-0x7F are ASCII (recode reads six C0 bytes and every high '
                          'byte as VISCII; VIQR is 7-bit, so the high bytes are invalid). recode does not implement '
                          'the backslash escape of RFC 1456; this table does: a backslash followed by a mark, d or D, or by a '
                          'letter sequence that begins with d or D, stands for that byte or letter on its own, and the '
                          'encoder writes one where the byte would otherwise combine with the letter before it (a + ( '
                          'is written a\\(, d + d is d\\d, \\ + ( is \\\\(). Other backslashes are themselves.' + _VIET_READ + _VIET_REFERENCE),
    'VNI': MbcsSpec(['derived/recode-VNI.txt', 'derived/glibc-VISCII.txt'], _vni, derived=True, lookahead=True,
                    note='VNI (the VNI fonts\' encoding) as GNU recode reads it: ASCII, a vowel followed by a '
                         'diacritic byte 0xC0-0xFC (upper-case marks after capitals, lower-case after small letters), '
                         'and the 18 high bytes that stand for a letter alone (0xD1/0xF1 D WITH STROKE, 0xD4/0xF4 O '
                         'WITH HORN, 0xD6/0xF6 U WITH HORN, the I and Y forms 0xC6 0xCC 0xCD 0xCE 0xD2 0xD3 0xE6 0xEC '
                         '0xED 0xEE 0xF2 0xF3), which also take the tone marks after O and U WITH HORN. recode reads '
                         'every other high byte alone (and the C0 bytes 0x02 0x05 0x06 0x14 0x19 0x1E) as VISCII; '
                         'those readings are not VNI and are left out (the VNI letters are the high bytes where '
                         'recode differs from VISCII, plus those whose letter no other sequence gives), so a lone '
                         'diacritic byte is invalid.' + _VIET_NOTE),
    'ISCIIDevanagari': MbcsSpec(['derived/icu-x-iscii-de.txt'], _iscii('de'), derived=True, lookahead=True,
                                note=_ISCII_NOTE % ('Devanagari', _ISCII_LA)),
    'ISCIIBengali': MbcsSpec(['derived/icu-x-iscii-be.txt'], _iscii('be'), derived=True, lookahead=True,
                             note=_ISCII_NOTE % ('Bengali', _ISCII_LA)),
    'ISCIIKannada': MbcsSpec(['derived/icu-x-iscii-ka.txt'], _iscii('ka'), derived=True, lookahead=True,
                             note=_ISCII_NOTE % ('Kannada', _ISCII_LA)),
    'ISCIIMalayalam': MbcsSpec(['derived/icu-x-iscii-ma.txt'], _iscii('ma'), derived=True, split_prefixes=True,
                               note=_ISCII_NOTE % ('Malayalam', _ISCII_PLAIN)),
    'ISCIITelugu': MbcsSpec(['derived/icu-x-iscii-te.txt'], _iscii('te'), derived=True, split_prefixes=True,
                            note=_ISCII_NOTE % ('Telugu', _ISCII_PLAIN)),
    # --- modal
    'ISO2022JP': _iso2022jp(False),
    'ISO2022JPRoundtrip': _iso2022jp(True),
    'ISO2022KR': ModalSpec(
        ['eastasia/ksc/ksc5601.txt'],
        modes=[_ASCII_2022, _KSC_GL, lambda: []],
        states=[(0, {SO: 1, SI: 0, ESC + b'$)C': 2}), (1, {SI: 0, SO: 1, ESC + b'$)C': 1}),
                (0, {SO: 1, SI: 0, ESC + b'$)C': 2})],
        extra=_CONTROLS_2022, refs=['py:iso2022_kr', 'iconv:ISO-2022-KR'], derived=True,
        wraps={1: (ESC + b'$)C' + SO, SI)},
        note='RFC 1557: mode 0 ASCII, mode 1 KS C 5601 (GL pairs after SO), mode 2 ASCII after the designation '
             'ESC $ ) C (encodes nothing; the header is written by the converter). C0 controls except ESC, SO, SI '
             'decode in every mode.'),
    'ISO2022CN': ModalSpec(
        ['eastasia/gb/gb2312.txt', 'eastasia/other/cns11643.txt'],
        modes=[_ASCII_2022, _file('eastasia/gb/gb2312.txt'), _cns_plane(1), _cns_plane(2, ESC + b'N')],
        states=[
            (0, {ESC + b'$)A': 0, ESC + b'$)G': 4, ESC + b'$*H': 3, SO: 1, SI: 0}),
            (1, {ESC + b'$)A': 1, ESC + b'$)G': 2, ESC + b'$*H': 1, SO: 1, SI: 0}),
            (2, {ESC + b'$)A': 1, ESC + b'$)G': 2, ESC + b'$*H': 2, SO: 2, SI: 4}),
            (0, {ESC + b'$)A': 0, ESC + b'$)G': 4, ESC + b'$*H': 3, SO: 1, SI: 3}),
            (0, {ESC + b'$)A': 0, ESC + b'$)G': 4, ESC + b'$*H': 4, SO: 2, SI: 4}),
        ],
        extra=lambda: _CONTROLS_2022() + [(ESC + b'N' + c[1:], u, h) for c, u, h in
                                          cs.read_pairs('eastasia/other/cns11643.txt') if c[0] == 2],
        refs=['py:iso2022_cn' if False else 'iconv:ISO-2022-CN'], derived=True, prefer=_gb2312_prefer,
        wraps={1: (ESC + b'$)A' + SO, SI), 2: (ESC + b'$)G' + SO, SI), 3: (ESC + b'$*H', b'')},
        note='RFC 1922: mode 0 ASCII, 1 GB 2312 (ESC $ ) A, SO), 2 CNS 11643 plane 1 (ESC $ ) G, SO), 3 CNS 11643 '
             'plane 2 (ESC $ * H designates it; each character is written as the single shift ESC N and its GL '
             'pair, so mode 3\'s values are four bytes). The decoder keeps the G1 designation apart from the shift '
             'state (state 4: shifted in with plane 1 designated) and reads ESC N pairs in every state. CNS planes '
             'from the Consortium\'s CNS 11643-1986 table.'),
    'CCSID930': _ebcdic('930'),
    'CCSID935': _ebcdic('935'),
    'CCSID937': _ebcdic('937', prefer=_ibm937_prefer),
    'CCSID939': _ebcdic('939', sb='icu-ibm-939-sb'),
    'CCSID1390': _ebcdic('1390'),
}
SPECS['GB18030'].lines = SPECS['GB18030'].lines_all
