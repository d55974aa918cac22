#!/usr/bin/python3
"""check_pdfua.py passes the right sample (a role of its own mapped to H1 included), names each
sample's one fault and nothing else, and catches a PDF with no tags at all."""
import io
import sys
import tempfile
import unittest
from contextlib import redirect_stdout
from pathlib import Path

import pikepdf

sys.path.insert(0, str(Path(__file__).parent))
import check_pdfua  # noqa: E402
from tagged_samples import FAULTS, write_sample  # noqa: E402


class CheckPdfuaTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.good = Path(cls.folder.name, "good.pdf")
        write_sample(cls.good)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def run_main(self, *args):
        out = io.StringIO()
        with redirect_stdout(out):
            status = check_pdfua.main([*args])
        return status, out.getvalue()

    def test_the_right_sample_has_no_finding(self):
        self.assertEqual(self.run_main(str(self.good)), (0, ""))

    def test_each_fault_is_named_alone(self):
        for fault, rule in FAULTS.items():
            with self.subTest(fault=fault):
                path = Path(self.folder.name, f"{fault}.pdf")
                write_sample(path, fault=fault)
                findings = check_pdfua.check(path)
                self.assertEqual({f.rule for f in findings}, {rule}, "\n".join(map(str, findings)))
                status, out = self.run_main(str(path))
                expected_status = 0 if all(f.severity == "warning" for f in findings) else 1
                self.assertEqual(status, expected_status, out)
                self.assertEqual(out.splitlines(), [str(f) for f in findings])

    def test_a_skipped_heading_level_warns_and_fails_only_when_strict(self):
        path = Path(self.folder.name, "heading.pdf")
        write_sample(path, fault="heading-skips-a-level")
        self.assertEqual(self.run_main(str(path)),
                         (0, "warning heading-skip: Document/H2[1]: H2 follows no heading\n"))
        self.assertEqual(self.run_main("--strict", str(path))[0], 1)

    def test_an_untagged_page_fails_every_tagging_rule(self):
        path = Path(self.folder.name, "untagged.pdf")
        with pikepdf.new() as pdf:
            pdf.add_blank_page()
            pdf.pages[0].obj.Contents = pdf.make_stream(b"0 0 m 100 100 l S")
            pdf.save(path)
        status, out = self.run_main(str(path))
        self.assertEqual(status, 1)
        self.assertEqual([line.split(":")[0] for line in out.splitlines()],
                         ["error marked", "error struct-tree", "error lang",
                          "error untagged-content"])

    def test_a_language_tag_is_checked_for_its_shape(self):
        for tag in ("he-IL", "en", "zh-Hant-TW", "de-CH-1996", "x-private"):
            self.assertTrue(check_pdfua.LANGUAGE_TAG.match(tag), tag)
        for tag in ("hebrew israel", "he_IL", "i", "he-", "123"):
            self.assertFalse(check_pdfua.LANGUAGE_TAG.match(tag), tag)

    def test_the_structure_outline_shows_roles_alt_scope_and_mcids(self):
        out = io.StringIO()
        check_pdfua.print_structure(self.good, out)
        self.assertEqual(out.getvalue().splitlines(), [
            "Document",
            "  H1 (ReportTitle) mcid=p1:0",
            "  P mcid=p1:1",
            "  Table",
            "    TR",
            "      TH scope=Column mcid=p1:2",
            "      TH scope=Column mcid=p1:3",
            "    TR",
            "      TD mcid=p1:4",
            "      TD mcid=p1:5",
            "  Figure alt=\"A blue square: the bank's logo\" mcid=p1:6",
        ])


if __name__ == "__main__":
    unittest.main()
