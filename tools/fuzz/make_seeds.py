#!/usr/bin/env python3
"""Writes the committed seed corpora of the hardening fuzz targets into
fuzz/corpus/<target>/ (the formatting targets keep their own seeds).

The conversion targets get one seed per value of the first byte, so every
encoding starts with an input of its own; the texts mix ASCII, escapes, kana,
hangul and hanzi in several byte forms. The normalizer gets every form and
transform over marks, Hangul, compatibility characters and singletons; the
collation target string pairs for every table variant and damaged files.
--check fails when a seed differs.
"""
import argparse
import os
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'fuzz', 'corpus')

MIXED = ('Hi, caf\u00e9 \u20ac \u65e5\u672c\u8a9e \u3053\u3093\u306b\u3061\u306f \ud55c\uad6d '
         '\u4e2d\u6587 \u0416 \uff76\U0001F600\n')


def code_points(text):
    """The encode target's code point form: ASCII bytes, 0xFF + 3 bytes otherwise."""
    out = bytearray()
    for ch in text:
        c = ord(ch)
        out += bytes([c]) if c < 0x80 and c != 0 else bytes([0xFF, c >> 16, (c >> 8) & 0xFF, c & 0xFF])
    return bytes(out)


def decode_text():
    raw = bytearray(b'plain ASCII\r\n')
    for codec in ('shift_jis', 'euc_jp', 'iso2022_jp', 'euc_kr', 'gb2312', 'big5', 'utf-8', 'utf-16-be'):
        raw += MIXED.encode(codec, errors='ignore')[:40]
    raw += b'~{<:~}+AGEAWQ-\xef\xbb\xbf\x80\xff\xfe\x1b$)C\x0e!!\x0f'
    return bytes(raw)


def seeds():
    decode = decode_text()
    encode = code_points(MIXED + '\\\u00a5\u203e\ufffd\U00020021\uffff') + b'\xff\x00\xd8\x3d\xff\x11\x00\x00'
    result = {}
    for i in range(256):
        result[('decode', 'e%03d' % i)] = bytes([i, i * 7 & 0xFF, i * 13 & 0xFF]) + decode
        result[('encode', 'e%03d' % i)] = bytes([i, i * 7 & 0xFF, i * 13 & 0xFF]) + encode
    japanese = '\u3053\u308c\u306f\u65e5\u672c\u8a9e\u306e\u6587\u7ae0\u3067\u3059\u3002\u30ab\u30bf\u30ab\u30ca'
    for n, (codec, text) in enumerate([('shift_jis', japanese), ('euc_jp', japanese), ('iso2022_jp', japanese),
                                       ('gb2312', '\u8fd9\u662f\u4e2d\u6587\u7684\u53e5\u5b50\u3002'),
                                       ('big5', '\u9019\u662f\u4e2d\u6587\u7684\u53e5\u5b50\u3002'),
                                       ('euc_kr', '\ud55c\uad6d\uc5b4 \ubb38\uc7a5\uc785\ub2c8\ub2e4.'),
                                       ('utf-8', japanese)]):
        for k in range(3):
            result[('autodetect', '%s-%d' % (codec, k))] = bytes([k, n, 3]) + (text * 3).encode(codec)
    for name in ('UTF-8', 'Shift_JIS', 'windows-1252', 'ISO-8859-1', 'iso_8859-1:1987', 'EUC-KR', 'csISO2022JP',
                 'x-mac-japanese', 'UTF-16BE', 'UTF-32LE', 'BigEndian', 'ByteOrderMark', 'GB18030',
                 'Big5-HKSCS', 'cp437', 'ibm-037'):
        result[('names', name.replace(':', '_'))] = name.encode()
    result[('names', 'codepage')] = b'\xe4\x04\x00\x00'
    for n in range(6):
        result[('strings', 'ops%d' % n)] = bytes([n % 3]) + bytes((n * 37 + k * 11) & 0xFF for k in range(64))
    kana = '\u304b\u304d\u3083\u3063\u3071 \u30ab\u30ad\u30e3\u30c3\u30d1 \uff76\uff9e\uff8a\uff9f ' \
           'kyoutto shi tsu n\'a \u4e00\u4e8c\u5341\u767e\u5343\u4e07 123 \uff21\uff42 ABC abc \\ \u00a5\r\n\u2028'
    for t in range(29):
        result[('transforms', 't%02d' % t)] = bytes([t, (t * 5) % 29, 1, t, t & 1]) + code_points(kana)
    sgml = ('&amp; &lt;&gt; &eacute;&Eacute; &#65;&#x42;&#X43; &#1114111; &#x110000; &#xD800; &bogus; '
            '&amp &#; &#x; &nbsp;&hearts;&thetasym; &' + 'a' * 40 + '; text')
    for n in range(3):
        result[('sgml', 's%d' % n)] = bytes([0, 0x80 if n == 0 else n * 9, n, 1, n]) + code_points(sgml)
    marks = ('e\u0301 \u00e9 \u1e0b\u0323 q\u0307\u0323 \uac00\u11a8 \u1100\u1161\u11a8 \ufb01 \u2126 \u212b '
             '\u00c5 \u0344 \u0f73 \u1e9b\u0323 \ud55c\uad6d\uc5b4 \u304b\u3099 \uff76\uff9e \u2460 \u00bd '
             '\U0001d15e\U0001d160 a\u0315\u0300\u05ae\u0300b \u0958 \u2adc\u0338 \u0d4a \u1025\u102e '
             '\u03d3 \u1fee \u3131 \u0345\u0300 \ufdfa \U0002f800 \u0378\u0301 \ufffe')
    odd = b'\xff\x00\xd8\x00\xff\x00\xdc\x01\xff\x11\x00\x00\xff\x0e\x01\x00'
    for form in range(4):
        for path in range(3):
            result[('normalize', 'f%d-p%d' % (form, path))] = (bytes([form | path << 2, form * 37 + path, path * 11])
                                                               + code_points(marks) + (odd if path == 0 else b''))
    pairs = [('cote', 'c\u00f4te'), ('C\u00f4te', 'cote'), ('a-b', 'ab'), ('de luge', 'deluge'),
             ('\u0e40\u0e01', '\u0e01\u0e40'), ('\u0438\u0306', '\u0439'), ('\u4e00\u9fa5', '\u3400'),
             ('\uac00\u11a8', '\u1100\u1161\u11a8'), ('e\u0301\u0323', 'e\u0323\u0301'),
             ('\u0fb2\u0f71\u0f80', '\u0fb2\u0f81'), ('Stra\u00dfe', 'Strasse'), ('\U00020000x', '\ufffdx'),
             ('\ud800a', '\uffffa'), ('\u2f00', '\u4e00'), ('A\u0301!', 'a\u0301?')]
    for n, (a, b) in enumerate(pairs):
        result[('collation', 'pair%02d' % n)] = bytes([0, n % 7, n * 9]) + code_points(a) + b'\x00' + code_points(b)
    edits = bytes([3, 0, 6, 0, 5, 0, 0, 0, 1, 0x10, 0, 0x10, 0, 0, 0, 0x12, 7, 0, 0, 0, 0, 0]) + b'A\x00\x01\x03'
    result[('collation', 'file-edited')] = bytes([1]) + edits
    result[('collation', 'file-swapped')] = bytes([5, 1, 0, 4, 0, 0x00, 0x0E, 0, 0])
    result[('collation', 'file-cut')] = bytes([9, 0, 0x00, 0x40, 0, 0])
    result[('collation', 'file-raw')] = bytes([3]) + b'\xff\xfe\x00\x00' + bytes(range(40))
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--check', action='store_true', help='fail when a committed seed differs')
    args = parser.parse_args()
    stale = []
    for (target, name), data in sorted(seeds().items()):
        path = os.path.join(ROOT, target, name)
        if args.check:
            if not os.path.exists(path) or open(path, 'rb').read() != data:
                stale.append(path)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)
    if stale:
        print('stale seeds: ' + ', '.join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
