"""The small report of docs/guide.md in Python: small_report.py OUT.pdf

The report store and definitions file go to the current folder."""
import sys

import palvex


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(f"usage: {argv[0]} OUT.pdf\n")
        return 2
    # Every call that fails raises palvex.PalvexError; the first one ends the report.
    try:
        with palvex.Report() as r:
            # A warning goes to LastMessage instead of a box that waits for a person.
            r.MessagesToHost = True
            r.StartPalvexPrintPreview()
            r.FontName = "David CLM"
            r.FontSize = 16
            r.FontBold = True
            r.centerIT("דוח קטן", palvex.A2_JumpToNextLine)
            r.FontSize = 12
            r.FontBold = False
            r.RightIT("שלום, זו השורה הראשונה של הדוח.", palvex.A2_JumpToNextLine)
            r.RightIT("בשורה הזאת מילה אחת באנגלית: Palvex", palvex.A2_JumpToNextLine)
            r.printLine(0, 2000, 6000, 2000, 0, 13, 0, 1, palvex.A2_AlignCenter)
            r.CurrentY = 2100
            r.RightIT("הכנסות: 1,234.50", palvex.A1_StayWhereYouAre)
            r.LeftIT("הוצאות: 987.65", palvex.A2_JumpToNextLine)
            r.printLastPage()
            r.ExportPdf(argv[1])
    except palvex.PalvexError as e:
        # The member, why, and the status: "ExportPdf: ... (status 75: Path/File access error)".
        sys.stderr.write(f"{e}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
