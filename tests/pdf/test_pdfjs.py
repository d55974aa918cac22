#!/usr/bin/python3
"""pdf.js (installed where $PALVEX_PDFJS_DIR says) reads the right sample's roles, alternative
text and text, and sees no structure in an untagged PDF. Without pdf.js the test fails."""
import os
import sys
import tempfile
import unittest
from pathlib import Path

import pikepdf

sys.path.insert(0, str(Path(__file__).parent))
import pdfjs  # noqa: E402
from struct_text import assert_in_order  # noqa: E402
from tagged_samples import write_sample  # noqa: E402


class PdfJsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pdfjs_dir = os.environ.get("PALVEX_PDFJS_DIR")
        if not cls.pdfjs_dir:
            raise RuntimeError("PALVEX_PDFJS_DIR is not set (ctest sets it: pdf.pdfjs_installed)")
        cls.folder = tempfile.TemporaryDirectory()
        cls.good = Path(cls.folder.name, "good.pdf")
        write_sample(cls.good)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_pdfjs_reads_the_roles_alt_text_and_text(self):
        pages = pdfjs.read_pages(self.pdfjs_dir, self.good)
        roots = pdfjs.outline(pages)
        self.assertEqual([(n.role, n.depth) for n in roots[0].walk()], [
            ("Document", 0), ("H1", 1), ("P", 1), ("Table", 1), ("TR", 2), ("TH", 3),
            ("TH", 3), ("TR", 2), ("TD", 3), ("TD", 3), ("Figure", 1)])
        figure = roots[0].children[-1]
        self.assertEqual(figure.attributes, ["/Alt A blue square: the bank's logo"])
        assert_in_order(roots, [("H1", "Quarterly report"), ("TH", "Account"),
                                ("TD", "1,234.50")])
        self.assertIn("Cash and bank balances", pages[0]["text"])

    def test_an_untagged_pdf_has_no_structure_tree(self):
        path = Path(self.folder.name, "untagged.pdf")
        with pikepdf.new() as pdf:
            pdf.add_blank_page()
            pdf.save(path)
        self.assertEqual(pdfjs.read_outline(self.pdfjs_dir, path), [])

    def test_an_unreadable_file_is_an_error(self):
        path = Path(self.folder.name, "not-a.pdf")
        path.write_bytes(b"not a PDF")
        with self.assertRaisesRegex(RuntimeError, "pdf.js could not read"):
            pdfjs.read_pages(self.pdfjs_dir, path)


if __name__ == "__main__":
    unittest.main()
