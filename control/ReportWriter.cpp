// The C++ writer's calls, each one member of the control (or a few, for a table's columns).

#include <palvex/Palvex.h>
#include <palvex/ReportWriter.h>

#include <algorithm>

namespace palvex {

namespace {

// Cells are joined with tabs and rows with record separators: inside a cell either would
// split it, and neither has a glyph to lose.
QString cellText(QString cell) {
    cell.replace(QLatin1Char('\t'), QLatin1Char(' '));
    cell.replace(QChar(0x1E), QLatin1Char(' '));
    return cell;
}

} // namespace

void ReportWriter::keep(Status status, const char* call) {
    if (status == Status::Ok || !ok()) return;
    m_status = status;
    m_failedCall = call;
}

QString ReportWriter::errorString() const {
    if (ok()) return {};
    const QString call = QLatin1StringView(m_failedCall);
    // The control's own words for the refusal, while they are still the failed call's (the
    // writer makes no call after it; the host might have).
    const QString detail = m_report.lastErrorDetail();
    const QString prefix = call + QStringLiteral(": ");
    QString reason;
    if (detail.startsWith(prefix)) {
        reason = detail.mid(prefix.size());
    } else {
        const std::string_view text = describe(m_status);
        reason = QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    return QStringLiteral("%1: error %2: %3").arg(call, QString::number(int(m_status)), reason);
}

ReportWriter& ReportWriter::start() {
    return call([](Palvex& c) { return c.StartPalvexPrintPreview(); }, "StartPalvexPrintPreview");
}

ReportWriter& ReportWriter::margins(float left, float top, float right, float bottom) {
    return call([&](Palvex& c) { return c.SetMargins(left, top, right, bottom); }, "SetMargins");
}

ReportWriter& ReportWriter::font(const QString& family, float size, bool bold) {
    if (!family.isEmpty()) call([&](Palvex& c) { return c.let_FontName(family); }, "FontName");
    call([&](Palvex& c) { return c.let_FontSize(size); }, "FontSize");
    return this->bold(bold);
}

ReportWriter& ReportWriter::accessible(const QString& title, const QString& language) {
    call([&](Palvex& c) { return c.let_DocumentTitle(title); }, "DocumentTitle");
    call([&](Palvex& c) { return c.let_DocumentLanguage(language); }, "DocumentLanguage");
    return call([](Palvex& c) { return c.let_PdfConformance(QStringLiteral("PDF/UA-1")); },
                "PdfConformance");
}

ReportWriter& ReportWriter::heading(int level) {
    const int16_t role = int16_t(std::clamp(level, 1, 6));
    return call([&](Palvex& c) { return c.let_ItemRole(role); }, "ItemRole");
}

ReportWriter& ReportWriter::bold(bool on) {
    return call([&](Palvex& c) { return c.let_FontBold(on); }, "FontBold");
}

ReportWriter& ReportWriter::at(float x) {
    return call([&](Palvex& c) { return c.let_CurrentX(x); }, "CurrentX");
}

ReportWriter& ReportWriter::at(float x, float y) {
    at(x);
    return call([&](Palvex& c) { return c.let_CurrentY(y); }, "CurrentY");
}

ReportWriter& ReportWriter::text(const QString& text, AfterPrintType after) {
    return call([&](Palvex& c) { return c.printText(text, after); }, "printText");
}

ReportWriter& ReportWriter::centered(const QString& text, AfterPrintType after) {
    return call([&](Palvex& c) { return c.centerIT(text, after); }, "centerIT");
}

ReportWriter& ReportWriter::newLine() {
    return call([](Palvex& c) { return c.JumpToNextLine(); }, "JumpToNextLine");
}

ReportWriter& ReportWriter::paragraph(const QString& text, float width, Align align,
                                      float lineSpacing) {
    const int16_t alignment = int16_t(align);
    return call([&](Palvex& c) { return c.printParagraph(text, width, &alignment, &lineSpacing); },
                "printParagraph");
}

ReportWriter& ReportWriter::table(std::initializer_list<Column> columns, Rules rules,
                                  bool repeatHeader) {
    return table(QList<Column>(columns), rules, repeatHeader);
}

ReportWriter& ReportWriter::table(const QList<Column>& columns, Rules rules, bool repeatHeader) {
    call([](Palvex& c) { return c.TableClear(); }, "TableClear");
    for (const Column& column : columns)
        call(
            [&](Palvex& c) {
                return c.TableAddColumn(column.width, int16_t(column.align), column.header);
            },
            "TableAddColumn");
    call([&](Palvex& c) { return c.let_TableLines(int16_t(rules)); }, "TableLines");
    return call([&](Palvex& c) { return c.TableBegin(&repeatHeader); }, "TableBegin");
}

ReportWriter& ReportWriter::row(const QStringList& cells) {
    if (!ok()) return *this; // no joining for a report that already failed
    QString joined;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i) joined += QLatin1Char('\t');
        joined += cellText(cells[i]);
    }
    return call([&](Palvex& c) { return c.TableRow(joined); }, "TableRow");
}

ReportWriter& ReportWriter::endTable() {
    return call([](Palvex& c) { return c.TableEnd(); }, "TableEnd");
}

ReportWriter& ReportWriter::picture(const QString& path, QSizeF twips, bool keepAspect,
                                    AlignPicHorizontalType align, const QString& altText) {
    const float width = float(twips.width()), height = float(twips.height());
    const int16_t alignment = int16_t(align);
    call([&](Palvex& c) { return c.let_PictureAltText(altText); }, "PictureAltText");
    return call(
        [&](Palvex& c) {
            return c.printPictureSized(path, width, height, &keepAspect, &alignment);
        },
        "printPictureSized");
}

ReportWriter& ReportWriter::pageNumberFormat(const QString& format) {
    return call([&](Palvex& c) { return c.let_PageNumberFormat(format); }, "PageNumberFormat");
}

ReportWriter& ReportWriter::pageBreak() {
    call([](Palvex& c) { return c.printPage(); }, "printPage");
    return call([](Palvex& c) { return c.PrintHeader(); }, "PrintHeader");
}

ReportWriter& ReportWriter::finish() {
    return call([](Palvex& c) { return c.printLastPage(); }, "printLastPage");
}

ReportWriter& ReportWriter::exportPdf(const QString& path) {
    return call([&](Palvex& c) { return c.ExportPdf(path); }, "ExportPdf");
}

ReportWriter& ReportWriter::exportXlsx(const QString& path) {
    return call([&](Palvex& c) { return c.ExportXlsx(path); }, "ExportXlsx");
}

ReportWriter& ReportWriter::exportCsv(const QString& path) {
    return call([&](Palvex& c) { return c.ExportCsv(path); }, "ExportCsv");
}

} // namespace palvex
