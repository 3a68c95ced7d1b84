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
            out, state = gen_mbcs.decode_with(b.rows, seq)
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
