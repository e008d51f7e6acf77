#!/usr/bin/env python3
"""Fails when a source folder includes a folder on a floor above its own.

Floors, bottom to top: platform/; the ground app/; media/; gui/; the game's subsystems
(world/ ... registrar/, which may include one another, except that traps/ never includes
traps_flow/); the program shell shell/. tools/, bench/ and the tests may include anything
but the shell; tests/<folder>/ stands on its folder's floor, tests/shell/ may include all.

  check_layers.py [ROOT]      check the tree at ROOT (default: the repository)
  check_layers.py --self-test plant a ground file that includes gui/ and expect a finding
"""
import os
import re
import sys
import tempfile

SUBSYSTEMS = ["world", "game", "traps", "traps_flow", "modes", "levelmodel", "net", "session", "hud",
              "frontend", "editor", "multiplayer", "installer", "registrar"]
FLOORS = {"platform": 0, "app": 1, "media": 2, "gui": 3, "shell": 5}
FLOORS.update({name: 4 for name in SUBSYSTEMS})
# Folders that may include every floor but the shell.
BELOW_SHELL = 4.5
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
        if sub in FLOORS:
            return FLOORS[sub], sub
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
                    if FLOORS[top] > own_floor or (own_folder, top) in FORBIDDEN:
                        findings.append(f"{relative}:{number}: {own_folder}/ may not include "
                                        f'"{target}" ({top}/ stands above it)')
    return findings


def self_test():
    with tempfile.TemporaryDirectory() as root:
        for folder in ("app", "gui", "traps", "traps_flow", "shell", "tools"):
            os.makedirs(os.path.join(root, folder))
        planted = {
            "app/Ground.cpp": '#include "app/Log.h"\n#include "gui/Button.h"\n',
            "traps/Trap.cpp": '#include "traps_flow/StartTrap.h"\n',
            "tools/Tool.cpp": '#include "shell/GameWnd.h"\n',
            "gui/Button.cpp": '#include "app/Log.h"\n#include "gui/Button.h"\n',
            "shell/GameWnd.cpp": '#include "gui/Button.h"\n#include "traps_flow/StartTrap.h"\n',
        }
        for path, text in planted.items():
            with open(os.path.join(root, path), "w") as out:
                out.write(text)
        findings = check(root)
        expected = ["app/Ground.cpp:2:", "traps/Trap.cpp:1:", "tools/Tool.cpp:1:"]
        got = sorted(f.split(" ")[0] for f in findings)
        if got != sorted(expected):
            print("self-test: expected findings at", expected, "got:", *findings, sep="\n  ")
            return 1
        print("self-test: the planted includes were found:", *findings, sep="\n  ")
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
