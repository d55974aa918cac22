#pragma once

#include "Enumerations.h"
#include "Export.h"
#include "Status.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace palvex {

class Palvex;

// A report written the way a C++ developer writes one, over a control's members:
//
//     palvex::ReportWriter w(report);
//     w.start().font(u"David CLM"_s, 11).paragraph(text, 6000);
//     w.table({{1500, Align::Right, u"מס׳ חשבון"_s}, {4000, Align::Right, u"שם"_s}});
//     w.row({u"100001"_s, u"קופה ראשית"_s});
//     w.endTable().finish().exportPdf(u"report.pdf"_s);
//     if (!w.ok()) qWarning() << w.errorString();
//
// Every call returns the writer, so calls chain. The first call the control refuses is kept
// (status(), errorString() names the call and the reason) and every later call does nothing:
// a report is either whole or known to have failed, without a check on every line.
class PALVEX_EXPORT ReportWriter {
public:
    enum class Align : int16_t { Right = 1, Center = 2, Left = 3, Justified = 4 };
    enum class Rules : int16_t { None = 0, UnderHeader = 1, BetweenRows = 2, Grid = 3 };

    // One column of a table, the first the rightmost; widths in twips.
    struct Column {
        float width;
        Align align = Align::Right;
        QString header = {};
    };

    explicit ReportWriter(Palvex& report) : m_report(report) {}

    // PDFs that a screen reader reads to the standard (PDF/UA-1): their title and language (BCP
    // 47).
    ReportWriter& accessible(const QString& title,
                             const QString& language = QStringLiteral("he-IL"));
    // A new report (the control's StartPalvexPrintPreview).
    ReportWriter& start();
    // The margins in twips, as the margins panel sets them (left, top, right, bottom).
    ReportWriter& margins(float left, float top, float right, float bottom);
    // The font for what follows; an empty family keeps the current one.
    ReportWriter& font(const QString& family, float size, bool bold = false);
    ReportWriter& bold(bool on);
    // The cursor, in twips: x from the page's right edge, y from its top.
    ReportWriter& at(float x);
    ReportWriter& at(float x, float y);
    // Text at the cursor, its right end at x, then the next line (or not).
    ReportWriter& text(const QString& text, AfterPrintType after = A2_JumpToNextLine);
    ReportWriter& centered(const QString& text, AfterPrintType after = A2_JumpToNextLine);
    // The texts that follow, until their line ends, are a heading of this level (1-6).
    ReportWriter& heading(int level);
    ReportWriter& newLine();
    // Text wrapped into a box `width` twips wide whose right edge is the cursor's x.
    ReportWriter& paragraph(const QString& text, float width, Align align = Align::Right,
                            float lineSpacing = 1);
    // A table from the cursor's x leftwards; its header row in bold, again on every page it
    // crosses unless repeatHeader is false.
    ReportWriter& table(std::initializer_list<Column> columns, Rules rules = Rules::UnderHeader,
                        bool repeatHeader = true);
    ReportWriter& table(const QList<Column>& columns, Rules rules = Rules::UnderHeader,
                        bool repeatHeader = true);
    // One row; missing cells are empty. A tab or record separator inside a cell, which would
    // split it, is written as a blank.
    ReportWriter& row(const QStringList& cells);
    ReportWriter& endTable();
    // A picture scaled into width × height twips, placed as printPicture places one (at the
    // cursor unless aligned), the cursor below it; `altText` says what it shows.
    ReportWriter& picture(const QString& path, QSizeF twips, bool keepAspect = true,
                          AlignPicHorizontalType align = A0_AlignPicHorizontalNone,
                          const QString& altText = QString());
    // The page number's text: "{page}" and "{pages}" are filled in ("עמוד {page} מתוך {pages}").
    ReportWriter& pageNumberFormat(const QString& format);
    // The page ends and the next begins under the headers (printPage, PrintHeader).
    ReportWriter& pageBreak();
    // The report ends (printLastPage): the preview shows it.
    ReportWriter& finish();
    ReportWriter& exportPdf(const QString& path);
    // The report's tables as a workbook or CSV file (ExportXlsx, ExportCsv).
    ReportWriter& exportXlsx(const QString& path);
    ReportWriter& exportCsv(const QString& path);

    // Any other member of the control, in the writer's chain: w.call([](Palvex& c) { return
    // c.let_ForeColor(0xff); }, "ForeColor").
    template <class Call> ReportWriter& call(Call&& member, const char* name) {
        if (ok()) keep(member(m_report), name);
        return *this;
    }

    bool ok() const { return m_status == Status::Ok; }
    Status status() const { return m_status; }
    // "" while all is well; else the call that failed and why ("TableRow: error 380: Invalid
    // property value").
    QString errorString() const;
    Palvex& report() const { return m_report; }

private:
    void keep(Status status, const char* call);

    Palvex& m_report;
    Status m_status = Status::Ok;
    const char* m_failedCall = nullptr;
};

} // namespace palvex
