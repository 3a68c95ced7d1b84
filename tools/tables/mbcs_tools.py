"""Sequence-at-a-time probes of the conversion libraries installed on this
machine, for the multi-byte tables.

Used both to dump program-made sources once (dump_mbcs_sources.py) and to
cross-check the generated multi-byte tables (mbcs_crosscheck.py).  Each probe
decodes one byte sequence at a time from a fresh converter state and answers
the tuple of code points it gives, or None when the library rejects the
sequence, finds it incomplete or has no character for it.

  icu:NAME      ICU 72 (libicuuc) through its C interface, stop callbacks
  iconv:NAME    glibc iconv(3) through its C interface
  py:CODEC      Python's codecs
  recode:NAME   GNU recode 3.6, NAME..UTF-16BE; a whole batch of sequences per
                run, one per line (see RecodeProbe)

Calling the libraries in-process (ctypes) rather than running the command-line
programs once per sequence keeps a probe of 30 000 sequences to seconds.
"""

import codecs
import ctypes
import ctypes.util

_ICU_SUFFIX = '_72'


class _Icu(object):
    lib = None

    @classmethod
    def load(cls):
        if cls.lib is None:
            lib = ctypes.CDLL('libicuuc.so.72')
            for name, res in (('ucnv_open', ctypes.c_void_p), ('ucnv_toUChars', ctypes.c_int32),
                              ('ucnv_fromUChars', ctypes.c_int32), ('ucnv_reset', None),
                              ('ucnv_close', None), ('ucnv_setToUCallBack', None),
                              ('ucnv_setFromUCallBack', None)):
                fn = getattr(lib, name + _ICU_SUFFIX)
                fn.restype = res
            cls.lib = lib
        return cls.lib


def _icu(name):
    return getattr(_Icu.load(), name + _ICU_SUFFIX)


class IcuProbe(object):
    def __init__(self, name):
        err = ctypes.c_int(0)
        self.cnv = ctypes.c_void_p(_icu('ucnv_open')(name.encode('ascii'), ctypes.byref(err)))
        if err.value > 0 or not self.cnv.value:
            raise ValueError('ICU has no converter %s' % name)
        lib = _Icu.load()
        stop_to = ctypes.cast(getattr(lib, 'UCNV_TO_U_CALLBACK_STOP' + _ICU_SUFFIX), ctypes.c_void_p)
        stop_from = ctypes.cast(getattr(lib, 'UCNV_FROM_U_CALLBACK_STOP' + _ICU_SUFFIX), ctypes.c_void_p)
        _icu('ucnv_setToUCallBack')(self.cnv, stop_to, None, None, None, ctypes.byref(err))
        _icu('ucnv_setFromUCallBack')(self.cnv, stop_from, None, None, None, ctypes.byref(err))
        self.out16 = ctypes.create_string_buffer(256)
        self.out8 = ctypes.create_string_buffer(256)

    def decode(self, data):
        err = ctypes.c_int(0)
        _icu('ucnv_reset')(self.cnv)
        n = _icu('ucnv_toUChars')(self.cnv, self.out16, 128, data, len(data), ctypes.byref(err))
        if err.value > 0 or n <= 0:
            return None
        text = self.out16.raw[:2 * n].decode('utf-16-le', 'surrogatepass')
        return tuple(ord(c) for c in text)

    def encode(self, cps):
        err = ctypes.c_int(0)
        src = ''.join(chr(c) for c in cps).encode('utf-16-le')
        _icu('ucnv_reset')(self.cnv)
        n = _icu('ucnv_fromUChars')(self.cnv, self.out8, 256, src, len(src) // 2, ctypes.byref(err))
        if err.value > 0 or n <= 0:
            return None
        return self.out8.raw[:n]


class IconvProbe(object):
    _libc = None

    def __init__(self, name):
        if IconvProbe._libc is None:
            libc = ctypes.CDLL(ctypes.util.find_library('c'), use_errno=True)
            libc.iconv_open.restype = ctypes.c_void_p
            libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
            libc.iconv.restype = ctypes.c_size_t
            libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p),
                                   ctypes.POINTER(ctypes.c_size_t), ctypes.POINTER(ctypes.c_char_p),
                                   ctypes.POINTER(ctypes.c_size_t)]
            IconvProbe._libc = libc
        self.libc = IconvProbe._libc
        self.dec = self.libc.iconv_open(b'UTF-32LE', name.encode('ascii'))
        self.enc = self.libc.iconv_open(name.encode('ascii'), b'UTF-32LE')
        if self.dec in (None, ctypes.c_void_p(-1).value):
            raise ValueError('iconv has no converter %s' % name)
        self.buf = ctypes.create_string_buffer(512)

    def _run(self, cd, data):
        libc = self.libc
        libc.iconv(cd, None, None, None, None)
        inp = ctypes.c_char_p(data)
        inleft = ctypes.c_size_t(len(data))
        outp = ctypes.cast(self.buf, ctypes.c_char_p)
        outleft = ctypes.c_size_t(512)
        r = libc.iconv(cd, ctypes.byref(inp), ctypes.byref(inleft), ctypes.byref(outp), ctypes.byref(outleft))
        if r == ctypes.c_size_t(-1).value or inleft.value:
            return None
        r = libc.iconv(cd, None, None, ctypes.byref(outp), ctypes.byref(outleft))
        if r == ctypes.c_size_t(-1).value:
            return None
        return self.buf.raw[:512 - outleft.value]

    def decode(self, data):
        out = self._run(self.dec, data)
        if not out:
            return None
        return tuple(int.from_bytes(out[i:i + 4], 'little') for i in range(0, len(out), 4))

    def encode(self, cps):
        out = self._run(self.enc, b''.join(c.to_bytes(4, 'little') for c in cps))
        return out or None


class PyProbe(object):
    def __init__(self, codec):
        codecs.lookup(codec)
        self.codec = codec

    def decode(self, data):
        try:
            text = codecs.decode(data, self.codec, 'strict')
        except (UnicodeDecodeError, ValueError):
            return None
        return tuple(ord(c) for c in text) or None

    def encode(self, cps):
        try:
            return codecs.encode(''.join(chr(c) for c in cps), self.codec, 'strict') or None
        except (UnicodeEncodeError, ValueError):
            return None


class RecodeProbe(object):
    """GNU recode has no library interface that Python can reach, and one
    process per sequence would take hours for all byte pairs; decode_many()
    therefore runs recode once over a batch, each sequence followed by a line
    feed (which ends any pending combination), and splits the output at the
    line feeds.  Sequences holding a line feed themselves are not asked."""

    def __init__(self, name):
        import shutil
        if not shutil.which('recode'):
            raise ValueError('recode is not installed')
        self.name = name

    def decode_many(self, datas):
        """Decode each byte string (each ends in a line feed and holds no
        other) on its own; answers the code points, line feed included."""
        import subprocess
        datas = list(datas)
        if any(not d.endswith(b'\n') or b'\n' in d[:-1] for d in datas):
            raise ValueError('recode probe: each sequence must end in its only line feed')
        proc = subprocess.run(['recode', '-f', self.name + '..UTF-16BE'], input=b''.join(datas),
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
        text = proc.stdout.decode('utf-16-be', 'surrogatepass')
        if text.startswith('\ufeff'):
            text = text[1:]
        parts = text.split('\n')
        if proc.returncode != 0 or len(parts) != len(datas) + 1 or parts[-1]:
            raise ValueError('recode %s: %d lines out for %d in' % (self.name, len(parts) - 1, len(datas)))
        return [tuple(ord(c) for c in part) + (0x0A,) for part in parts[:-1]]

    def decode(self, data):
        if b'\n' in data[:-1]:
            return None
        r = self.decode_many([data if data.endswith(b'\n') else data + b'\n'])[0]
        if not data.endswith(b'\n'):
            r = r[:-1]
        return r or None

    def encode(self, cps):
        return None


def probe(spec):
    kind, _, name = spec.partition(':')
    if kind == 'recode':
        return RecodeProbe(name)
    if kind == 'icu':
        return IcuProbe(name)
    if kind == 'iconv':
        return IconvProbe(name)
    if kind == 'py':
        return PyProbe(name)
    raise ValueError('unknown probe kind: ' + spec)


def tool_version(spec):
    kind = spec.partition(':')[0]
    if kind == 'icu':
        return 'ICU 72 (libicuuc.so.72)'
    if kind == 'recode':
        import subprocess
        out = subprocess.run(['recode', '--version'], stdout=subprocess.PIPE, check=False).stdout.decode()
        return out.splitlines()[0] if out else 'GNU recode'
    if kind == 'iconv':
        import platform
        return 'GNU C Library %s iconv' % platform.libc_ver()[1]
    import sys
    return 'Python %d.%d.%d codecs' % sys.version_info[:3]


def scan(p, prefixes=((),), wrap=(b'', b''), lengths=(1, 2), trail=range(256)):
    """Decode every sequence of the given lengths (a prefix, then bytes) and
    return {sequence: code points} for those that give characters and whose
    proper prefixes give none.  wrap adds bytes around each sequence (an
    EBCDIC SO/SI pair) that are not part of the result's key."""
    out = {}
    pre, post = wrap
    for prefix in prefixes:
        prefix = bytes(prefix)
        singles = set()
        if 1 in lengths:
            for b in trail:
                seq = prefix + bytes([b])
                r = p.decode(pre + seq + post)
                if r is not None and len(r) == 1:
                    out[seq] = r
                    singles.add(b)
        if 2 in lengths:
            for lead in range(256):
                if lead in singles:
                    continue
                first = prefix + bytes([lead])
                if p.decode(pre + first + post) is not None:
                    continue
                for b in trail:
                    seq = first + bytes([b])
                    r = p.decode(pre + seq + post)
                    if r is not None:
                        out[seq] = r
    return out


def scan_lookahead(p, alphabet=range(256), depth=3, term=b'\n'):
    """Probe an encoding whose characters may be modified by the bytes that
    follow them (ISCII nukta and halant, VNI and VIQR diacritics).

    Each sequence is decoded on its own followed by a line feed, which ends
    any pending combination.  Single bytes are listed with what they give
    alone.  A longer sequence (up to depth bytes) is listed when it decodes
    and does not give the same as its first part followed by its last byte,
    i.e. when the last byte combines with what precedes it; longer
    sequences are tried only after listed shorter ones that give one
    character.  Sequences that give nothing at all (script switches) are not
    listed.  Returns {sequence: code points}."""
    alphabet = [b for b in alphabet if b != term[0]]
    many = getattr(p, 'decode_many', None)

    def run(seqs):
        raw = many([s + term for s in seqs]) if many else [p.decode(s + term) for s in seqs]
        out = []
        for r in raw:
            if r is None or not r or r[-1] != term[0]:
                out.append(None)
            else:
                out.append(r[:-1])
        return out

    out = {}
    singles = {}
    for b, r in zip(alphabet, run([bytes([b]) for b in alphabet])):
        if r:
            singles[b] = r
            out[bytes([b])] = r
    if term[0] not in singles:
        r = p.decode(term)
        if r:
            out[term] = r
    frontier = [bytes([b]) for b in alphabet]
    for length in range(2, depth + 1):
        cands = [f + bytes([c]) for f in frontier for c in alphabet]
        nxt = []
        for seq, r in zip(cands, run(cands)):
            if not r:
                continue
            head = out.get(seq[:-1])
            last = singles.get(seq[-1])
            if head is not None and last is not None and r == head + last:
                continue
            out[seq] = r
            if len(r) == 1:
                nxt.append(seq)
        frontier = nxt
    return out
