#!/usr/bin/env python3
"""Fails when a source folder includes a folder on a floor above its own.

Floors, bottom to top: platform/; the ground app/; media/; gui/; the simulation (world/,
traps/, traps_flow/, game/, modes/, levelmodel/: they may include one another, except that
traps/ never includes traps_flow/); net/; session/; hud/; the screens (frontend/, editor/,
multiplayer/, installer/, registrar/: they may include one another); the program shell
shell/. tools/, bench/ and the tests may include anything but the shell; tests/shell/ may
include all.

  check_layers.py [ROOT]      check the tree at ROOT (default: the repository)
  check_layers.py --self-test plant one include in each forbidden direction and expect each
                              to be refused with its file and line
"""
import os
import re
import sys
import tempfile

SIMULATION = ["world", "traps", "traps_flow", "game", "modes", "levelmodel"]
SCREENS = ["frontend", "editor", "multiplayer", "installer", "registrar"]
FLOORS = {"platform": 0, "app": 1, "media": 2, "gui": 3, "net": 6, "session": 7, "hud": 8, "shell": 10}
FLOORS.update({name: 5 for name in SIMULATION})
FLOORS.update({name: 9 for name in SCREENS})
# Folders that may include every floor but the shell.
BELOW_SHELL = 9.5
# Pairs on one floor that must not meet: (includer, included).
FORBIDDEN = {("traps", "traps_flow")}

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".c", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def floor_of_file(relative):
    """The floor a file stands on and the folder that names it, or None when unchecked."""
    parts = relative.split("/")
    top = parts[0]
    if top in FLOORS:
        return FLOORS[top], top
    if top in ("tools", "bench"):
        return BELOW_SHELL, top
    if top == "tests" and len(parts) > 2:
        sub = parts[1]
        if sub == "shell":
            return FLOORS["shell"], "tests/shell"
        return BELOW_SHELL, "tests/" + sub
    return None


def check(root):
    findings = []
    for directory, folders, files in os.walk(root):
        relative_dir = os.path.relpath(directory, root)
        if relative_dir == ".":
            folders[:] = [f for f in folders if not f.startswith((".", "build")) and f != "data"]
            continue
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            relative = os.path.join(relative_dir, name).replace(os.sep, "/")
            placed = floor_of_file(relative)
            if placed is None:
                continue
            own_floor, own_folder = placed
            with open(os.path.join(directory, name), encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = match.group(1)
                    if os.path.exists(os.path.join(directory, target)):
                        continue  # a neighbour in the same folder
                    top = target.split("/")[0]
                    if top not in FLOORS:
                        continue
                    if FLOORS[top] > own_floor:
                        findings.append(f"{relative}:{number}: {own_folder}/ may not include "
                                        f'"{target}" ({top}/ stands above it)')
                    elif (own_folder, top) in FORBIDDEN:
                        findings.append(f"{relative}:{number}: {own_folder}/ may not include "
                                        f'"{target}" ({top}/ is kept apart from it)')
    return findings


# The self-test's tree: one include in each forbidden direction (the findings expected at
# file:line), and includes that stay on or below their floor (no finding).
PLANTED = {
    "app/Ground.cpp": '#include "app/Log.h"\n#include "gui/Button.h"\n',
    "traps/Trap.cpp": '#include "traps_flow/StartTrap.h"\n',
    "tools/Tool.cpp": '#include "hud/Hud.h"\n#include "shell/GameWnd.h"\n',
    "world/Flimb.cpp": '#include "game/Controller.h"\n#include "session/Session.h"\n',
    "traps/Door.cpp": '#include "world/Flimb.h"\n#include "levelmodel/MapTrap.h"\n#include "hud/Hud.h"\n',
    "game/Level.cpp": '#include "modes/Mode.h"\n#include "editor/LevelChooser.h"\n',
    "net/Stats.cpp": '#include "modes/Mode.h"\n#include "session/Session.h"\n',
    "session/Session.cpp": '#include "net/Stats.h"\n#include "hud/Hud.h"\n',
    "hud/Hud.cpp": '#include "session/Session.h"\n#include "frontend/Menu.h"\n',
    "frontend/Menu.cpp": '#include "editor/LevelChooser.h"\n#include "hud/Hud.h"\n',
    "traps_flow/Script.cpp": '#include "traps/Trap.h"\n',
    "gui/Button.cpp": '#include "app/Log.h"\n#include "gui/Button.h"\n',
    "shell/GameWnd.cpp": '#include "gui/Button.h"\n#include "frontend/Menu.h"\n',
    "tests/session/SessionTest.cpp": '#include "frontend/Menu.h"\n#include "shell/GameWnd.h"\n',
    "tests/shell/GameTest.cpp": '#include "shell/GameWnd.h"\n',
}
EXPECTED = ["app/Ground.cpp:2:", "traps/Trap.cpp:1:", "tools/Tool.cpp:2:", "world/Flimb.cpp:2:",
            "traps/Door.cpp:3:", "game/Level.cpp:2:", "net/Stats.cpp:2:", "session/Session.cpp:2:",
            "hud/Hud.cpp:2:", "tests/session/SessionTest.cpp:2:"]


def self_test():
    with tempfile.TemporaryDirectory() as root:
        for path, text in PLANTED.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as out:
                out.write(text)
        findings = check(root)
        got = sorted(f.split(" ")[0] for f in findings)
        if got != sorted(EXPECTED):
            print("self-test: expected findings at", *EXPECTED, "got:", *findings, sep="\n  ")
            return 1
        print("self-test: each planted include was refused:", *findings, sep="\n  ")
        return 0


def main(argv):
    if len(argv) > 1 and argv[1] == "--self-test":
        return self_test()
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    findings = check(os.path.abspath(root))
    for finding in findings:
        print(finding)
    if findings:
        print(f"check_layers: {len(findings)} include(s) reach above their floor")
        return 1
    print("check_layers: every include stays on or below its floor")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
