#!/usr/bin/env python3
"""Measures auto-detection on the corpus in data/detect/ and writes the
accuracy section of docs/detection.md.

Every document is written in every candidate encoding of its language
(Python codecs), then decoded by `zuconv -f <Language>AutoDetect -t UTF-8`
and, as the peer, detected by Debian's `uchardet` and decoded with the
Python codec of the name it reports. A document counts as right when the
decoded text equals the original. Our misses are grouped by the encoding
that was chosen instead (from `zuconv --guess -v`).

    python3 tools/detect/evaluate.py --zuconv build/default/bin/zuconv
"""
import argparse
import codecs
import collections
import concurrent.futures
import glob
import os
import subprocess
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
CORPUS = os.path.join(ROOT, "data", "detect")
PAGE = os.path.join(ROOT, "docs", "detection.md")
BEGIN, END = "<!-- evaluate.py: begin -->", "<!-- evaluate.py: end -->"

LANGUAGES = {  # corpus folder -> (--guess language, auto-detecting encoding, codecs)
    "ja": ("ja", "JapaneseAutoDetect", ["shift_jis", "euc_jp", "iso2022_jp", "utf-8", "utf-16"]),
    "zh_CN": ("zh", "ChineseAutoDetect", ["hz", "gb2312", "gb18030", "utf-8", "utf-16", "utf-32"]),
    "zh_TW": ("zh", "ChineseAutoDetect", ["big5", "gb18030", "utf-8", "utf-16", "utf-32"]),
    "ko": ("ko", "KoreanAutoDetect", ["iso2022_kr", "euc_kr", "cp949", "utf-8", "utf-16"]),
}
UCHARDET_CODECS = {"uhc": "cp949", "hz-gb-2312": "hz", "ascii": "ascii"}


def peer_decode(name, data):
    codec = UCHARDET_CODECS.get(name.lower(), name.lower())
    try:
        return data.decode(codecs.lookup(codec).name)
    except (LookupError, UnicodeError):
        return None


def run(command):
    return subprocess.run(command, capture_output=True).stdout


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--zuconv", default=os.path.join(ROOT, "build", "default", "bin", "zuconv"))
    args = ap.parse_args()
    rows = []
    misses = collections.Counter()
    examples = {}
    total = collections.Counter()
    with tempfile.TemporaryDirectory() as tmp, concurrent.futures.ThreadPoolExecutor(2) as pool:
        for lang, (guess, detecting, encs) in LANGUAGES.items():
            originals = sorted(glob.glob(os.path.join(CORPUS, lang, "*.txt")))
            texts = [open(p, encoding="utf-8").read() for p in originals]
            for enc in encs:
                paths = []
                for i, text in enumerate(texts):
                    path = os.path.join(tmp, f"{lang}-{enc}-{i:03d}")
                    with open(path, "wb") as f:
                        f.write(text.encode(enc))
                    paths.append(path)
                guesses = {}
                for line in run([args.zuconv, f"--guess={guess}", *paths]).decode().splitlines():
                    path, _, rest = line.rpartition(": ")
                    guesses[path] = rest.rsplit(" ", 1)[0]
                peer = {}
                for line in run(["uchardet", *paths]).decode().splitlines():
                    path, _, name = line.rpartition(": ")
                    peer[path] = name.strip()
                decoded = pool.map(lambda p: run([args.zuconv, "-f", detecting, "-t", "UTF-8", p]), paths)
                ours_right = peer_right = 0
                for path, text, out in zip(paths, texts, decoded):
                    data = open(path, "rb").read()
                    if out.decode("utf-8", "replace") == text:
                        ours_right += 1
                    else:
                        short = "under 200 bytes" if len(text.encode("utf-8")) < 200 else "200 bytes or more"
                        key = (lang, enc, guesses.get(path, "?"), short)
                        misses[key] += 1
                        examples.setdefault(key, os.path.relpath(originals[paths.index(path)], ROOT))
                    if peer_decode(peer.get(path, ""), data) == text:
                        peer_right += 1
                rows.append((lang, enc, len(texts), ours_right, peer_right))
                total["n"] += len(texts)
                total["ours"] += ours_right
                total["peer"] += peer_right
                print(lang, enc, ours_right, peer_right, len(texts))
    lines = [BEGIN, "", "| language | written as | documents | zuuc421 right | uchardet right |",
             "|---|---|---:|---:|---:|"]
    for lang, enc, n, ours, peer in rows:
        lines.append(f"| {lang} | {enc} | {n} | {100 * ours / n:.1f} % | {100 * peer / n:.1f} % |")
    lines.append(f"| **all** | | **{total['n']}** | **{100 * total['ours'] / total['n']:.1f} %** | "
                 f"**{100 * total['peer'] / total['n']:.1f} %** |")
    lines += ["", "Our misses, grouped by what was chosen instead:", "",
              "| language | written as | chosen | length | documents | for example |", "|---|---|---|---|---:|---|"]
    for (lang, enc, chosen, short), count in sorted(misses.items(), key=lambda kv: -kv[1]):
        lines.append(f"| {lang} | {enc} | {chosen} | {short} | {count} | `{examples[(lang, enc, chosen, short)]}` |")
    lines += ["", END]
    page = open(PAGE, encoding="utf-8").read() if os.path.exists(PAGE) else f"{BEGIN}\n{END}\n"
    head, _, rest = page.partition(BEGIN)
    _, _, tail = rest.partition(END)
    with open(PAGE, "w", encoding="utf-8") as f:
        f.write(head + "\n".join(lines) + tail)


if __name__ == "__main__":
    main()
