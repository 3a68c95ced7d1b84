#!/usr/bin/env python3
"""Makes data/bench/accented.txt: real accented European text for the
normalization benchmark.

The general benchmark texts keep only lines that their legacy encodings can
hold, which leaves the Western European one nearly all ASCII. This script
reads the translated manual pages that Debian installs for French, Czech,
Polish, Portuguese, Spanish, Hungarian, Romanian and German (the roff
reading of tools/bench/make_inputs.py) and keeps the lines in which at least
one character in twenty is a precomposed letter with a diacritic, up to
about 120 KB of UTF-8. The pages used go to data/bench/accented.SOURCES.

    python3 tools/normalization/make_accented_text.py [--man /usr/share/man]
"""
import argparse
import os
import sys
import unicodedata

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "bench"))
import make_inputs  # noqa: E402

FOLDERS = ["fr", "cs", "pl", "pt", "es", "hu", "ro", "de"]
TARGET_BYTES = 120 * 1024
PER_FOLDER = TARGET_BYTES // len(FOLDERS)


def accented(ch):
    return unicodedata.decomposition(ch)[:1] not in ("", "<")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--man", default="/usr/share/man")
    args = ap.parse_args()
    out = os.path.join(os.path.dirname(__file__), "..", "..", "data", "bench")
    kept, seen, used = [], set(), []
    for folder in FOLDERS:
        size = 0
        for root, _, files in sorted(os.walk(os.path.join(args.man, folder))):
            for page in (os.path.join(root, f) for f in sorted(files)):
                if size >= PER_FOLDER:
                    break
                took = False
                for line in make_inputs.text_lines(page):
                    line = unicodedata.normalize("NFC", line)
                    if line in seen or sum(map(accented, line)) * 20 < len(line):
                        continue
                    seen.add(line)
                    kept.append(line)
                    size += len(line.encode("utf-8")) + 1
                    took = True
                    if size >= PER_FOLDER:
                        break
                if took:
                    used.append(f"{folder}\t{make_inputs.owner(page)}\t{page}")
        print(f"{folder}: {size} bytes")
    with open(os.path.join(out, "accented.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(kept) + "\n")
    with open(os.path.join(out, "accented.SOURCES"), "w", encoding="utf-8") as f:
        f.write("# language\tDebian package\tmanual page (translations under the package's licence)\n")
        f.write("\n".join(used) + "\n")


if __name__ == "__main__":
    main()
