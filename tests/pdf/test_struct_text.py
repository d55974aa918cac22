#!/usr/bin/python3
"""poppler's reading of the structure (struct_text.py) gives the right sample's elements with
their text, and the order assertion holds or says what it found."""
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from struct_text import assert_in_order, parse_outline, read_outline  # noqa: E402
from tagged_samples import write_sample  # noqa: E402


class StructTextTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.good = Path(cls.folder.name, "good.pdf")
        write_sample(cls.good)
        cls.roots = read_outline(cls.good)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_poppler_reads_every_element_with_its_text(self):
        self.assertEqual([(n.role, n.depth) for n in self.roots[0].walk()], [
            ("Document", 0), ("H1", 1), ("P", 1), ("Table", 1), ("TR", 2), ("TH", 3),
            ("TH", 3), ("TR", 2), ("TD", 3), ("TD", 3), ("Figure", 1)])
        table = self.roots[0].children[2]
        self.assertEqual(table.children[0].children[0].attributes, ["/Scope /Column"])
        self.assertEqual(table.children[1].text(), "Cash1,234.50")

    def test_elements_in_order_pass_and_out_of_order_fail_naming_what_is_there(self):
        assert_in_order(self.roots, [("H1", "Quarterly"), ("P", "March"), ("Table", None),
                                     ("TR", None), ("TD", "1,234.50"), ("Figure", None)])
        with self.assertRaisesRegex(AssertionError, "no TH after .* Document H1 P Table TR TH"):
            assert_in_order(self.roots, [("TD", "Cash"), ("TH", None)])
        with self.assertRaisesRegex(AssertionError, "no P containing 'Balance'"):
            assert_in_order(self.roots, [("P", "Balance")])

    def test_a_text_over_several_lines_and_the_words_pdfinfo_adds_are_read(self):
        roots = parse_outline('Sect <s1> "Intro" r2 (block):\n   /Placement /Block\n'
                              '  Span (inline)\n    "first line\nsecond line"\n  (No content)\n'
                              '  Object 12 0\n')
        self.assertEqual([n.role for n in roots[0].walk()], ["Sect", "Span"])
        self.assertEqual(roots[0].attributes, ["/Placement /Block"])
        self.assertEqual(roots[0].text(), "first line\nsecond line")


if __name__ == "__main__":
    unittest.main()
