#!/usr/bin/python3
"""Checks a PDF's tagging, and its PDF/UA-1 entries when its XMP claims PDF/UA, the way an
assistive technology depends on them; written from the file format alone, so it shares no
mistake with Palvex's writer.

    check_pdfua.py FILE.pdf               one line per finding; exit 1 when any is an error
    check_pdfua.py --structure FILE.pdf   the structure tree as an indented outline
    check_pdfua.py --strict FILE.pdf      warnings fail too

A finding reads "error RULE: where: what" (or "warning ..."); RULE names the check, and
docs/guide.md ("Accessible PDFs") lists them all.
"""
import argparse
import re
import sys
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass

import pikepdf
from pikepdf import Array, Dictionary, Name

# Operators that put marks on the page: text showing, path painting, shadings, XObjects and
# inline images. Each must lie inside tagged content or an artefact.
TEXT_OPERATORS = {"Tj", "TJ", "'", '"'}
PAINT_OPERATORS = TEXT_OPERATORS | {"S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "sh", "Do",
                                    "INLINE IMAGE"}
TABLE_ROW_PARENTS = {"Table", "THead", "TBody", "TFoot"}
TABLE_SECTIONS = {"THead", "TBody", "TFoot"}
HEADING = re.compile(r"^H([1-6])$")
STANDARD_ROLES = {
    "Document", "Part", "Art", "Sect", "Div", "BlockQuote", "Caption", "TOC", "TOCI", "Index",
    "NonStruct", "Private", "H", "H1", "H2", "H3", "H4", "H5", "H6", "P", "L", "LI", "Lbl",
    "LBody", "Table", "TR", "TH", "TD", "THead", "TBody", "TFoot", "Span", "Quote", "Note",
    "Reference", "BibEntry", "Code", "Link", "Annot", "Ruby", "RB", "RT", "RP", "Warichu", "WT",
    "WP", "Figure", "Formula", "Form"}
# BCP 47 language tags in their usual shape: a language, then optional script, region,
# variants, extensions and a private use part; or a private use tag alone.
LANGUAGE_TAG = re.compile(
    r"^(?:[A-Za-z]{2,3}(?:-[A-Za-z]{3}){0,3}|[A-Za-z]{4,8})"
    r"(?:-[A-Za-z]{4})?"
    r"(?:-(?:[A-Za-z]{2}|[0-9]{3}))?"
    r"(?:-(?:[A-Za-z0-9]{5,8}|[0-9][A-Za-z0-9]{3}))*"
    r"(?:-[0-9A-WY-Za-wy-z](?:-[A-Za-z0-9]{2,8})+)*"
    r"(?:-[xX](?:-[A-Za-z0-9]{1,8})+)?$|^[xX](?:-[A-Za-z0-9]{1,8})+$")
XMP_NAMESPACES = {
    "rdf": "http://www.w3.org/1999/02/22-rdf-syntax-ns#",
    "dc": "http://purl.org/dc/elements/1.1/",
    "pdfuaid": "http://www.aiim.org/pdfua/ns/id/",
}


@dataclass(frozen=True)
class Finding:
    severity: str  # "error" or "warning"
    rule: str
    message: str

    def __str__(self):
        return f"{self.severity} {self.rule}: {self.message}"


@dataclass
class Element:
    """A structure element with what the checks need of it, in document order."""
    obj: Dictionary
    role: str  # the standard role, through the role map
    written_role: str
    parent: "Element | None"
    depth: int
    children: list
    mcids: list  # (page number from 1, MCID)
    path: str  # "Document/Table[2]/TR[1]": where a finding is


@dataclass
class MarkedSequence:
    tag: str
    mcid: "int | None"
    artifact: bool


def text(value):
    """A PDF text string as str, or None when the value is not a string."""
    return str(value) if isinstance(value, pikepdf.String) else None


class Checker:
    def __init__(self, pdf):
        self.pdf = pdf
        self.root = pdf.Root
        self.findings = []
        self.page_numbers = {page.obj.objgen: n for n, page in enumerate(pdf.pages, 1)}
        self.struct_root = self.root.get("/StructTreeRoot")
        self.role_map = self.struct_root.get("/RoleMap", Dictionary()) if self.struct_root else {}
        self.elements = []

    def error(self, rule, message):
        self.findings.append(Finding("error", rule, message))

    def warning(self, rule, message):
        self.findings.append(Finding("warning", rule, message))

    def run(self):
        self.check_catalog()
        if self.struct_root is not None:
            self.elements = self.read_structure()
        content_mcids = {n: self.check_page_content(n, page)
                         for n, page in enumerate(self.pdf.pages, 1)}
        if self.struct_root is not None:
            self.check_parent_tree(content_mcids)
            self.check_elements()
        ua_part = xmp_value(self.pdf, "pdfuaid", "part")
        if ua_part is not None:
            self.check_ua(ua_part)
        return self.findings

    # --- the catalog ---------------------------------------------------------------------------

    def check_catalog(self):
        mark_info = self.root.get("/MarkInfo")
        if mark_info is None or mark_info.get("/Marked") is not True:
            self.error("marked", "catalog: /MarkInfo /Marked is not true")
        elif mark_info.get("/Suspects") is True:
            self.error("suspects", "catalog: /MarkInfo /Suspects is true")
        if self.struct_root is None:
            self.error("struct-tree", "catalog: no /StructTreeRoot")
        elif "/ParentTree" not in self.struct_root:
            self.error("parent-tree", "structure tree root: no /ParentTree")
        lang = text(self.root.get("/Lang"))
        if not lang:
            self.error("lang", "catalog: no /Lang")
        elif not LANGUAGE_TAG.match(lang):
            self.error("lang", f"catalog: /Lang {lang!r} is not a BCP 47 language tag")

    # --- the structure tree --------------------------------------------------------------------

    def standard_role(self, role):
        seen = set()
        while "/" + role in self.role_map and role not in seen:
            seen.add(role)
            role = str(self.role_map["/" + role])[1:]
        return role

    def read_structure(self):
        """The structure elements in document order, each with the MCIDs it holds."""
        elements = []
        visited = set()

        def kids_of(obj):
            kids = obj.get("/K")
            if kids is None:
                return []
            return list(kids) if isinstance(kids, Array) else [kids]

        def visit(obj, parent, depth, path):
            if obj.is_indirect:
                if obj.objgen in visited:
                    self.error("struct-tree", f"{path}: the element appears twice in the tree")
                    return
                visited.add(obj.objgen)
            written = str(obj.get("/S", Name("/None")))[1:]
            element = Element(obj, self.standard_role(written), written, parent, depth, [], [],
                              path)
            elements.append(element)
            counts = {}
            for kid in kids_of(obj):
                if isinstance(kid, int):
                    self.add_mcid(element, obj.get("/Pg"), kid)
                elif isinstance(kid, Dictionary) and "/MCID" in kid and "/S" not in kid:
                    if "/Stm" in kid:
                        self.warning("mcid-in-form", f"{path}: MCID {kid.MCID} lies in a "
                                     "form XObject, which this checker does not follow")
                        continue
                    self.add_mcid(element, kid.get("/Pg", obj.get("/Pg")), int(kid.MCID))
                elif isinstance(kid, Dictionary) and kid.get("/Type") == Name.OBJR:
                    continue
                elif isinstance(kid, Dictionary) and "/S" in kid:
                    role = self.standard_role(str(kid.S)[1:])
                    counts[role] = counts.get(role, 0) + 1
                    child = visit(kid, element, depth + 1, f"{path}/{role}[{counts[role]}]")
                    if child is not None:
                        element.children.append(child)
                else:
                    self.error("struct-tree", f"{path}: a kid that is neither an MCID, a "
                               "marked-content reference, an object reference nor an element")
            return element

        counts = {}
        top = self.struct_root.get("/K")
        for kid in (list(top) if isinstance(top, Array) else [] if top is None else [top]):
            if isinstance(kid, Dictionary):
                role = self.standard_role(str(kid.get("/S", Name("/None")))[1:])
                counts[role] = counts.get(role, 0) + 1
                visit(kid, None, 0, f"{role}[{counts[role]}]" if counts[role] > 1 else role)
        return elements

    def add_mcid(self, element, page, mcid):
        number = self.page_numbers.get(page.objgen) if isinstance(page, Dictionary) else None
        if number is None:
            self.error("mcid-page", f"{element.path}: MCID {mcid} names no page of the document "
                       "(/Pg missing or not a page)")
            return
        element.mcids.append((number, mcid))

    # --- page content --------------------------------------------------------------------------

    def check_page_content(self, number, page):
        """Checks the marked-content nesting of a page's content; returns its MCIDs."""
        where = f"page {number}"
        properties = page.obj.get("/Resources", Dictionary()).get("/Properties", Dictionary())
        stack = []
        mcids = set()
        outside = []
        for index, instruction in enumerate(pikepdf.parse_content_stream(page.obj)):
            operator = str(instruction.operator)
            if operator in ("BDC", "BMC"):
                tag = str(instruction.operands[0])[1:]
                props = instruction.operands[1] if operator == "BDC" else Dictionary()
                if isinstance(props, Name):
                    props = properties.get(props, Dictionary())
                mcid = props.get("/MCID") if isinstance(props, Dictionary) else None
                artifact = tag == "Artifact"
                if mcid is not None:
                    mcid = int(mcid)
                    if artifact or any(s.artifact for s in stack):
                        # Not content, so not looked for in the parent tree either.
                        self.error("artifact-mcid", f"{where}: MCID {mcid} inside an artefact")
                    else:
                        if any(s.mcid is not None for s in stack):
                            self.error("nested-mcid", f"{where}: MCID {mcid} inside the "
                                       "sequence of another MCID")
                        if mcid in mcids:
                            self.error("mcid-twice", f"{where}: MCID {mcid} marks two "
                                       "sequences")
                        mcids.add(mcid)
                stack.append(MarkedSequence(tag, mcid, artifact))
            elif operator == "EMC":
                if not stack:
                    self.error("marked-content", f"{where}: EMC without a sequence to end")
                else:
                    stack.pop()
            elif operator in PAINT_OPERATORS:
                if not any(s.mcid is not None or s.artifact for s in stack):
                    outside.append((index, operator))
        if stack:
            self.error("marked-content", f"{where}: {len(stack)} marked-content sequence(s) "
                       "left open at the end of the content")
        if outside:
            first_index, first_operator = outside[0]
            self.error("untagged-content", f"{where}: {len(outside)} marking operator(s) "
                       "outside tagged content and artefacts (the first: "
                       f"{first_operator!r}, instruction {first_index})")
        if mcids and "/StructParents" not in page.obj:
            self.error("parent-tree", f"{where}: MCIDs in the content but no /StructParents")
        return mcids

    # --- the parent tree against the content ---------------------------------------------------

    def check_parent_tree(self, content_mcids):
        tree = self.struct_root.get("/ParentTree")
        entries = number_tree(tree) if tree is not None else {}
        claimed = {}
        for element in self.elements:
            for key in element.mcids:
                if key in claimed:
                    self.error("mcid-twice", f"{element.path}: page {key[0]} MCID {key[1]} "
                               f"already belongs to {claimed[key].path}")
                claimed[key] = element
                if key[1] not in content_mcids.get(key[0], set()):
                    self.error("mcid-missing-from-content", f"{element.path}: page {key[0]} "
                               f"has no marked content with MCID {key[1]}")
        for number, page in enumerate(self.pdf.pages, 1):
            if not content_mcids[number] or "/StructParents" not in page.obj:
                continue
            key = int(page.obj.StructParents)
            array = entries.get(key)
            if not isinstance(array, Array):
                self.error("parent-tree", f"page {number}: /StructParents {key} has no array "
                           "in the parent tree")
                continue
            for mcid in sorted(content_mcids[number]):
                where = f"page {number} MCID {mcid}"
                parent = array[mcid] if mcid < len(array) else None
                if not isinstance(parent, Dictionary):
                    self.error("mcid-not-in-parent-tree", f"{where}: no structure element in "
                               "the parent tree")
                    continue
                owner = claimed.get((number, mcid))
                if owner is None or owner.obj.objgen != parent.objgen:
                    self.error("mcid-not-in-parent-tree", f"{where}: the parent tree names "
                               "an element whose /K does not hold it")

    # --- roles ---------------------------------------------------------------------------------

    def check_elements(self):
        last_heading = 0
        for element in self.elements:
            role, obj, where = element.role, element.obj, element.path
            parent_role = element.parent.role if element.parent else None
            if role not in STANDARD_ROLES:
                self.error("role-unknown", f"{where}: role {element.written_role} is neither "
                           "a standard one nor mapped to one in /RoleMap")
            alt = text(obj.get("/Alt"))
            if role == "Figure" and not alt and not text(obj.get("/ActualText")):
                self.error("figure-alt", f"{where}: a Figure without /Alt or /ActualText")
            lang = text(obj.get("/Lang"))
            if lang and not LANGUAGE_TAG.match(lang):
                self.error("lang", f"{where}: /Lang {lang!r} is not a BCP 47 language tag")
            if role == "TR" and parent_role not in TABLE_ROW_PARENTS:
                self.error("table-row", f"{where}: TR inside {parent_role or 'the root'}")
            if role in TABLE_SECTIONS and parent_role != "Table":
                self.error("table-row", f"{where}: {role} inside {parent_role or 'the root'}")
            if role in ("TH", "TD") and parent_role != "TR":
                self.error("table-cell", f"{where}: {role} inside {parent_role or 'the root'}")
            if role == "TH" and attribute(obj, "/Scope") is None and \
                    not table_uses_headers(element):
                self.error("th-scope", f"{where}: TH without a /Scope attribute")
            level = HEADING.match(role)
            if level:
                level = int(level.group(1))
                if level > last_heading + 1:
                    self.warning("heading-skip", f"{where}: H{level} follows "
                                 f"{f'H{last_heading}' if last_heading else 'no heading'}")
                last_heading = level

    # --- PDF/UA --------------------------------------------------------------------------------

    def check_ua(self, part):
        if part.strip() != "1":
            self.error("ua-part", f"metadata: pdfuaid:part is {part!r}, not 1")
        if not (xmp_value(self.pdf, "dc", "title") or "").strip():
            self.error("ua-title", "metadata: no dc:title")
        preferences = self.root.get("/ViewerPreferences", Dictionary())
        if preferences.get("/DisplayDocTitle") is not True:
            self.error("ua-display-doc-title", "catalog: /ViewerPreferences /DisplayDocTitle "
                       "is not true")
        for number, page in enumerate(self.pdf.pages, 1):
            if page.obj.get("/Tabs") != Name.S:
                self.error("ua-tabs", f"page {number}: /Tabs is not /S")
        for name, font, where in fonts_of(self.pdf):
            if not font_embedded(font):
                self.error("ua-font-embedded", f"{where}: font {name} is not embedded")
        for element in self.elements:
            if "/Alt" in element.obj and not text(element.obj.Alt):
                self.error("ua-alt-empty", f"{element.path}: /Alt is empty")


def number_tree(node, seen=None):
    """A number tree's entries as a dict."""
    seen = seen if seen is not None else set()
    if node.is_indirect:
        if node.objgen in seen:
            return {}
        seen.add(node.objgen)
    entries = {}
    nums = node.get("/Nums", Array())
    for i in range(0, len(nums) - 1, 2):
        entries[int(nums[i])] = nums[i + 1]
    for kid in node.get("/Kids", Array()):
        entries.update(number_tree(kid, seen))
    return entries


def attribute(element, key):
    """An attribute of a structure element's /A (a dictionary, or an array of dictionaries
    with revision numbers between them)."""
    attributes = element.get("/A")
    if attributes is None:
        return None
    for a in (attributes if isinstance(attributes, Array) else [attributes]):
        if isinstance(a, Dictionary) and key in a:
            return a[key]
    return None


def table_uses_headers(cell):
    """True when the cell's table ties cells to headers by /Headers, where TH needs no scope."""
    table = cell
    while table is not None and table.role != "Table":
        table = table.parent
    if table is None:
        return False
    pending = [table]
    while pending:
        element = pending.pop()
        if element.role in ("TH", "TD") and attribute(element.obj, "/Headers") is not None:
            return True
        pending.extend(element.children)
    return False


def fonts_of(pdf):
    """(resource name, font dictionary, where) of every font the pages and their form XObjects
    use, each once."""
    seen = set()

    def first_time(obj):
        if not obj.is_indirect:
            return True
        if obj.objgen in seen:
            return False
        seen.add(obj.objgen)
        return True

    def walk(resources, where):
        if not isinstance(resources, Dictionary) or not first_time(resources):
            return
        for name, font in resources.get("/Font", Dictionary()).items():
            if first_time(font):
                yield name, font, where
        for _, xobject in resources.get("/XObject", Dictionary()).items():
            if xobject.get("/Subtype") == Name.Form:
                yield from walk(xobject.get("/Resources"), where)

    for number, page in enumerate(pdf.pages, 1):
        yield from walk(page.obj.get("/Resources"), f"page {number}")


def font_embedded(font):
    subtype = font.get("/Subtype")
    if subtype == Name.Type3:
        return True  # its glyphs are content streams in the file
    if subtype == Name.Type0:
        descendants = font.get("/DescendantFonts", Array())
        return len(descendants) > 0 and all(font_embedded(d) for d in descendants)
    descriptor = font.get("/FontDescriptor")
    return isinstance(descriptor, Dictionary) and any(
        key in descriptor for key in ("/FontFile", "/FontFile2", "/FontFile3"))


def xmp_value(pdf, prefix, name):
    """The text of an XMP property, written as an element or as an attribute of an
    rdf:Description; for a language alternative or a list, its items joined by newlines. None
    when the metadata does not have it."""
    metadata = pdf.Root.get("/Metadata")
    if metadata is None:
        return None
    try:
        tree = ElementTree.fromstring(metadata.read_bytes())
    except ElementTree.ParseError:
        return None
    qualified = f"{{{XMP_NAMESPACES[prefix]}}}{name}"
    for description in tree.iter(f"{{{XMP_NAMESPACES['rdf']}}}Description"):
        if qualified in description.attrib:
            return description.attrib[qualified]
        for found in description.iter(qualified):
            items = [li.text or "" for li in found.iter(f"{{{XMP_NAMESPACES['rdf']}}}li")]
            return "\n".join(items) if items else (found.text or "")
    return None


def check(path):
    """The findings for the PDF at path."""
    with pikepdf.open(path) as pdf:
        return Checker(pdf).run()


def print_structure(path, out=sys.stdout):
    """The structure tree as an outline: role (and the written role when the role map changes
    it), /Alt, /Lang, attributes' /Scope, and the page:MCID pairs each element holds."""
    with pikepdf.open(path) as pdf:
        checker = Checker(pdf)
        if checker.struct_root is None:
            print("(no structure tree)", file=out)
            return
        for element in checker.read_structure():
            line = "  " * element.depth + element.role
            if element.written_role != element.role:
                line += f" ({element.written_role})"
            for key, label in (("/Alt", "alt"), ("/ActualText", "actual-text"),
                               ("/Lang", "lang")):
                if key in element.obj:
                    line += f" {label}={text(element.obj[key])!r}"
            scope = attribute(element.obj, "/Scope")
            if scope is not None:
                line += f" scope={str(scope)[1:]}"
            if element.mcids:
                line += " mcid=" + ",".join(f"p{page}:{mcid}" for page, mcid in element.mcids)
            print(line, file=out)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("pdf")
    parser.add_argument("--structure", action="store_true",
                        help="print the structure tree instead of checking")
    parser.add_argument("--strict", action="store_true", help="warnings fail too")
    args = parser.parse_args(argv)
    try:
        if args.structure:
            print_structure(args.pdf)
            return 0
        findings = check(args.pdf)
    except (pikepdf.PdfError, OSError) as e:
        print(f"error unreadable: {args.pdf}: {e}")
        return 1
    for finding in findings:
        print(finding)
    failing = {"error", "warning"} if args.strict else {"error"}
    return 1 if any(f.severity in failing for f in findings) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
