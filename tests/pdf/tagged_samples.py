"""Small tagged PDFs built object by object, for the tests of the PDF checkers: one that is right
(a PDF/UA-1 document with a heading, a paragraph, a table, a figure and an artefact) and the
same document with one fault each.

    write_sample(path)                        the right one
    write_sample(path, fault="figure-alt")    with a fault; FAULTS names them
"""
from pathlib import Path

import pikepdf
from pikepdf import Array, Dictionary, Name, String

# A real TrueType font, embedded whole: the readers parse it as they would any document's.
FONT_FILE = Path("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf")

# Each fault, what it breaks, and the rule of check_pdfua.py that must name it.
FAULTS = {
    "mcid-not-in-parent-tree": "mcid-not-in-parent-tree",  # a cell's MCID has no parent entry
    "text-outside-marked-content": "untagged-content",  # a line of text tagged as nothing
    "figure-without-alt": "figure-alt",
    "td-outside-tr": "table-cell",  # a cell straight under the table
    "no-display-doc-title": "ua-display-doc-title",
    "mcid-only-in-structure": "mcid-missing-from-content",  # an element claims absent content
    "mcid-in-artifact": "artifact-mcid",
    "th-without-scope": "th-scope",
    "heading-skips-a-level": "heading-skip",
    "no-lang": "lang",
    "font-not-embedded": "ua-font-embedded",
    "empty-alt": "ua-alt-empty",  # an empty /Alt beside /ActualText: the Figure is described
    "no-tabs-order": "ua-tabs",
    "role-not-standard": "role-unknown",  # "Para" for P, with no role map to say so
}

XMP = """<?xpacket begin="\ufeff" id="W5M0MpCehiHzreSzNTczkc9d"?>
<x:xmpmeta xmlns:x="adobe:ns:meta/">
 <rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
  <rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/"
      xmlns:pdfuaid="http://www.aiim.org/pdfua/ns/id/">
   <dc:title><rdf:Alt><rdf:li xml:lang="x-default">Quarterly report</rdf:li></rdf:Alt></dc:title>
   <pdfuaid:part>1</pdfuaid:part>
  </rdf:Description>
 </rdf:RDF>
</x:xmpmeta>
<?xpacket end="w"?>"""

# The page's content, one line per marked sequence: (role, MCID, drawing). The MCIDs are the
# indexes of the page's parent tree array.
CONTENT = [
    ("H1", 0, "BT /F1 18 Tf 72 760 Td (Quarterly report) Tj ET"),
    ("P", 1, "BT /F1 11 Tf 72 730 Td (Cash and bank balances at the end of March.) Tj ET"),
    ("TH", 2, "BT /F1 11 Tf 72 700 Td (Account) Tj ET"),
    ("TH", 3, "BT /F1 11 Tf 250 700 Td (Balance) Tj ET"),
    ("TD", 4, "BT /F1 11 Tf 72 680 Td (Cash) Tj ET"),
    ("TD", 5, "BT /F1 11 Tf 250 680 Td (1,234.50) Tj ET"),
    ("Figure", 6, "0.2 0.4 0.8 rg 72 560 120 80 re f"),
]


def write_sample(path, fault=None):
    if fault is not None and fault not in FAULTS:
        raise ValueError(f"no such fault: {fault}")
    pdf = pikepdf.new()
    font = font_dictionary(pdf, embedded=fault != "font-not-embedded")
    page = pdf.make_indirect(Dictionary(
        Type=Name.Page, MediaBox=Array([0, 0, 595, 842]),
        Resources=Dictionary(Font=Dictionary(F1=font)), StructParents=0))
    if fault != "no-tabs-order":
        page.Tabs = Name.S
    pdf.pages.append(pikepdf.Page(page))
    page = pdf.pages[0].obj

    lines = ["/Artifact << /Type /Pagination >> BDC 0.5 G 72 790 m 523 790 l S EMC"]
    for role, mcid, drawing in CONTENT:
        lines.append(f"/{role} << /MCID {mcid} >> BDC {drawing} EMC")
    if fault == "text-outside-marked-content":
        lines.append("BT /F1 9 Tf 72 40 Td (Printed by nobody) Tj ET")
    if fault == "mcid-in-artifact":
        lines.append("/Artifact << /MCID 7 >> BDC 72 30 m 523 30 l S EMC")
    page.Contents = pdf.make_stream("\n".join(lines).encode("latin-1"))

    # The heading is written in a role of its own that the role map makes H1.
    root = pdf.make_indirect(Dictionary(Type=Name.StructTreeRoot,
                                        RoleMap=Dictionary(ReportTitle=Name.H1)))
    document = element(pdf, "Document", root, page)
    mcid_owner = {}

    def leaf(role, parent, mcid, **entries):
        e = element(pdf, role, parent, page, K=mcid, **entries)
        mcid_owner[mcid] = e
        return e

    heading_role = "H2" if fault == "heading-skips-a-level" else "ReportTitle"
    heading = leaf(heading_role, document, 0)
    paragraph = leaf("Para" if fault == "role-not-standard" else "P", document, 1)
    table = element(pdf, "Table", document, page)
    header_row = element(pdf, "TR", table, page)
    scope = {} if fault == "th-without-scope" else {
        "A": Dictionary(O=Name.Table, Scope=Name.Column)}
    header_cells = [leaf("TH", header_row, 2, **scope), leaf("TH", header_row, 3, **scope)]
    body_row = element(pdf, "TR", table, page)
    cell_parent = table if fault == "td-outside-tr" else body_row
    body_cells = [leaf("TD", cell_parent, 4), leaf("TD", body_row, 5)]
    figure_entries = {"Alt": String("A blue square: the bank's logo")}
    if fault == "figure-without-alt":
        figure_entries = {}
    elif fault == "empty-alt":
        figure_entries = {"Alt": String(""), "ActualText": String("The bank's logo")}
    figure = element(pdf, "Figure", document, page, **figure_entries)
    # The figure names its MCID by a marked-content reference, the other form of /K.
    figure.K = Dictionary(Type=Name.MCR, Pg=page, MCID=6)
    mcid_owner[6] = figure
    kids = [heading, paragraph, table, figure]
    if fault == "mcid-only-in-structure":
        kids.append(leaf("P", document, 9))
        del mcid_owner[9]

    document.K = Array(kids)
    table.K = Array([header_row, body_row] + ([body_cells[0]] if fault == "td-outside-tr" else []))
    header_row.K = Array(header_cells)
    body_row.K = Array(body_cells[1:] if fault == "td-outside-tr" else body_cells)
    root.K = document

    parents = Array([mcid_owner[m] for m in sorted(mcid_owner)])
    if fault == "mcid-not-in-parent-tree":
        parents[5] = None
    root.ParentTree = pdf.make_indirect(Dictionary(Nums=Array([0, parents])))
    root.ParentTreeNextKey = 1

    pdf.Root.StructTreeRoot = root
    pdf.Root.MarkInfo = Dictionary(Marked=True)
    if fault != "no-lang":
        pdf.Root.Lang = String("en-US")
    if fault != "no-display-doc-title":
        pdf.Root.ViewerPreferences = Dictionary(DisplayDocTitle=True)
    pdf.Root.Metadata = pdf.make_stream(XMP.encode("utf-8"), Type=Name.Metadata,
                                        Subtype=Name.XML)
    pdf.docinfo.Title = String("Quarterly report")
    pdf.save(path)


def element(pdf, role, parent, page, **entries):
    return pdf.make_indirect(Dictionary(Type=Name.StructElem, S=Name("/" + role), P=parent,
                                        Pg=page, **entries))


def font_dictionary(pdf, embedded):
    """Liberation Sans as a simple TrueType font in WinAnsi; the widths are one figure for every
    character, since what these documents test is their structure, not their typesetting."""
    descriptor = Dictionary(
        Type=Name.FontDescriptor, FontName=Name.LiberationSans, Flags=32,
        FontBBox=Array([-544, -303, 1302, 980]), ItalicAngle=0, Ascent=905, Descent=-212,
        CapHeight=729, StemV=80)
    if embedded:
        descriptor.FontFile2 = pdf.make_stream(FONT_FILE.read_bytes())
    return pdf.make_indirect(Dictionary(
        Type=Name.Font, Subtype=Name.TrueType, BaseFont=Name.LiberationSans,
        Encoding=Name.WinAnsiEncoding, FirstChar=32, LastChar=126,
        Widths=Array([556] * 95), FontDescriptor=pdf.make_indirect(descriptor)))
