#!/usr/bin/env python3
"""Checks the layering of the library and the game.

Each folder sits on a layer; a file may include headers of its own folder,
of folders on lower layers, and of folders beside it on its own layer, but
only the public headers of another folder: the ox_*.h files. platform/ and
core/ are the library's base: the library's folders may include every
header of theirs but platform/'s internal ones (listed below); the game and
the examples only their ox_*.h headers, like everyone else's. Folders
beside each other must not include each other both ways.

    check_layers.py SOURCE_DIR
Prints each offending include and exits 1, or exits 0 when all is well.
"""
import os
import re
import sys

LAYERS = {
    "platform": 0,
    "core": 1,
    "draw": 2, "sound": 2, "input": 2,
    "frame": 3,
    "game": 4,
    "examples": 5,
}
# Headers of platform/ that only platform/ itself may include: the drivers'
# private parts.
PLATFORM_INTERNAL = {
    "backend.h", "headless.h", "input_script.h", "replay_file.h", "drivers.h",
    "audio_driver.h", "joystick_driver.h", "gamepad_driver.h", "font_driver.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    top = path.split("/", 1)[0]
    return top if top in LAYERS else None


LIBRARY = {"platform", "core", "draw", "sound", "input", "frame"}
BASE = {"platform", "core"}


def public(header, includer):
    folder, name = header.split("/", 1)[0], os.path.basename(header)
    if name.startswith("ox_"):
        return True
    if folder in BASE and includer in LIBRARY:
        return name not in PLATFORM_INTERNAL if folder == "platform" else True
    return False


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    problems = []
    sideways = set()
    for folder in LAYERS:
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root)
                with open(os.path.join(root, path), encoding="utf-8") as f:
                    text = f.read()
                for header in INCLUDE.findall(text):
                    target = folder_of(header)
                    if target is None or target == folder:
                        continue
                    if LAYERS[target] > LAYERS[folder]:
                        problems.append(f"{path}: includes {header} of a higher layer")
                    elif not public(header, folder):
                        problems.append(f"{path}: includes {header}, internal to {target}/")
                    if LAYERS[target] == LAYERS[folder]:
                        sideways.add((folder, target))
    for a, b in sorted(sideways):
        if (b, a) in sideways and a < b:
            problems.append(f"{a}/ and {b}/ include each other")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
