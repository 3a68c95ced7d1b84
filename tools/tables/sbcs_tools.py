"""Byte-at-a-time probes of the conversion programs installed on this machine.

Both the one-off dumps of program-made sources (dump_sources.py) and the
cross-check against independent references (crosscheck.py) decode every
single byte 0x00..0xFF on its own through a program and record what comes out.
A probe returns a dict byte -> tuple of code points; bytes that the program
rejects (or turns into nothing) are absent.

Kinds of probe (written "kind:name"):
  iconv:NAME        glibc iconv, NAME -> UTF-16BE, one byte per run
  iconv-sb:NAME     the same for a stateful EBCDIC DBCS code page, read in its
                    initial single-byte mode (its single-byte half)
  uconv:NAME        ICU uconv with the "stop" callback
  uconv-sb:NAME     ICU's single-byte half of a stateful EBCDIC code page
  recode:NAME       GNU recode NAME..UTF-16 (big-endian, no byte-order mark)
  py:CODEC          Python's codecs
  charmap:NAME      glibc's charmap file /usr/share/i18n/charmaps/NAME.gz,
                    its single-byte entries only
"""

import codecs
import gzip
import re
import subprocess

# The shift bytes of the stateful EBCDIC code pages: the probe of a single-byte
# half skips them (they switch modes rather than stand for a character).
_EBCDIC_SHIFTS = (0x0E, 0x0F)


def _utf16be_to_cps(data):
    text = data.decode('utf-16-be', errors='strict')
    # recode -f writes a byte-order mark first.
    if text.startswith('\ufeff'):
        text = text[1:]
    return tuple(ord(c) for c in text)


def _run(args, byte):
    proc = subprocess.run(args, input=bytes([byte]), stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, check=False)
    if proc.returncode != 0 or not proc.stdout:
        return None
    return proc.stdout


def _probe_program(make_args, skip=()):
    table = {}
    for b in range(256):
        if b in skip:
            continue
        out = _run(make_args(), b)
        if out is None:
            continue
        cps = _utf16be_to_cps(out)
        if cps:
            table[b] = cps
    return table


def _probe_python(codec):
    table = {}
    for b in range(256):
        try:
            text = codecs.decode(bytes([b]), codec, 'strict')
        except UnicodeDecodeError:
            continue
        if text:
            table[b] = tuple(ord(c) for c in text)
    return table


_CHARMAP_LINE = re.compile(r'^<U([0-9A-Fa-f]{4,8})>\s+/x([0-9a-fA-F]{2})\s')


def _probe_charmap(name):
    table = {}
    path = '/usr/share/i18n/charmaps/%s.gz' % name
    in_map = False
    with gzip.open(path, 'rt', encoding='latin-1') as f:
        for line in f:
            if line.startswith('CHARMAP'):
                in_map = True
                continue
            if line.startswith('END CHARMAP'):
                break
            if not in_map:
                continue
            m = _CHARMAP_LINE.match(line)
            if not m:
                continue
            b = int(m.group(2), 16)
            # The first entry for a byte is its decoding; later ones are
            # alternative spellings.
            table.setdefault(b, (int(m.group(1), 16),))
    return table


def probe(spec):
    """Decode every byte through the reference named by spec ("kind:name")."""
    kind, _, name = spec.partition(':')
    if kind == 'iconv':
        return _probe_program(lambda: ['iconv', '-f', name, '-t', 'UTF-16BE'])
    if kind == 'iconv-sb':
        return _probe_program(lambda: ['iconv', '-f', name, '-t', 'UTF-16BE'],
                              skip=_EBCDIC_SHIFTS)
    if kind == 'uconv':
        return _probe_program(lambda: ['uconv', '-f', name, '-t', 'UTF-16BE',
                                       '--from-callback', 'stop'])
    if kind == 'uconv-sb':
        return _probe_program(lambda: ['uconv', '-f', name, '-t', 'UTF-16BE',
                                       '--from-callback', 'stop'],
                              skip=_EBCDIC_SHIFTS)
    if kind == 'recode':
        return _probe_program(lambda: ['recode', '-f', name + '..UTF-16'])
    if kind == 'py':
        return _probe_python(name)
    if kind == 'charmap':
        return _probe_charmap(name)
    raise ValueError('unknown probe kind: ' + spec)


def tool_version(spec):
    """A one-line description of the program behind a probe."""
    kind = spec.partition(':')[0]
    try:
        if kind.startswith('iconv') or kind == 'charmap':
            out = subprocess.run(['ldd', '--version'], stdout=subprocess.PIPE,
                                 check=False).stdout.decode().splitlines()[0]
            return 'GNU C Library (%s)' % out.split(')')[-1].strip() if ')' in out else out
        if kind.startswith('uconv'):
            return subprocess.run(['uconv', '--version'], stdout=subprocess.PIPE,
                                  check=False).stdout.decode().strip()
        if kind == 'recode':
            return subprocess.run(['recode', '--version'], stdout=subprocess.PIPE,
                                  check=False).stdout.decode().splitlines()[0]
        if kind == 'py':
            import sys
            return 'Python %d.%d.%d codecs' % sys.version_info[:3]
    except (OSError, IndexError):
        pass
    return kind
