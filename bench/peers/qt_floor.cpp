// The floor under any Qt report writer: the yardstick's strings drawn at the yardstick's
// positions with a bare QPainter on a QPdfWriter, nothing recorded, nothing measured twice.
//   bench-qt-floor OUT.pdf [N]      (N pages of 50 rows, 3 by default)
// See bench/cpp_vs_qt_floor, which pairs it with bench-trial-balance.

#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int RowsPerPage = 50;
constexpr double Twips = 1440; // the writer's resolution: one unit a twip

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString money(int64_t agorot) {
    return QStringLiteral("%1.%2")
        .arg(QLocale(QLocale::English).toString(qlonglong(agorot / 100)))
        .arg(int(agorot % 100), 2, 10, QLatin1Char('0'));
}

// Where the control puts them, in twips from the paper's top-left corner: each column's right
// end (12 mm from the right edge, then 1400, 5800, 7000 and 8800 twips in) and baselines.
constexpr double PageWidth = 11905.5, Right = PageWidth - 680.3;
constexpr double ColumnRight[] = {Right, Right - 1400, Right - 5800, Right - 7000, Right - 8800};
constexpr double CompanyBaseline = 823.2, TitleBaseline = 1109.0, TitlesBaseline = 1624.8;
constexpr double FirstRowBaseline = 1855.0, RowStep = 230.0, PageNumberBaseline = 16459.2;

class Page {
public:
    explicit Page(QPdfWriter& writer) : m_painter(&writer) {
        m_painter.setLayoutDirection(Qt::RightToLeft);
    }
    QPainter& painter() { return m_painter; }
    void font(int points, bool bold, bool underline = false) {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSize(points);
        f.setBold(bold);
        f.setUnderline(underline);
        m_painter.setFont(f);
    }
    void rightAt(double right, double baseline, const QString& text) {
        const double width = m_painter.fontMetrics().horizontalAdvance(text);
        m_painter.drawText(QPointF(right - width, baseline), text);
    }
    void centred(double baseline, const QString& text) {
        rightAt((PageWidth + m_painter.fontMetrics().horizontalAdvance(text)) / 2, baseline, text);
    }

private:
    QPainter m_painter;
};

void headers(Page& page) {
    page.font(14, true);
    page.centred(CompanyBaseline, q("א.ב. מסחר והפצה בע״מ - AB Trading Ltd"));
    page.font(12, false, true);
    page.centred(TitleBaseline, q("מאזן בוחן - Trial balance"));
    page.font(10, true);
    const char* titles[] = {"מס׳ חשבון", "שם חשבון", "קוד", "חובה", "זכות"};
    for (int c = 0; c < 5; ++c)
        page.rightAt(ColumnRight[c], TitlesBaseline, q(titles[c]));
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.pdf [N]\n", argv[0]);
        return 2;
    }
    const int pages = argc > 2 ? std::atoi(argv[2]) : 3;
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setResolution(int(Twips));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}));
    const QString names[] = {q("קופה ראשית"), q("בנק לאומי"), q("בנק הפועלים"), q("לקוחות"),
                             q("ספקים"),      q("מלאי"),      q("רכוש קבוע"),   q("פחת נצבר"),
                             q("הון מניות"),  q("עודפים"),    q("מכירות"),      q("קניות"),
                             q("שכר עבודה"),  q("שכר דירה"),  q("חשמל ומים"),   q("תקשורת"),
                             q("פרסום"),      q("ביטוח"),     q("הוצאות רכב"),  q("מע״מ עסקאות")};
    const QString branches[] = {q("תל אביב"), q("ירושלים"), q("חיפה"), q("באר שבע"), q("אילת")};
    Page page(writer);
    int64_t totals[2] = {0, 0};
    const long rows = long(pages) * RowsPerPage;
    for (long i = 0; i < rows; ++i) {
        const long line = i % RowsPerPage;
        if (line == 0) {
            if (i > 0) writer.newPage();
            headers(page);
            page.font(10, false);
        }
        double baseline = FirstRowBaseline + RowStep * double(line);
        const int64_t agorot = (int64_t(i) * 7919) % 1000000;
        const bool debit = i % 2 == 0;
        totals[debit ? 0 : 1] += agorot;
        page.rightAt(ColumnRight[0], baseline, QString::number(100000 + i));
        page.rightAt(ColumnRight[1], baseline,
                     names[i % 20] + QStringLiteral(" - ") + branches[(i / 20) % 5]);
        page.rightAt(ColumnRight[2], baseline, QString::number(i % 9000));
        page.rightAt(ColumnRight[debit ? 3 : 4], baseline, money(agorot));
        if (line == RowsPerPage - 1 || i == rows - 1) {
            if (i == rows - 1) {
                baseline += RowStep;
                page.font(10, true);
                page.rightAt(ColumnRight[1], baseline, q("סה״כ - Total"));
                page.rightAt(ColumnRight[3], baseline, money(totals[0]));
                page.rightAt(ColumnRight[4], baseline, money(totals[1]));
            }
            page.font(14, true);
            page.centred(PageNumberBaseline, QStringLiteral("-%1-").arg(i / RowsPerPage + 1));
            page.font(10, false);
        }
    }
    if (!page.painter().end()) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %d pages\n", argv[1], pages);
    return 0;
}
