#!/usr/bin/env python3
"""Fails when a framework folder includes a header of a folder above it.

The folders are layers: Utils at the bottom, Core on it, Control and Layout on top. Control and
Layout are one layer: the list is a vertical layout, and the list view (in Layout) is a tile
layout with the list's items and selection, so each includes the other. A lower layer that needs
something of a higher one asks for it through a registry or an interface the higher one fills.

Usage: check_layers.py SKINUI_FOLDER [--counts]
With --counts it prints, for each pair of folders, how many include lines go upwards.
"""

import pathlib
import re
import sys

LEVEL = {"Utils": 0, "Core": 1, "Control": 2, "Layout": 2}

# Files that live in a lower folder but sit on a higher layer by design: the skinned-window
# base and the window shadow are utilities built on the window host.
SITS_ON_CORE = ("Utils/WinImplBase", "Utils/UIShadow")

INCLUDE = re.compile(r'^\s*#\s*include\s+"(\w+)/([^"]+)"', re.M)


def upward_includes(root):
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or path.parent.name not in LEVEL:
            continue
        folder = path.parent.name
        name = f"{folder}/{path.stem}"
        for target_folder, _ in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            if target_folder not in LEVEL or LEVEL[target_folder] <= LEVEL[folder]:
                continue
            allowed = name.startswith(SITS_ON_CORE) and LEVEL[target_folder] <= LEVEL["Core"]
            yield path.relative_to(root), folder, target_folder, allowed


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = pathlib.Path(argv[1])
    found = list(upward_includes(root))
    if "--counts" in argv:
        counts = {}
        for path, folder, target, allowed in found:
            key = (folder, target, "allowed" if allowed else "forbidden")
            lines, files = counts.get(key, (0, set()))
            files.add(path)
            counts[key] = (lines + 1, files)
        for (folder, target, kind), (lines, files) in sorted(counts.items()):
            print(f"{folder} -> {target} ({kind}): {lines} lines in {len(files)} files")
    bad = [(path, target) for path, _, target, allowed in found if not allowed]
    for path, target in bad:
        print(f"{path}: includes a header of {target}, a higher layer", file=sys.stderr)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
