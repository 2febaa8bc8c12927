#!/usr/bin/env python3
"""Reads every #include "..." of src/, tools/, server/, host/ and tests/ and names each one that
runs up a layer, as file:line. Exit status 1 when there is one.

    check_layers.py [project folder]

A part is the folder an include names: "engine/X.h" is the engine's, "framework/widgets/X.h" the
framework's widgets (the longest folder listed wins). A file belongs to the part of its folder.
It may include its own part and the parts below it: those BELOW names, and theirs in turn. The
build draws the same walls (each target shows only its own folder and links only what lies below
it); this check names the line, and reads the tests too.
"""

import os
import re
import sys

# Each part and the parts directly below it.
BELOW = {
    # The module (src/), from the wire up.
    "protocol": [],
    "appserver": ["protocol"],
    "framework": ["protocol"],
    "framework/widgets": ["framework"],
    "framework/localtransport": ["framework", "appserver"],
    "reportengine": ["framework"],
    "reportengine/widgets": ["reportengine", "framework/widgets"],
    "engine": ["framework"],
    "data": ["engine"],
    "reports": ["data", "reportengine"],
    "ui": ["reports", "reportengine/widgets", "framework/widgets"],
    "entry": ["ui", "framework/localtransport"],
    # The programs on top.
    "server": ["appserver"],
    "tools/dbtools": ["appserver"],
    "tools": ["reports", "tools/dbtools", "framework/localtransport"],
    "tools/window": ["tools", "ui"],
    "tools/viewer": ["data", "framework/widgets", "framework/localtransport"],
    "host": ["framework/widgets", "framework/localtransport"],
}

# The tests of a part (tests/<folder>/) include that part and what lies below it, the shared
# helpers of tests/support, and the folders of other tests named here (those alone, not what they
# may include). A folder that checks several parts together names them.
TESTS = {
    # Seeded databases and the sessions on them, the server core in-process.
    "tests/support": ["framework/localtransport", "tools/dbtools"],
    "tests/protocol": ["protocol"],
    # Databases made with the site tools' schema loader.
    "tests/appserver": ["appserver", "tools/dbtools"],
    "tests/framework": ["framework/widgets", "framework/localtransport", "tests/appserver"],
    "tests/reportengine": ["reportengine/widgets"],
    "tests/engine": ["engine"],
    "tests/data": ["data", "tests/data/support"],
    # Companies built case by case for the generation, on SQLite and PostgreSQL.
    "tests/data/support": ["data", "framework/localtransport", "tools/dbtools"],
    "tests/reports": ["reports"],
    "tests/ui": ["ui", "tests/data", "tests/data/support"],
    "tests/entry": ["entry"],
    # qacsemaf-server reached as a workstation reaches it, through the framework's connection (or
    # the same core in-process, to compare); the site tools hold its database busy.
    "tests/server": ["server", "framework", "framework/localtransport", "tools/dbtools"],
    "tests/db": ["tools/dbtools"],
    "tests/tools": ["tools"],
    # The host against qacsemaf-server started as a program.
    "tests/host": ["host", "tests/server"],
    # The look-up's conditions, from the dialog to the rows the server core serves.
    "tests/lookup": ["ui", "appserver", "tests/appserver"],
    # The main form on the demo database and against the data module's runs.
    "tests/mainform": ["ui", "tests/data", "tests/data/support", "tests/server"],
    # An analyst's day through the host, the module and qacsemaf-server.
    "tests/journeys": ["host", "tests/server"],
}

FOLDERS = ["src", "tools", "server", "host", "tests"]
SOURCES = (".h", ".hpp", ".c", ".cc", ".cpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def part_of(path, parts):
    """The longest part that `path` (a folder or a file, from the root of the includes) lies in."""
    best = None
    for part in parts:
        if (path == part or path.startswith(part + "/")) and (best is None or len(part) > len(best)):
            best = part
    return best


def reach(part, seen=None):
    """The parts that `part` may include: itself and all below it."""
    seen = set() if seen is None else seen
    if part not in seen:
        seen.add(part)
        for lower in BELOW[part]:
            reach(lower, seen)
    return seen


def allowed_for(owner):
    if owner in BELOW:
        return reach(owner)
    allowed = {owner, "tests/support"}
    for part in TESTS[owner]:
        allowed |= reach(part) if part in BELOW else {part}
    return allowed


def sources(root):
    """Every source file under FOLDERS, from the root, in a steady order."""
    for folder in FOLDERS:
        for here, dirs, files in os.walk(os.path.join(root, folder)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCES):
                    yield os.path.relpath(os.path.join(here, name), root)


def faults_of(root, file, parts):
    # Files of src/ belong to the part their folder names without "src/", as includes write it.
    within = file[len("src/"):] if file.startswith("src/") else file
    owner = part_of(os.path.dirname(within), parts)
    if owner is None:
        yield f"{file}: its folder is in no row of the table"
        return
    allowed = allowed_for(owner)
    with open(os.path.join(root, file), encoding="utf-8", errors="replace") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue   # a file of the same folder, or one the build generates beside it
            target = match.group(1)
            part = part_of(target, parts)
            if ".." in target.split("/") or target.startswith("./"):
                yield f'{file}:{number}: "{target}" is relative; name the part ("engine/X.h")'
            elif part is None:
                yield f'{file}:{number}: "{target}" names no part of the table'
            elif part not in allowed:
                yield f'{file}:{number}: {owner} includes "{target}" of {part}, which is not below it'


def check(root):
    parts = list(BELOW) + list(TESTS)
    return [fault for file in sources(root) for fault in faults_of(root, file, parts)]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) run up a layer (the table is in {os.path.relpath(__file__, root)})")
        return 1
    print("every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
