"""Reads every text-showing operator of a PDF's pages (and of the forms they draw) and finds each
glyph it draws: a composite font's two-byte codes are CIDs, mapped to glyphs by the font's
CIDToGIDMap (TrueType) or taken as glyph numbers (CFF). Prints one line per glyph 0 (.notdef)
drawn and exits 1 when there is any.

    pdf_glyph_check.py FILE.pdf
    pdf_glyph_check.py FILE.pdf --spoil COPY.pdf   first writes a copy whose TrueType fonts draw
                                                   nothing but glyph 0, and checks the copy
"""

import sys

import pikepdf

TEXT_OPERATORS = {"Tj", "TJ", "'", '"'}


def glyph_map(font):
    """A function from a code of a Type0 font to the glyph it draws, or None for other fonts."""
    if font.get("/Subtype") != "/Type0":
        return None
    descendant = font["/DescendantFonts"][0]
    mapping = descendant.get("/CIDToGIDMap")
    if descendant.get("/Subtype") == "/CIDFontType2" and isinstance(mapping, pikepdf.Stream):
        table = mapping.read_bytes()
        return lambda cid: (table[2 * cid] << 8 | table[2 * cid + 1]) if 2 * cid + 1 < len(table) else 0
    return lambda cid: cid


def strings_of(operator, operands):
    if operator == "TJ":
        return [item for item in operands[0] if isinstance(item, pikepdf.String)]
    return [operands[-1]]


def check_content(owner, where, faults, seen):
    if owner.objgen in seen and owner.objgen != (0, 0):
        return
    seen.add(owner.objgen)
    resources = owner.get("/Resources") or pikepdf.Dictionary()
    fonts = resources.get("/Font") or pikepdf.Dictionary()
    xobjects = resources.get("/XObject") or pikepdf.Dictionary()
    font_name, mapping = None, None
    for operands, operator in pikepdf.parse_content_stream(owner):
        op = str(operator)
        if op == "Tf":
            font_name = str(operands[0])
            font = fonts.get(font_name)
            mapping = glyph_map(font) if font is not None else None
        elif op in TEXT_OPERATORS and mapping:
            for text in strings_of(op, operands):
                data = bytes(text)
                for i in range(0, len(data) - 1, 2):
                    cid = data[i] << 8 | data[i + 1]
                    if mapping(cid) == 0:
                        faults.append(f"{where}: {font_name} code <{cid:04X}> draws glyph 0")
        elif op == "Do":
            xobject = xobjects.get(str(operands[0]))
            if xobject is not None and xobject.get("/Subtype") == "/Form":
                check_content(xobject, f"{where} form {operands[0]}", faults, seen)


def notdef_faults(path):
    faults = []
    with pikepdf.open(path) as pdf:
        for number, page in enumerate(pdf.pages, 1):
            check_content(page.obj, f"page {number}", faults, set())
    return faults


def spoil(path, copy):
    with pikepdf.open(path) as pdf:
        for page in pdf.pages:
            for _, font in (page.obj.get("/Resources", {}).get("/Font") or {}).items():
                if font.get("/Subtype") != "/Type0":
                    continue
                mapping = font["/DescendantFonts"][0].get("/CIDToGIDMap")
                if isinstance(mapping, pikepdf.Stream):
                    mapping.write(bytes(len(mapping.read_bytes())))
        pdf.save(copy)


def main(argv):
    if len(argv) == 3 and argv[1] == "--spoil":
        spoil(argv[0], argv[2])
        argv = [argv[2]]
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    faults = notdef_faults(argv[0])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
