#!/usr/bin/env python3
"""Makes the detection corpus in data/detect/ from translated text shipped by
Debian packages (manual pages under /usr/share/man/<lang>/ and program
messages under /usr/share/locale/<lang>/LC_MESSAGES/*.mo).

Each document is a run of consecutive lines of one page or catalogue, cut to
a target length between about 40 bytes and 6 KB (a third under 200 bytes),
kept only when every candidate encoding of its language writes it and reads
it back unchanged. The originals are stored in UTF-8
(data/detect/<lang>/NNN.txt, with data/detect/MANIFEST naming the package
and file each came from); tools/detect/evaluate.py writes them out in every
candidate encoding.

    python3 tools/detect/make_corpus.py [--check]

The corpus depends on the packages installed: --check compares with what
they give now, so with other packages installed than MANIFEST names it
reports the corpus stale (the committed corpus is what the measurements use).
"""
import argparse
import hashlib
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "bench"))
import make_inputs  # noqa: E402  (text extraction shared with the benchmark texts)

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
OUT = os.path.join(ROOT, "data", "detect")
DOCUMENTS = 100  # per language

# language -> (folder under man/ and locale/, Python codecs of its candidates)
LANGUAGES = {
    "ja": ("ja", ["shift_jis", "euc_jp", "iso2022_jp", "utf-8", "utf-16"]),
    "zh_CN": ("zh_CN", ["hz", "gb2312", "gb18030", "utf-8", "utf-16", "utf-32"]),
    "zh_TW": ("zh_TW", ["big5", "gb18030", "utf-8", "utf-16", "utf-32"]),
    "ko": ("ko", ["iso2022_kr", "euc_kr", "cp949", "utf-8", "utf-16"]),
}


def fits(text, codecs):
    if not any(ord(c) > 0x7F for c in text):
        return False  # pure ASCII says nothing about the language's encodings
    # The same bytes in the Microsoft and the standard forms, so that the
    # reference decoding does not depend on which table a reader uses.
    if "shift_jis" in codecs:
        data = text.encode("shift_jis", "replace")
        if data != text.encode("cp932", "replace") or data.decode("cp932", "replace") != text:
            return False
    return make_inputs.encodable(text, codecs)


def sources(folder):
    man = os.path.join("/usr/share/man", folder)
    pages = []
    for root, _, files in sorted(os.walk(man)):
        pages += [os.path.join(root, f) for f in sorted(files)]
    locale = os.path.join("/usr/share/locale", folder, "LC_MESSAGES")
    if os.path.isdir(locale):
        pages += [os.path.join(locale, f) for f in sorted(os.listdir(locale)) if f.endswith(".mo")]
    return pages


def cut(text, limit):
    """The longest prefix of whole characters within `limit` UTF-8 bytes."""
    data = text.encode("utf-8")[:limit]
    return data.decode("utf-8", "ignore")


def make_language(name, folder, codecs):
    # Each language has its own random numbers, and pages are taken in an
    # order fixed by their paths, so that a package installed or removed
    # later changes as few documents as possible.
    rng = random.Random(f"421-{name}")
    pages = sorted(sources(folder), key=lambda p: hashlib.sha1(p.encode()).hexdigest())
    documents = []
    for page in pages:
        if len(documents) >= DOCUMENTS:
            break
        lines = list(make_inputs.catalogue_lines(page) if page.endswith(".mo")
                     else make_inputs.text_lines(page))
        lines = [l for l in lines if fits(l, codecs)]
        if not lines:
            continue
        # One or two documents per source, of random target size.
        for _ in range(2):
            short = len(documents) % 3 == 0
            target = rng.randint(40, 199) if short else int(200 * (30 ** rng.random()))
            start = rng.randrange(len(lines))
            text = ""
            for line in lines[start:]:
                if len((text + line + "\n").encode("utf-8")) > target:
                    if not text:
                        text = cut(line, target)
                    break
                text += line + "\n"
            if len(text.encode("utf-8")) >= 40 and fits(text, codecs):
                documents.append((text, page))
            if len(documents) >= DOCUMENTS:
                break
    return documents


def owners(paths):
    """The Debian package of each path (one dpkg query for all)."""
    # Pages reached through alternatives (vi, view) belong to their target.
    real = {path: os.path.realpath(path) for path in paths}
    found = {}
    out = subprocess.run(["dpkg", "-S", *sorted(set(real.values()))], capture_output=True,
                         text=True).stdout
    for line in out.splitlines():
        package, _, path = line.partition(": ")
        found[path] = package.split(":")[0]
    return {path: found.get(target, "?") for path, target in real.items()}


def build():
    files = {}
    sources_of = {}
    for name, (folder, codecs) in LANGUAGES.items():
        for i, (text, page) in enumerate(make_language(name, folder, codecs)):
            path = f"{name}/{i:03d}.txt"
            files[path] = text
            sources_of[path] = page
    package = owners(sources_of.values())
    manifest = ["# file\tDebian package\tsource (translations under the package's licence)"]
    for path, page in sources_of.items():
        manifest.append(f"{path}\t{package[page]}\t{page}")
    files["MANIFEST"] = "\n".join(manifest) + "\n"
    return files


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--check", action="store_true", help="fail when data/detect is stale")
    args = ap.parse_args()
    files = build()
    stale = []
    for path, text in sorted(files.items()):
        full = os.path.join(OUT, path)
        old = open(full, encoding="utf-8").read() if os.path.exists(full) else None
        if old != text:
            stale.append(path)
            if not args.check:
                os.makedirs(os.path.dirname(full), exist_ok=True)
                with open(full, "w", encoding="utf-8", newline="\n") as f:
                    f.write(text)
    if args.check and stale:
        print(f"data/detect is stale: {len(stale)} files differ", file=sys.stderr)
        return 1
    print(f"{len(files) - 1} documents, {len(stale)} written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
