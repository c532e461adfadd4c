#!/usr/bin/env python3
"""Checks the includes against the layers that the CMake libraries draw.

Fails when a project include does not name its folder from the project root, when files include
each other in a circle (a header and its source count as one file), or when a program file
includes a file of a library that its own library does not link, directly or below.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM_FOLDERS = ("base", "app", "timesync", "settings", "ui")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
COMMAND = re.compile(r"\b(add_library|add_executable|target_link_libraries)\s*\(([^)]*)\)", re.S)
KEYWORDS = {"STATIC", "OBJECT", "SHARED", "INTERFACE", "WIN32", "PUBLIC", "PRIVATE"}


def sources():
    listed = subprocess.check_output(["git", "ls-files", "*.h", "*.cpp", "*.c"], cwd=ROOT, text=True)
    return [path for path in listed.split() if os.path.exists(os.path.join(ROOT, path))]


def read_targets():
    """Library and executable of the program: their files and what each links."""
    files, links = {}, {}
    lists = ["CMakeLists.txt"] + [
        os.path.relpath(os.path.join(folder, "CMakeLists.txt"), ROOT)
        for top in PROGRAM_FOLDERS
        for folder, _, names in os.walk(os.path.join(ROOT, top))
        if "CMakeLists.txt" in names
    ]
    for cmake in lists:
        folder = os.path.dirname(cmake)
        text = re.sub(r"#.*", "", open(os.path.join(ROOT, cmake), encoding="utf-8").read())
        for command, arguments in COMMAND.findall(text):
            name, *rest = [word for word in arguments.split() if word not in KEYWORDS]
            if command == "target_link_libraries":
                links.setdefault(name, set()).update(rest)
            else:
                files.setdefault(name, set()).update(
                    os.path.normpath(os.path.join(folder, word))
                    for word in rest
                    if word.endswith((".cpp", ".c")))
    return files, links


def below(target, links):
    """Every library that the target links, directly or through another."""
    seen, todo = set(), [target]
    while todo:
        for name in links.get(todo.pop(), ()):
            if name not in seen:
                seen.add(name)
                todo.append(name)
    return seen


def target_of(path, files, links):
    """The library of a source; a header belongs to its source's library or to its folder's."""
    stem, folder = os.path.splitext(path)[0], os.path.dirname(path)
    owners = [t for t, paths in files.items() if any(os.path.splitext(p)[0] == stem for p in paths)]
    if not owners:
        owners = [t for t, paths in files.items() if any(os.path.dirname(p) == folder for p in paths)]
        # Of several libraries in one folder, a shared header belongs to the one the others link.
        lowest = [t for t in owners if all(t == o or t in below(o, links) for o in owners)]
        owners = lowest or owners
    return owners[0] if len(owners) == 1 else None


def circles(edges):
    """The groups of files that include each other in a circle (Tarjan's algorithm)."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for other in edges.get(node, ()):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            group = []
            while not group or group[-1] != node:
                group.append(stack.pop())
                on_stack.discard(group[-1])
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in sorted(edges):
        if node not in index:
            visit(node)
    return groups


def main():
    files, links = read_targets()
    faults, edges = [], {}
    for path in sources():
        text = open(os.path.join(ROOT, path), encoding="utf-8").read()
        unit = os.path.splitext(path)[0]
        for included in INCLUDE.findall(text):
            if not os.path.exists(os.path.join(ROOT, included)):
                beside = os.path.join(os.path.dirname(path), included)
                if os.path.exists(os.path.join(ROOT, beside)):
                    faults.append(f'{path}: "{included}" names no folder ("{beside}")')
                continue
            if os.path.splitext(included)[0] != unit:
                edges.setdefault(unit, set()).add(os.path.splitext(included)[0])
            if not path.startswith(tuple(f + "/" for f in PROGRAM_FOLDERS)):
                continue
            mine, theirs = target_of(path, files, links), target_of(included, files, links)
            if mine is None or theirs is None:
                faults.append(f"{path}: no library holds {path if mine is None else included}")
            elif mine != theirs and theirs not in below(mine, links):
                faults.append(f'{path} ({mine}) includes "{included}" ({theirs}), '
                              f"a library that {mine} does not link")
    for group in circles(edges):
        faults.append("files include each other in a circle: " + ", ".join(group))
    for fault in faults:
        print("include-layers: " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
