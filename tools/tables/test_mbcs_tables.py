"""Self-tests of the multi-byte table generator: the state machines decode
what their charsets say (and reject what they do not), the plane tables
encode back, the Roundtrip twins are reversible, GB18030's ranges match the
design's fixed points, and the generated files are up to date."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_mbcs  # noqa: E402
import gen_gb18030  # noqa: E402
import mbcs_charsets  # noqa: E402

_CACHE = {}


def built(acc):
    if acc not in _CACHE:
        _CACHE.update((b.entry.accessor, b) for b in gen_mbcs.build_all(only=[acc]))
    return _CACHE[acc]


class MachineTest(unittest.TestCase):
    def check_charset_machine(self, acc):
        b = built(acc)
        c = b.charsets[0]
        for row in b.rows:
            self.assertEqual(len(row), 256)
        for seq, cp in c.decode.items():
            out, state = gen_mbcs.decode_with(b.rows, seq, lookahead=b.lookahead)
            self.assertEqual((out, state), ([cp], 0), '%s %s' % (acc, seq.hex()))
        for cp, seq in c.encode.items():
            self.assertEqual(b.planes[0].lookup(cp), int.from_bytes(seq, 'big'))
            self.assertEqual(c.decode[seq], cp, 'encoding must round-trip')

    def test_major_tables_decode_and_encode_consistently(self):
        for acc in ('ShiftJISMS', 'EUCPkdFmtJapanese', 'GB2312', 'CP936', 'Big5', 'CP950', 'EUCKR', 'CP949',
                    'GB18030', 'HKSCS', 'CNS11643EUC'):
            self.check_charset_machine(acc)

    def test_invalid_trail_and_truncation(self):
        b = built('ShiftJISMS')
        out, state = gen_mbcs.decode_with(b.rows, b'\x81\x20A')
        self.assertEqual(out, [None, 0x41])  # lead + bad trail: one invalid sequence, then 'A'
        out, state = gen_mbcs.decode_with(b.rows, b'\x82')
        self.assertEqual(out, [])
        self.assertNotEqual(state, 0)  # input ends inside a sequence
        self.assertEqual(gen_mbcs.decode_with(b.rows, b'\x82\xa0')[0], [0x3042])

    def test_euc_jp_single_shifts(self):
        b = built('EUCPkdFmtJapanese')
        self.assertEqual(gen_mbcs.decode_with(b.rows, b'\x8e\xb1')[0], [0xFF71])
        self.assertEqual(gen_mbcs.decode_with(b.rows, b'\x8f\xb0\xa1')[0], [0x4E02])
        self.assertEqual(b.planes[0].lookup(0x4E02), 0x8FB0A1)
        self.assertTrue(b.planes[0].wide_values)

    def test_euc_tw_four_byte_plane_states(self):
        b = built('CNS11643EUC')
        self.assertTrue(b.wide)
        out, _ = gen_mbcs.decode_with(b.rows, b'\x8e\xa2\xa1\xa1')
        self.assertEqual(out, [0x4E42])
        self.assertTrue(any(cp > 0xFFFF for cp in b.charsets[0].decode.values()))

    def test_roundtrip_twin_is_reversible(self):
        plain, rt = built('ShiftJISMS'), built('ShiftJISMSRoundtrip')
        self.assertTrue(plain.charsets[0].decode_only)
        c = rt.charsets[0]
        self.assertEqual(len(c.decode), len(c.encode))
        for seq, cp in c.decode.items():
            self.assertEqual(c.encode[cp], seq)
        # Windows' own choice for duplicated characters: IBM rows, not NEC-selected ones.
        self.assertEqual(plain.charsets[0].encode[0x2170], b'\xfa\x40')
        self.assertEqual(plain.charsets[0].encode[0x2252], b'\x81\xe0')

    def test_jis78_derivation(self):
        j83 = dict((c, u) for c, u, _ in mbcs_charsets.jis0208())
        j78 = dict((c, u) for c, u, _ in mbcs_charsets.jis0208_1978())
        self.assertEqual(len(j83) - len(j78), 77)
        self.assertEqual(j78[b'\x30\x33'], j83[b'\x72\x4d'])
        self.assertEqual(j78[b'\x36\x46'], j83[b'\x74\x21'])
        self.assertNotIn(b'\x74\x21', j78)

    def test_iso2022jp_modes(self):
        b = built('ISO2022JP')
        self.assertEqual([len(p.map) > 0 for p in b.planes], [True] * 4)
        out, state = gen_mbcs.decode_with(b.rows, b'a\x1b$B\x24\x22\x1b(Bb')
        self.assertEqual((out, state), ([0x61, 0x3042, 0x62], 0))
        out, state = gen_mbcs.decode_with(b.rows, b'\x1b(J\x5c')
        self.assertEqual((out, state), ([0x00A5], 3))
        self.assertEqual(b.planes[1].lookup(0x3042), 0x2422)
        self.assertEqual(b.planes[1].lookup(0x0A), b.planes[1].marker)  # line ends only in single-byte modes

    def test_iso2022cn_single_shift_and_designation(self):
        b = built('ISO2022CN')
        data = b'\x1b$)A\x0e\x30\x21\x1b$*H\x1bN\x21\x21\x0fa'
        out, state = gen_mbcs.decode_with(b.rows, data)
        self.assertEqual(out, [0x554A, 0x4E42, 0x61])
        self.assertEqual(state, 0)
        self.assertEqual(b.planes[3].lookup(0x4E42), 0x1B4E2121)

    def test_ebcdic_mixed_shift(self):
        b = built('CCSID930')
        out, state = gen_mbcs.decode_with(b.rows, b'\x0e\x40\x40\x0f')
        self.assertEqual((out, state), ([0x3000], 0))
        self.assertEqual(b.planes[1].lookup(0x3000), 0x4040)


class LookAheadTest(unittest.TestCase):
    """ISCII, VNI and VIQR: a character is known only once the next byte
    shows that nothing modifies it."""

    def decode(self, acc, data):
        b = built(acc)
        return gen_mbcs.decode_with(b.rows, data, lookahead=b.lookahead)

    def test_every_character_then_every_single_byte(self):
        # Whatever follows a complete character and does not extend it is
        # read again from the start: the pair decodes to the two characters.
        for acc in ('ISCIIDevanagari', 'ISCIIBengali', 'ISCIIKannada', 'VNI', 'VIQR'):
            b = built(acc)
            self.assertTrue(b.lookahead)
            MachineTest.check_charset_machine(self, acc)
            c = b.charsets[0]
            singles = dict((s, cp) for s, cp in c.decode.items() if len(s) == 1)
            for seq, cp in c.decode.items():
                for t, tcp in singles.items():
                    if any(k.startswith(seq + t) for k in c.decode):
                        continue
                    self.assertEqual(self.decode(acc, seq + t), ([cp, tcp], 0), '%s %s+%s' % (acc, seq.hex(), t.hex()))

    def test_iscii_nukta_and_danda_combinations(self):
        self.assertEqual(self.decode('ISCIIKannada', b'\xa6\xe9\xa6\xa4'), ([0x0C8C, 0x0C87, 0x0C85], 0))
        self.assertEqual(self.decode('ISCIIKannada', b'\xa6'), ([0x0C87], 0))  # completed at the end of input
        self.assertEqual(self.decode('ISCIIDevanagari', b'\xb3\xe9\xea\xe9\xea\xea\xea'),
                         ([0x0958, 0x093D, 0x0965, 0x0964], 0))
        self.assertEqual(self.decode('ISCIIDevanagari', b'\xf0\xb8')[0], [0x0952])  # EXT
        self.assertEqual(self.decode('ISCIIBengali', b'\xbf\xe9')[0], [0x09DC])
        # halant + halant has no single character: two halants.
        self.assertEqual(self.decode('ISCIIKannada', b'\xe8\xe8')[0], [0x0CCD, 0x0CCD])
        self.assertIn(b'\xe8\xe8', [s for s, _ in built('ISCIIKannada').charsets[0].dropped])
        self.assertEqual(self.decode('ISCIIDevanagari', b'\xef\x42')[0][0], None)  # no script switching
        self.assertEqual(built('ISCIIDevanagari').planes[0].lookup(0x0950), 0xA1E9)

    def test_plain_multibyte_iscii_reads_combinations_byte_by_byte(self):
        for acc, base in (('ISCIITelugu', 0x0C00), ('ISCIIMalayalam', 0x0D00)):
            b = built(acc)
            self.assertFalse(b.lookahead)
            MachineTest.check_charset_machine(self, acc)
            c = b.charsets[0]
            self.assertIn(b'\xa6\xe9', [s for s, _ in c.split])
            self.assertEqual(gen_mbcs.decode_with(b.rows, b'\xa6\xe9\xa4')[0], [base + 0x07, None, base + 0x05])
            self.assertEqual(b.planes[0].lookup(base + 0x0C), b.planes[0].marker)  # vocalic L not encodable

    def test_vni(self):
        b = built('VNI')
        self.assertEqual(self.decode('VNI', b'Vie\xe4t \xf1a\xf9 \xf4\xf9 A\xd1'),
                         ([0x56, 0x69, 0x1EC7, 0x74, 0x20, 0x0111, 0xE1, 0x20, 0x1EDB, 0x20, 0x41, 0x0110], 0))
        self.assertEqual(self.decode('VNI', b'\xc1')[0], [None])    # a diacritic alone is not a character
        self.assertEqual(self.decode('VNI', b'\x80\x02')[0], [None, 0x02])  # recode's VISCII readings left out
        self.assertEqual(b.planes[0].lookup(0x1EA5), 0x61E1)
        self.assertEqual(b.planes[0].lookup(0x0110), 0xD1)
        self.assertEqual(b.planes[0].lookup(0x00CD), 0xCD)
        self.assertFalse(b.planes[0].wide_values)

    def test_viqr(self):
        b = built('VIQR')
        self.assertEqual(self.decode('VIQR', b"Vie^.t dda^'x a^"),
                         ([0x56, 0x69, 0x1EC7, 0x74, 0x20, 0x0111, 0x1EA5, 0x78, 0x20, 0xE2], 0))
        self.assertEqual(self.decode('VIQR', b'\xe1')[0], [None])   # VIQR is 7-bit
        self.assertEqual(self.decode('VIQR', b'\x02')[0], [0x02])
        self.assertEqual(b.planes[0].lookup(0x1EA5), 0x615E27)      # three bytes: 32-bit values
        self.assertEqual(b.planes[0].lookup(0x0110), 0x4444)        # DD, not the decode-only Dd or dD
        self.assertTrue(b.planes[0].wide_values)
        # The backslash escape: before a byte that continues a letter it
        # keeps the byte apart; anywhere else it is itself.
        self.assertEqual(self.decode('VIQR', b'a\\( d\\dd \\x\\')[0],
                         [0x61, 0x28, 0x20, 0x64, 0x0111, 0x20, 0x5C, 0x78, 0x5C])
        self.assertEqual(b.planes[0].lookup(0x28), 0x28)

    def test_viqr_sequences_follow_rfc1456_marks(self):
        # An independent check of recode's data: each letter is the base
        # letter with the combining marks that RFC 1456 assigns to the
        # quoted characters, composed.
        import unicodedata
        marks = {'(': '\u0306', '^': '\u0302', '+': '\u031b', "'": '\u0301', '`': '\u0300', '?': '\u0309',
                 '~': '\u0303', '.': '\u0323'}
        c = built('VIQR').charsets[0]
        letters = 0
        escaped = dict((s[1:], cp) for s, cp in c.decode.items() if s[:1] == b'\\' and len(s) > 1)
        for seq, cp in escaped.items():
            self.assertEqual(c.decode[seq], cp, seq)
        for seq, cp in c.decode.items():
            text = seq.decode('ascii')
            if len(seq) == 1 or text.lower() == 'dd' or text[0] == '\\':
                continue
            want = unicodedata.normalize('NFC', text[0] + ''.join(marks[m] for m in text[1:]))
            self.assertEqual(chr(cp), want, text)
            letters += 1
        self.assertEqual(letters, 132)  # 12 vowels x 2 cases x 6 tones, less the 12 plain ASCII vowels
        self.assertEqual(sorted(cp for s, cp in c.decode.items() if s.lower() == b'dd'), [0x0110, 0x0110, 0x0110, 0x0111])


class LookAheadScanTest(unittest.TestCase):
    """The probe that lists combinations, against a stand-in converter:
    'a' then '^' combines, 'a^' then "'" combines again, 'x' never does."""

    class Fake(object):
        table = {b'a': 'a', b'^': '^', b"'": "'", b'x': 'x', b'a^': '\u00e2', b"a^'": '\u1ea5', b'\n': '\n'}

        def decode(self, data):
            out = ''
            i = 0
            while i < len(data):
                for n in (3, 2, 1):
                    if data[i:i + n] in self.table:
                        out += self.table[data[i:i + n]]
                        i += n
                        break
                else:
                    return None
            return tuple(ord(c) for c in out)

    def test_scan_finds_exactly_the_combinations(self):
        import mbcs_tools
        got = mbcs_tools.scan_lookahead(self.Fake(), alphabet=b"a^'x\n")
        self.assertEqual(sorted(s for s in got if len(s) > 1), [b'a^', b"a^'"])
        self.assertEqual(got[b"a^'"], (0x1EA5,))
        self.assertEqual(got[b'\n'], (0x0A,))


class Gb18030Test(unittest.TestCase):
    def test_ranges_as_designed(self):
        ranges, singles = gen_gb18030.choose()
        self.assertEqual(len(ranges), 63)
        self.assertEqual(ranges[0], (0x9FA6, 0xD7FF, 0x82358F33, 0x8336C738))
        self.assertEqual(ranges[1], (0x0452, 0x200F, 0x8130D330, 0x8136A531))
        self.assertEqual(ranges[2], (0xE865, 0xF92B, 0x8336D030, 0x84308534))
        self.assertEqual(ranges[-2], (0xFFE6, 0xFFFF, 0x8431A234, 0x8431A439))
        self.assertEqual(ranges[-1], (0x10000, 0x10FFFF, 0x90308130, 0xE3329A35))
        self.assertEqual(gen_gb18030.range_lookup(ranges, 0x10FFFF), bytes.fromhex('E3329A35'))
        self.assertEqual(gen_gb18030.range_decode(ranges, bytes.fromhex('90308130')), 0x10000)
        for a, b, s, t in ranges:  # each range is pure arithmetic
            self.assertEqual(gen_gb18030.linear(t) - gen_gb18030.linear(s), b - a)

    def test_every_bmp_four_byte_sequence_is_covered_once(self):
        ranges, singles = gen_gb18030.choose()
        b = built('GB18030')
        table = b.charsets[0].decode
        seen = 0
        for lin in range(39420):
            seq = gen_gb18030.sequence(lin)
            if seq in table:
                seen += 1
                continue
            self.assertIsNotNone(gen_gb18030.range_decode(ranges[:-1], seq), seq.hex())
        self.assertEqual(seen, len(singles))
        self.assertEqual(table[bytes.fromhex('8135F437')], 0xE7C7)
        self.assertEqual(b.planes[0].lookup(0x1E3F), 0xA8BC)  # the table wins over the range


class GeneratedFilesTest(unittest.TestCase):
    def test_up_to_date(self):
        for path, text in gen_mbcs.render_all().items():
            with open(path, encoding='utf-8') as f:
                self.assertEqual(f.read(), text, path + ' is stale: run tools/tables/gen_mbcs.py')


if __name__ == '__main__':
    unittest.main()
