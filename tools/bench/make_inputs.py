#!/usr/bin/env python3
"""Makes the benchmark inputs in data/bench/ from translated manual pages.

Debian ships manual pages translated into many languages (with dpkg, apt,
man-db and others). This script reads those installed under
/usr/share/man/<language>/, strips the roff markup, keeps only the lines
whose every character can be written in all the legacy encodings benchmarked
for that language, and writes about 120 KB of UTF-8 text per language plus
a list of the pages used (data/bench/SOURCES).

    python3 tools/bench/make_inputs.py [--man /usr/share/man] [--out data/bench]

The benchmark program reads these UTF-8 files and makes the legacy forms
itself (with iconv) when it starts. Where the manual pages of a language
hold too little text, the translated messages of installed programs
(/usr/share/locale/<language>/LC_MESSAGES/*.mo) make up the rest.
"""
import argparse
import gzip
import os
import re
import subprocess
import sys

# name -> (man page folders, Python codecs every kept line must survive)
LANGUAGES = {
    "ja": (["ja"], ["shift_jis", "euc_jp", "iso2022_jp"]),
    "zh_CN": (["zh_CN"], ["gb2312", "gb18030"]),
    "zh_TW": (["zh_TW"], ["big5"]),
    "ko": (["ko"], ["euc_kr"]),
    "ru": (["ru", "uk"], ["iso8859_5"]),
    "we": (["de", "fr", "es", "it", "pt", "nl"], ["cp1252"]),
}
TARGET_BYTES = 120 * 1024

ESCAPES = [
    (re.compile(r"\\f(\[[^]]*\]|\(..|.)"), ""),   # font changes
    (re.compile(r"\\s[+-]?\d"), ""),              # size changes
    (re.compile(r"\\\((em|en)"), "-"),
    (re.compile(r"\\\(..|\\\[[^]]*\]"), ""),       # other named characters
    (re.compile(r"\\[-e]"), lambda m: "-" if m.group(0) == "\\-" else "\\"),
    (re.compile(r"\\[&|^/,%:]"), ""),
    (re.compile(r"\\ "), " "),
    (re.compile(r'\\".*$'), ""),                  # comments
]


def text_lines(path):
    try:
        raw = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
        source = raw.decode("utf-8")
    except (OSError, UnicodeDecodeError, EOFError):
        return
    for line in source.splitlines():
        if line.startswith((".", "'")):
            # Keep the text argument of a few text-carrying macros.
            m = re.match(r"^\.(SH|SS|TP|IP|B|I|BR|IR|RB|RI|BI|IB)\s+(.*)$", line)
            if not m:
                continue
            line = m.group(2).replace('"', "")
        for pattern, replacement in ESCAPES:
            line = pattern.sub(replacement, line)
        line = line.strip()
        if len(line) >= 8:
            yield line


def catalogue_lines(path):
    """The translated messages of a compiled gettext catalogue (.mo)."""
    import struct
    try:
        data = open(path, "rb").read()
        magic = struct.unpack("<I", data[:4])[0]
        order = "<" if magic == 0x950412DE else ">"
        _, count, _, translations = struct.unpack(order + "4I", data[4:20])
        for i in range(count):
            length, offset = struct.unpack(order + "2I", data[translations + 8 * i:translations + 8 * i + 8])
            text = data[offset:offset + length].decode("utf-8")
            for part in text.split("\0"):
                for line in part.splitlines():
                    line = line.strip()
                    if len(line) >= 8 and "Content-Type" not in line:
                        yield line
    except (OSError, UnicodeDecodeError, struct.error):
        return


def owner(path):
    try:
        out = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True).stdout
        return out.split(":")[0] if out else "?"
    except OSError:
        return "?"


def encodable(line, codecs):
    for codec in codecs:
        try:
            encoded = line.encode(codec)
            if encoded.decode(codec) != line:
                return False
        except UnicodeError:
            return False
        # Python writes Hangul syllables outside KS X 1001 as eight-byte
        # make-up sequences (A4 D4 ...), which plain EUC-KR (iconv, ICU, this
        # library) does not have: such lines are not EUC-KR text.
        if codec == "euc_kr" and b"\xa4\xd4" in encoded:
            return False
    return True


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--man", default="/usr/share/man")
    ap.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "..", "..", "data", "bench"))
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    sources = []
    for name, (folders, codecs) in LANGUAGES.items():
        kept, size, seen = [], 0, set()
        pages = []
        for folder in folders:
            base = os.path.join(args.man, folder)
            for root, _, files in sorted(os.walk(base)):
                pages += [os.path.join(root, f) for f in sorted(files)]
        used = []
        # Too little manual text: add the translated messages of programs.
        for folder in folders:
            base = os.path.join(os.path.dirname(args.man.rstrip("/")), "locale", folder, "LC_MESSAGES")
            if os.path.isdir(base):
                pages += [os.path.join(base, f) for f in sorted(os.listdir(base)) if f.endswith(".mo")]
        for page in pages:
            if size >= TARGET_BYTES:
                break
            took = False
            lines = catalogue_lines(page) if page.endswith(".mo") else text_lines(page)
            for line in lines:
                if line in seen or not encodable(line, codecs):
                    continue
                seen.add(line)
                kept.append(line)
                size += len(line.encode("utf-8")) + 1
                took = True
                if size >= TARGET_BYTES:
                    break
            if took:
                used.append(page)
        if size < TARGET_BYTES // 4:
            print(f"{name}: only {size} bytes of text found", file=sys.stderr)
        with open(os.path.join(args.out, f"{name}.txt"), "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(kept) + "\n")
        for page in used:
            sources.append(f"{name}\t{owner(page)}\t{page}")
        print(f"{name}: {size} bytes from {len(used)} pages")
    with open(os.path.join(args.out, "SOURCES"), "w", encoding="utf-8") as f:
        f.write("# language\tDebian package\tmanual page (translations under the package's licence)\n")
        f.write("\n".join(sources) + "\n")


if __name__ == "__main__":
    main()
