#!/usr/bin/python3
"""A PDF's structure tree with the text of each element, as poppler reads it
(`pdfinfo -struct-text`): a second reader, written by others, of what Palvex tags.

    struct_text.py FILE.pdf                              the outline pdfinfo prints
    struct_text.py FILE.pdf --expect P=Palvex TD=1,234.50 TR
        exit 1 unless these elements (ROLE or ROLE=TEXT it contains) come in this order

From Python: read_outline(path) gives the root nodes, and assert_in_order(nodes, [(role,
text), ...]) raises AssertionError with the roles it found when the sequence is not there.
"""
import re
import subprocess
import sys
from dataclasses import dataclass, field

# An element line: its role, then what pdfinfo adds: <id>, "title", rN, (block|inline), and a
# colon when attribute lines follow.
ELEMENT_LINE = re.compile(r'^(?P<role>\S+?)(?: <[^>]*>)?(?: "[^"]*")?(?: r\d+)?'
                          r'(?: \((?:block|inline)\))?(?P<attributes>:)?$')


@dataclass
class Node:
    role: str
    depth: int
    attributes: list = field(default_factory=list)  # "/Scope /Column"
    texts: list = field(default_factory=list)  # the element's own content items' text
    children: list = field(default_factory=list)

    def text(self):
        """The text of the element and everything under it, in order."""
        return "".join(self.texts) + "".join(child.text() for child in self.children)

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()


def run_pdfinfo(path):
    done = subprocess.run(["pdfinfo", "-struct-text", str(path)], capture_output=True,
                          text=True, encoding="utf-8", errors="replace", check=False)
    if done.returncode != 0:
        raise RuntimeError(f"pdfinfo -struct-text {path} failed ({done.returncode}): "
                           f"{done.stderr.strip()}")
    return done.stdout


def parse_outline(output):
    """The root nodes of pdfinfo's outline: two spaces of indent a level; quoted lines are the
    text of a content item (a text may run over several lines), lines starting with a slash
    the attributes of the element above."""
    roots = []
    open_elements = []  # the path from a root to the element last read
    lines = iter(output.splitlines())
    for line in lines:
        stripped = line.lstrip(" ")
        depth = (len(line) - len(stripped)) // 2
        if not stripped:
            continue
        if stripped.startswith('"'):
            content = stripped
            while not (len(content) > 1 and content.endswith('"')):
                content += "\n" + next(lines, '"')
            owner = next((e for e in reversed(open_elements) if e.depth < depth), None)
            if owner is not None:
                owner.texts.append(content[1:-1])
            continue
        if stripped == "(No content)" or stripped.startswith("Object "):
            continue
        if stripped.startswith("/") and open_elements:
            open_elements[-1].attributes.append(stripped)
            continue
        match = ELEMENT_LINE.match(stripped)
        if not match:
            raise ValueError(f"pdfinfo printed a line this reader does not know: {line!r}")
        node = Node(match.group("role"), depth)
        while open_elements and open_elements[-1].depth >= depth:
            open_elements.pop()
        (open_elements[-1].children if open_elements else roots).append(node)
        open_elements.append(node)
    return roots


def read_outline(path):
    return parse_outline(run_pdfinfo(path))


def assert_in_order(roots, expected):
    """expected: (role, text) pairs, text None for any; each must be an element after the one
    before it in document order, and its text must contain the given one."""
    nodes = [node for root in roots for node in root.walk()]
    position = 0
    for role, contains in expected:
        def matches(node):
            return node.role == role and (not contains or contains in node.text())

        while position < len(nodes) and not matches(nodes[position]):
            position += 1
        if position == len(nodes):
            wanted = role + (f" containing {contains!r}" if contains else "")
            found = " ".join(n.role for n in nodes) or "(no structure)"
            raise AssertionError(f"no {wanted} after the elements matched before it; "
                                 f"the structure in order: {found}")
        position += 1


def main(argv):
    if not argv or argv[0].startswith("-"):
        print(__doc__, file=sys.stderr)
        return 2
    output = run_pdfinfo(argv[0])
    if len(argv) > 2 and argv[1] == "--expect":
        expected = [(item.partition("=")[0], item.partition("=")[2] or None) for item in argv[2:]]
        try:
            assert_in_order(parse_outline(output), expected)
        except AssertionError as e:
            print(f"struct_text: {e}", file=sys.stderr)
            return 1
        return 0
    sys.stdout.write(output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
