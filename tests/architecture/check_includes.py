#!/usr/bin/env python3
"""Holds every #include under control/, tools/ and demo/ against the layer map in
docs/architecture.md, and fails on any include the map does not allow: one of another part the
part's row does not name, a public header (<palvex/...>) its row does not name, and one of the
project's own headers that is not there (a quoted include, or <palvex/...>, that names no file).

    check_includes.py SOURCE_DIR [--pretend FILE HEADER]

--pretend adds one include to FILE before checking, so a test can show that a wrong include
is caught: HEADER as a quoted include, or <HEADER> as an angle one."""

import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)
PUBLIC = "control/include/palvex/"
ALL = None  # a row whose public headers are "all"


class Part:
    def __init__(self, folders, allowed, public):
        self.folders, self.allowed, self.public = folders, allowed, public

    def may_include_public(self, header):
        return self.public is ALL or header in self.public


def read_map(doc):
    """The parts (their folders, the parts and the public headers each may include) and the
    internal surface, from the map's tables."""
    text = doc.read_text(encoding="utf-8")
    parts, internal = {}, set()
    section = None
    for line in text.splitlines():
        if line.startswith("## "):
            section = line[3:].strip().lower()
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")] if line.startswith("|") else []
        if len(cells) < 2 or set(cells[0]) <= set("-: "):
            continue
        if section == "the map" and len(cells) >= 5 and cells[1].startswith("`"):
            name = cells[0].lower()
            folders = re.findall(r"`([^`]+)`", cells[1])
            allowed = {a.strip().lower() for a in cells[3].split(",")} - {"—", "-", ""}
            public = ALL if cells[4].strip().lower() == "all" else set(
                re.findall(r"`([^`]+)`", cells[4]))
            parts[name] = Part(folders, allowed, public)
        elif section == "the internal surface" and cells[0].startswith("`"):
            internal.update(re.findall(r"`([^`]+)`", cells[0]))
    if not parts:
        sys.exit(f"{doc}: no map found (a table under '## The map')")
    return parts, internal


def part_of(path, parts):
    """The part whose folder holds `path` (the longest folder that does), or None."""
    best, length = None, -1
    for name, part in parts.items():
        for folder in part.folders:
            if (path == folder.rstrip("/") or path.startswith(folder)) and len(folder) > length:
                best, length = name, len(folder)
    return best


def resolve(source, header, quoted, root, own_folder):
    """The repository path of an include, as the build finds it: beside the including file, in
    the folder of its part (a program's own include folder), under control/ or among the public
    headers. "" for one of the project's that names no file; None for one outside the project
    (Qt, the standard library, the system)."""
    candidates = []
    if quoted:
        candidates.append(source.parent / header)
    candidates += [root / own_folder / header, root / "control" / header,
                   root / "control" / "include" / header]
    for candidate in candidates:
        if candidate.is_file():
            try:
                return candidate.resolve().relative_to(root).as_posix()
            except ValueError:  # a file beside the project, not of it
                return ""
    return "" if quoted or header.startswith("palvex/") else None


def own_folder(path, part):
    """The folder of `part` that holds `path`."""
    return max((f for f in part.folders if path.startswith(f)), key=len, default="")


def main():
    args = sys.argv[1:]
    if not args:
        sys.exit(__doc__)
    root = pathlib.Path(args[0]).resolve()
    pretend = {}
    if len(args) == 4 and args[1] == "--pretend":
        pretend[args[2]] = args[3]
    parts, internal = read_map(root / "docs" / "architecture.md")

    problems, checked = [], 0
    for header in sorted(internal):
        if not (root / header).is_file():
            problems.append(f"docs/architecture.md: the internal surface names {header}, "
                            "which does not exist")
    for name, part in sorted(parts.items()):
        for header in sorted(part.public or ()):
            if not (root / PUBLIC / header).is_file():
                problems.append(f"docs/architecture.md: {name} may include the public header "
                                f"{header}, which does not exist")
    files = [p for folder in ("control", "tools", "demo") for p in (root / folder).rglob("*")
             if p.suffix in (".cpp", ".h", ".c")]
    for source in sorted(files):
        relative = source.relative_to(root).as_posix()
        owner = part_of(relative, parts)
        if owner is None:
            problems.append(f"{relative}: in no part of the map")
            continue
        part = parts[owner]
        includes = [(m.group(1) == '"', m.group(2))
                    for m in INCLUDE.finditer(source.read_text(encoding="utf-8"))]
        if relative in pretend:
            header = pretend[relative]
            angle = header.startswith("<") and header.endswith(">")
            includes.append((not angle, header.strip("<>") if angle else header))
        for quoted, header in includes:
            target = resolve(source, header, quoted, root, own_folder(relative, part))
            if target is None:
                continue
            checked += 1
            if target == "":
                problems.append(f"{relative}: includes {header}, which is no file of the project")
                continue
            target_part = part_of(target, parts)
            if target_part == owner or target_part in part.allowed:
                continue
            if target_part == "public":
                name = target[len(PUBLIC):]
                if part.may_include_public(name):
                    continue
                problems.append(f"{relative}: includes the public header {header}, but {owner} "
                                f"may include only {', '.join(sorted(part.public)) or 'none'}")
                continue
            if "internal surface" in part.allowed and target in internal:
                continue
            problems.append(f"{relative}: includes {header} ({target_part or 'no part'}), "
                            f"but {owner} may include only "
                            f"{', '.join(sorted(part.allowed)) or 'its own folder'}")
    for problem in problems:
        print(problem)
    print(f"{checked} includes checked, {len(problems)} against the map")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
