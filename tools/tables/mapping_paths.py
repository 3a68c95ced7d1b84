"""Where the generators find a mapping file.

Most inputs are pinned in data/mappings. A few Unicode Consortium files
(the eastasia tables listed in RESTRICTED) may be used to make products but
not redistributed, so they are not kept in this repository: the generators
read them from the shared data folder beside the checkout (or from the
folder named by ZUUC_RESTRICTED_MAPPINGS) when the tables are regenerated.
The committed tables made from them need neither.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, '..', '..'))
MAPPINGS = os.path.join(ROOT, 'data', 'mappings')

RESTRICTED = (
    'eastasia/jis/shiftjis.txt',
    'eastasia/jis/jis0201.txt',
    'eastasia/jis/jis0208.txt',
    'eastasia/jis/jis0212.txt',
    'eastasia/other/big5.txt',
    'eastasia/other/cns11643.txt',
    'eastasia/gb/gb2312.txt',
    'eastasia/gb/gb12345.txt',
)


def mapping_path(rel):
    """The path of the mapping file `rel` (relative to data/mappings)."""
    local = os.path.join(MAPPINGS, rel)
    if os.path.exists(local) or rel.replace(os.sep, '/') not in RESTRICTED:
        return local
    for folder in (os.environ.get('ZUUC_RESTRICTED_MAPPINGS'),
                   os.path.join(ROOT, '..', 'shared', 'data', 'mappings')):
        if folder and os.path.exists(os.path.join(folder, rel)):
            return os.path.join(folder, rel)
    raise FileNotFoundError(
        '%s is not redistributable and is not kept in data/mappings; set '
        'ZUUC_RESTRICTED_MAPPINGS to a folder holding the Unicode Consortium '
        'mapping tree' % rel)
