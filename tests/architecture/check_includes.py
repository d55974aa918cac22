#!/usr/bin/env python3
"""Holds every #include under control/, tools/ and demo/ against the layer map in
docs/architecture.md, and fails on any include the map does not allow.

    check_includes.py SOURCE_DIR [--pretend FILE HEADER]

--pretend adds one include to FILE before checking, so a test can show that a wrong include
is caught."""

import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)


def read_map(doc):
    """The parts, their folders and what each may include, from the map's tables."""
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
        if section == "the map" and len(cells) >= 4 and cells[1].startswith("`"):
            name = cells[0].lower()
            folders = re.findall(r"`([^`]+)`", cells[1])
            allowed = {a.strip().lower() for a in cells[3].split(",")} - {"—", "-", ""}
            parts[name] = (folders, allowed)
        elif section == "the internal surface" and cells[0].startswith("`"):
            internal.update(re.findall(r"`([^`]+)`", cells[0]))
    if not parts:
        sys.exit(f"{doc}: no map found (a table under '## The map')")
    return parts, internal


def part_of(path, parts):
    """The part whose folder holds `path` (the longest folder that does), or None."""
    best, length = None, -1
    for name, (folders, _) in parts.items():
        for folder in folders:
            if (path == folder.rstrip("/") or path.startswith(folder)) and len(folder) > length:
                best, length = name, len(folder)
    return best


def resolve(source, header, quoted, root):
    """The repository path of an include, or None for one outside the project (Qt, the
    standard library)."""
    candidates = []
    if quoted:
        candidates.append(source.parent / header)
    candidates += [root / "control" / header, root / "control" / "include" / header]
    for candidate in candidates:
        if candidate.is_file():
            return candidate.resolve().relative_to(root).as_posix()
    return None


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
    files = [p for folder in ("control", "tools", "demo") for p in (root / folder).rglob("*")
             if p.suffix in (".cpp", ".h", ".c")]
    for source in sorted(files):
        relative = source.relative_to(root).as_posix()
        owner = part_of(relative, parts)
        if owner is None:
            problems.append(f"{relative}: in no part of the map")
            continue
        allowed = parts[owner][1]
        includes = [(m.group(1) == '"', m.group(2))
                    for m in INCLUDE.finditer(source.read_text(encoding="utf-8"))]
        if relative in pretend:
            includes.append((True, pretend[relative]))
        for quoted, header in includes:
            target = resolve(source, header, quoted, root)
            if target is None:
                continue
            checked += 1
            target_part = part_of(target, parts)
            if target_part in (owner, "public") or target_part in allowed:
                continue
            if "internal surface" in allowed and target in internal:
                continue
            problems.append(f"{relative}: includes {header} ({target_part or 'no part'}), "
                            f"but {owner} may include only "
                            f"{', '.join(sorted(allowed)) or 'its own folder'}")
    for problem in problems:
        print(problem)
    print(f"{checked} includes checked, {len(problems)} against the map")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
