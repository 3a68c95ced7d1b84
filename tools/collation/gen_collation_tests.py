#!/usr/bin/env python3
"""Write the reference order of the collation tests.

A small, separate implementation of the Unicode Collation Algorithm (levels
1 to 3, variable elements shifted) over data/uca/allkeys.txt sorts a word
list in Latin, Greek and Cyrillic with accents, case and ligatures, and
writes it to tests/collation/uca_order.txt in that order.  Decomposition
uses Python's own unicodedata (every character of the list decomposes the
same way in Unicode 4.0).  Words that the first three levels do not tell
apart are left out, so the order is strict.

Usage:  python3 tools/collation/gen_collation_tests.py [--check]
"""

import os
import re
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOURCE = os.path.join(ROOT, 'data', 'uca', 'allkeys.txt')
TARGET = os.path.join(ROOT, 'tests', 'collation', 'uca_order.txt')

sys.path.insert(0, os.path.join(ROOT, 'tools', 'chardb'))
import gen_unicode_tables as chardb  # noqa: E402  (the write-or-check step)

WORDS = '''
a A á Á à â ä Ä å Å ã æ Æ ǽ aa ab Ab ad Ad ae Ae AE aé ah
b B bä ba Ba bá baa bad Bad bäd bade bé bee bëe be be-e
c C ç Ç cote côte coté côté Cote Côte cœur coeur cOeur Cœur
d D đ Đ ð Ð dz ǳ Dz ǲ DZ Ǳ
e E é É è ê ë ĕ ē eé ée
f F ﬁ fi Fi FI ﬂ fl ffi ﬃ
g G ğ
h H
i I í ì ı İ ĳ ij Ij IJ Ĳ
l L ł Ł ll
n N ñ Ñ ng
o O ó ö Ö ő ø Ø œ Œ oe OE Oe
p P pé pe Pe
r R ř Ř
s S ß ss SS sß ś š Š ſ st ﬆ
t T þ Þ th
u U ú ü Ü ű ů
v V w W
y Y ý ÿ
z Z ź ž Ž ż
Straße Strasse strasse Strassen Sträßchen
naïve naive Naive NAIVE naïf
résumé resume Resume résume
Ärger Arger arger Äpfel Apfel apfel
façade facade Façade
piñata pinata
Œuvre œuvre oeuvre
ça ca Ca Ça
Kraków Krakow Łódź Lodz Gdańsk Gdansk
Dvořák Dvorak
α Α ά Ά ἀ ἄ ᾶ ᾳ ᾼ β Β γ Γ δ ε έ Ε ζ η ή Η θ ι ί ϊ ΐ Ι Ϊ κ λ μ ν ξ ο ό Ο π ρ σ ς Σ τ υ ύ ϋ ΰ Υ φ χ ψ ω ώ Ω
αλφα Άλφα άλφα αλφά Αλφα ΑΛΦΑ βήτα Βήτα γάμμα δέλτα έψιλον ωμέγα Ωμέγα
ίσος ισος Ίσος ϊσος
а А б в г ґ д е ё Е Ё ж з и й И Й і ї к л м н о п р с т у ў ф х ц ч ш щ ъ ы ь э ю я Я
ёж еж Ёж Еж ежик ёжик
йод иод Йод
мир Мир МИР мiр
Русь русь рус русский Русский
шьют шют
'''.split()
WORDS = list(dict.fromkeys(WORDS))


def read_table(path):
    table = {}
    pattern = re.compile(r'\[([.*])([0-9A-F]+)\.([0-9A-F]+)\.([0-9A-F]+)\.[0-9A-F]+\]')
    with open(path, encoding='utf-8') as f:
        for line in f:
            body = line.split('#', 1)[0].strip()
            if not body or body.startswith('@'):
                continue
            left, right = body.split(';', 1)
            cps = tuple(int(x, 16) for x in left.split())
            table[cps] = [(v == '*', int(p, 16), int(s, 16), int(t, 16))
                          for v, p, s, t in pattern.findall(right)]
    return table


def implicit(cp):
    if 0x4E00 <= cp <= 0x9FFF or 0xF900 <= cp <= 0xFAFF:
        base = 0xFB40
    elif 0x3400 <= cp <= 0x4DBF or 0x20000 <= cp <= 0x2A6DF:
        base = 0xFB80
    else:
        base = 0xFBC0
    return [(False, base + (cp >> 15), 0x20, 0x02), (False, (cp & 0x7FFF) | 0x8000, 0, 0)]


def elements(table, text):
    cps = [ord(c) for c in unicodedata.normalize('NFD', text)]
    longest = max(len(k) for k in table)
    out = []
    i = 0
    while i < len(cps):
        for n in range(min(longest, len(cps) - i), 0, -1):
            piece = tuple(cps[i:i + n])
            if piece in table:
                out.extend(table[piece])
                i += n
                break
        else:
            out.extend(implicit(cps[i]))
            i += 1
    return out


def sort_key(table, text):
    """Levels 1-3 with variable elements shifted away."""
    levels = ([], [], [])
    after_variable = False
    for variable, p, s, t in elements(table, text):
        if variable or (after_variable and p == 0):
            after_variable = after_variable or variable
            continue
        after_variable = False
        for level, w in zip(levels, (p, s, t)):
            if w:
                level.append(w)
    return tuple(levels[0]), tuple(levels[1]), tuple(levels[2])


def build():
    table = read_table(SOURCE)
    keyed = {}
    for word in WORDS:
        keyed.setdefault(sort_key(table, word), []).append(word)
    lines = ['# Words in the order of the Unicode Collation Algorithm 4.0.0 (allkeys.txt, levels 1-3,',
             '# variable elements shifted), written by tools/collation/gen_collation_tests.py.']
    for key in sorted(keyed):
        if len(keyed[key]) == 1:
            lines.append(keyed[key][0])
    return '\n'.join(lines) + '\n'


def main():
    return chardb.write_files(os.path.dirname(TARGET), {os.path.basename(TARGET): build()},
                              '--check' in sys.argv[1:])


if __name__ == '__main__':
    sys.exit(main())
