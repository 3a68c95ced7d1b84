"""Writing a generated file, or with --check failing when it is stale."""

import os


def write_or_check(path, text, argv, root, tool):
    """Writes `text` to `path`; with --check in `argv`, returns 1 when the
    file differs from `text` (naming `tool` to run) and writes nothing."""
    if '--check' in argv[1:]:
        try:
            with open(path, encoding='utf-8') as f:
                current = f.read()
        except FileNotFoundError:
            current = None
        if current != text:
            print('%s is stale: run %s' % (os.path.relpath(path, root), os.path.relpath(tool, root)))
            return 1
        return 0
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    return 0
