// What the PDF device's structure costs: N pages of a trial balance's table (50 rows of 5 cells,
// Hebrew names and numbers) drawn straight on the PDF device, each cell an item of the table,
// with the structure or without it. Time and peak memory are the whole process's: run it under
// /usr/bin/time -v, alternating the two.
//   bench-pdf-tags N [untagged]

#include "BenchControls.h"
#include "platform/PdfSurface.h"
#include "platform/Printers.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace palvex;

int main(int argc, char** argv) {
    const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
    const bool tagged = !(argc > 2 && std::string(argv[2]) == "untagged");
    bench::BenchApplication dir(argc, argv);
    PdfSurface pdf(Printers::pdfDevice(), dir.filePath(QStringLiteral("tags.pdf")));
    pdf.setTagged(tagged);
    pdf.begin();
    pdf.setFontName(QStringLiteral("Liberation Sans"));
    pdf.setFontSize(9);
    const QString names[] = {QString::fromUtf8("קופה ראשית - תל אביב"),
                             QString::fromUtf8("בנק לאומי - חיפה"),
                             QString::fromUtf8("לקוחות - ירושלים")};
    const float columns[] = {300, 1700, 6100, 7300, 9100};
    for (int page = 0; page < pages; ++page) {
        if (page > 0) pdf.NewPage();
        for (int row = 0; row < 50; ++row) {
            const long n = long(page) * 50 + row;
            const QString cells[] = {
                QString::number(100000 + n), names[n % 3], QString::number(n % 9000),
                QStringLiteral("%1.%2").arg(n * 7919 % 100000).arg(n % 90 + 10),
                QStringLiteral("0.00")};
            for (int column = 0; column < 5; ++column) {
                pdf.beginItem({.role = ItemRole::TableCell,
                               .startsRow = column == 0,
                               .startsTable = n == 0 && column == 0,
                               .column = uint8_t(column)},
                              {});
                pdf.setCurrentX(columns[column]);
                pdf.setCurrentY(float(600 + row * 280));
                pdf.Print(cells[column], false);
                pdf.endItem();
            }
        }
    }
    pdf.EndDoc();
    std::printf("%d pages %s\n", pages, tagged ? "tagged" : "untagged");
    return 0;
}
