"""Reads a tagged PDF the device wrote and checks what makes it tagged: the structure tree, the
parent tree against the marked content of every page, artefacts around everything that is not
content. With a case name it also checks what that case drew (see PdfTagsTest.cpp). Prints
one line per fault and exits 1 when there is any."""

import sys

import pikepdf

PAINTING = {"S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "sh", "Do", "TJ", "Tj", "'", '"'}
faults = []


def fault(text):
    faults.append(text)


def element_tree(pdf):
    """Each element as (S, its attributes, MCIDs as (page, mcid), child elements), in order."""
    owners = {}  # (page objgen, mcid) -> element objgen

    def walk(node):
        kids = node.get("/K")
        kids = [] if kids is None else (list(kids) if isinstance(kids, pikepdf.Array) else [kids])
        page = node.get("/Pg")
        marks, children = [], []
        for kid in kids:
            if isinstance(kid, int) or (not isinstance(kid, pikepdf.Dictionary)):
                key = (page.objgen, int(kid))
                marks.append(key)
            elif kid.get("/Type") == "/MCR":
                key = (kid.Pg.objgen, int(kid.MCID))
                marks.append(key)
            else:
                if kid.get("/P") is None or kid.P.objgen != node.objgen:
                    fault(f"{kid.get('/S')} does not name its parent {node.get('/S')}")
                children.append(walk(kid))
                continue
            if key in owners:
                fault(f"MCID {key} belongs to two elements")
            owners[key] = node.objgen
        return {"S": str(node.get("/S")), "node": node, "marks": marks, "kids": children}

    root = pdf.Root.StructTreeRoot
    document = walk(root.K)
    return document, owners


def check_pages(pdf, owners):
    nums = list(pdf.Root.StructTreeRoot.ParentTree.Nums)
    parents = {int(nums[i]): nums[i + 1] for i in range(0, len(nums), 2)}
    seen = set()
    marks = {}  # page index -> list of (tag, properties)
    for index, page in enumerate(pdf.pages):
        if page.obj.get("/Tabs") != "/S":
            fault(f"page {index + 1} has no /Tabs /S")
        depth, page_marks = 0, []
        for operands, operator in pikepdf.parse_content_stream(page):
            op = str(operator)
            if op in ("BDC", "BMC"):
                depth += 1
                properties = operands[1] if op == "BDC" else pikepdf.Dictionary()
                page_marks.append((str(operands[0]), properties))
                if "/MCID" in properties:
                    mcid = int(properties.MCID)
                    key = (page.obj.objgen, mcid)
                    seen.add(key)
                    owner = owners.get(key)
                    if owner is None:
                        fault(f"page {index + 1} MCID {mcid} belongs to no element")
                    array = parents.get(int(page.obj.get("/StructParents", -1)))
                    if array is None or mcid >= len(array) or array[mcid].objgen != owner:
                        fault(f"page {index + 1} MCID {mcid}: the parent tree names another element")
            elif op == "EMC":
                depth -= 1
            elif op in PAINTING and depth == 0:
                fault(f"page {index + 1}: {op} drawn outside marked content")
        marks[index] = page_marks
    for key in owners:
        if key not in seen:
            fault(f"element MCID {key} is drawn nowhere")
    return marks


def types(element):
    return [kid["S"] for kid in element["kids"]]


def check_case(case, pdf, document, marks):
    top = document["kids"]
    if case == "report":
        expect(types(document), ["/H1", "/P", "/P", "/Table", "/Figure"], "Document's kids")
        heading, body, paragraph, table, figure = top
        # Each text is a sequence of its own: readers keep the runs apart.
        expect(len(body["marks"]), 2, "items of one line in one P")
        expect(len(paragraph["marks"]), 2, "a paragraph's lines")
        expect(types(table), ["/TR", "/TR", "/TR", "/TR"], "rows")
        expect(types(table["kids"][0]), ["/TH", "/TH"], "header row")
        th = table["kids"][0]["kids"][0]["node"]
        expect(str(th.A.Scope), "/Column", "TH scope")
        first_row = table["kids"][1]["kids"]
        expect(types(table["kids"][1]), ["/TD", "/TD"], "a row's cells")
        expect(len(first_row[0]["marks"]), 2, "a cell's two lines, recorded across the row")
        pages_of_rows = {row["kids"][0]["marks"][0][0] for row in table["kids"][1:3]}
        last_row = table["kids"][3]
        expect(types(last_row), ["/TD", "/TD"], "a row with an empty cell has both cells")
        expect(len(last_row["kids"][0]["marks"]), 0, "the empty cell is empty")
        expect(len(last_row["kids"][1]["marks"]), 1, "the other cell holds its text")
        expect(len(pages_of_rows), 2, "the table continues on the next page")
        expect(str(figure["node"].Alt), "Logo", "the figure's /Alt")
        expect(len(figure["node"].A.BBox), 4, "the figure's box")
        artefacts = [p for page in marks.values() for tag, p in page if tag == "/Artifact"]
        subtypes = sorted(str(p.get("/Subtype", "")) for p in artefacts if "/Type" in p)
        for wanted in ("/Header", "/Footer"):
            if wanted not in subtypes:
                fault(f"no {wanted} artefact")
        layout = [p for p in artefacts if p.get("/Type") == "/Layout"]
        expect(len(layout) >= 1, True, "the rule is a layout artefact")
        pagination = [p for p in artefacts if p.get("/Type") == "/Pagination" and "/Subtype" not in p]
        expect(len(pagination) >= 2, True, "the repeated header and the page number are pagination")
    elif case == "untagged":
        expect(types(document), ["/P", "/P"], "a P for each untagged text")
        tags = [tag for page in marks.values() for tag, _ in page]
        expect(tags, ["/P", "/P", "/Artifact", "/Artifact"], "graphics and later outside text")
    elif case == "languages":
        props = [p for page in marks.values() for tag, p in page if "/MCID" in p]
        expect(str(props[0].get("/ActualText")), "שלום עולם (2026)", "Hebrew copies as typed")
        expect(props[0].get("/Lang"), None, "Hebrew keeps the document's language")
        expect(str(props[1].get("/Lang")), "en", "English is marked")
        expect(props[1].get("/ActualText"), None, "English needs no ActualText")
        expect(props[2].get("/Lang"), None, "a number has no language")
        expect(props[3].get("/Lang"), None, "a mixed line keeps the document's language")
        spans = [p for page in marks.values() for tag, p in page
                 if tag == "/Span" and str(p.get("/Lang")) == "en"]
        expect(len(spans), 1, "the mixed line's English piece in a Span of its own")
    elif case == "accessible":
        xmp = pdf.Root.Metadata.read_bytes().decode()
        for needed in ("<pdfuaid:part>1</pdfuaid:part>", "<pdfaid:part>2</pdfaid:part>",
                       "<pdfaSchema:prefix>pdfuaid</pdfaSchema:prefix>", "<dc:title>"):
            if needed not in xmp:
                fault(f"metadata lacks {needed}")
        expect(bool(pdf.Root.ViewerPreferences.DisplayDocTitle), True, "DisplayDocTitle")
        expect(str(pdf.Root.Lang), "he-IL", "the document's language")
        expect("/Alt" in top[0]["node"], False, "no empty /Alt")
    elif case.startswith("long"):
        # long:PAGES:ROWS, a table of ROWS rows of 5 cells on each page
        pages, rows = (int(n) for n in case.split(":")[1:])
        expect(len(pdf.pages), pages, "pages")
        expect(types(document), ["/Table"], "Document's kids")
        table = top[0]["kids"]
        expect(len(table), pages * rows, "rows")
        page_index = {page.objgen: i for i, page in enumerate(pdf.pages)}
        for i, row in enumerate(table):
            expect(types(row), ["/TD"] * 5, f"row {i}'s cells")
            on = {page_index.get(cell["marks"][0][0]) for cell in row["kids"]}
            expect(on, {i // rows}, f"row {i}'s page")
    elif case != "any":
        fault(f"unknown case {case}")


def expect(got, wanted, what):
    if got != wanted:
        fault(f"{what}: {got!r}, expected {wanted!r}")


def main():
    path, case = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "any"
    with pikepdf.open(path) as pdf:
        if not bool(pdf.Root.MarkInfo.Marked):
            fault("not marked as tagged")
        if "/Lang" not in pdf.Root:
            fault("no /Lang")
        document, owners = element_tree(pdf)
        expect(document["S"], "/Document", "the root element")
        marks = check_pages(pdf, owners)
        check_case(case, pdf, document, marks)
    for line in faults:
        print(line)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
