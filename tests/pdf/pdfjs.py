"""pdf.js's reading of a PDF (pdfjs_struct_tree.mjs, run with node) as the nodes struct_text.py
reads poppler's into, so one assertion serves both readers.

    pages = read_pages(pdfjs_dir, path)     the JSON the script prints, per page
    roots = read_outline(pdfjs_dir, path)   every page's structure as struct_text.Node roots
    roots = outline(pages)                  the same from pages already read
"""
import json
import subprocess
from pathlib import Path

from struct_text import Node

SCRIPT = Path(__file__).with_name("pdfjs_struct_tree.mjs")


def read_pages(pdfjs_dir, path):
    done = subprocess.run(["node", str(SCRIPT), str(pdfjs_dir), str(path)], capture_output=True,
                          text=True, encoding="utf-8", check=False)
    if done.returncode != 0:
        raise RuntimeError(f"pdf.js could not read {path} ({done.returncode}): "
                           f"{done.stderr.strip()}")
    return json.loads(done.stdout)["pages"]


def to_node(tree, depth=0):
    """A struct_text.Node for a pdf.js tree node; content items become the element's texts,
    and its alt text an attribute as poppler would print it."""
    node = Node(tree.get("role", ""), depth)
    if "alt" in tree:
        node.attributes.append(f"/Alt {tree['alt']}")
    for child in tree.get("children", []):
        if child.get("type") == "content":
            node.texts.append(child.get("text", ""))
        elif "role" in child:
            node.children.append(to_node(child, depth + 1))
    return node


def outline(pages):
    """The elements under each page's root, page after page. pdf.js gives each page the part
    of the tree its content belongs to, so an element spread over pages comes once a page."""
    roots = []
    for page in pages:
        if page["structTree"] is not None:
            roots.extend(to_node(child) for child in page["structTree"].get("children", []))
    return roots


def read_outline(pdfjs_dir, path):
    return outline(read_pages(pdfjs_dir, path))
