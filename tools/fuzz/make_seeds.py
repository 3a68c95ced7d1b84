#!/usr/bin/env python3
"""Writes the committed seed corpora of the hardening fuzz targets into
fuzz/corpus/<target>/ (the formatting targets keep their own seeds).

The conversion targets get one seed per value of the first byte, so every
encoding starts with an input of its own; the texts mix ASCII, escapes, kana,
hangul and hanzi in several byte forms. --check fails when a seed differs.
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
