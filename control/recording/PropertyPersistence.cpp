#include "PropertyPersistence.h"

#include "platform/PropertyBag.h"
#include "recording/ReportState.h"

#include <type_traits>
#include <variant>

namespace palvex {

namespace {

// One routine walks the keys for both directions, so saving and loading cannot drift apart.
// The page-number line is kept with the properties but placed through PageLines, so it travels
// apart from them.
template <class Visit>
void eachKey(Visit&& visit, const QFont& ambientFont, KeptProperties& p, float& pageNumberLine) {
    const KeptProperties d; // the defaults
    visit(QStringLiteral("Font"), p.ownFont, ambientFont);
    visit(QStringLiteral("Font"), p.Font, ambientFont);
    visit(QStringLiteral("ForeColor"), p.ForeColor, d.ForeColor);
    visit(QStringLiteral("CurrentX"), p.CurrentX, d.CurrentX);
    visit(QStringLiteral("CurrentY"), p.CurrentY, d.CurrentY);
    visit(QStringLiteral("FontBold"), p.FontBold, d.FontBold);
    visit(QStringLiteral("FontItalic"), p.FontItalic, d.FontItalic);
    visit(QStringLiteral("FontUnderline"), p.FontUnderline, d.FontUnderline);
    visit(QStringLiteral("FontName"), p.FontName, d.FontName);
    visit(QStringLiteral("FontSize"), p.FontSize, d.FontSize);
    visit(QStringLiteral("AutoRedraw"), p.ownAutoRedraw, d.ownAutoRedraw);
    visit(QStringLiteral("AutoRedraw"), p.AutoRedraw, d.AutoRedraw);
    visit(QStringLiteral("gtAfterPage"), p.gtAfterPage, d.gtAfterPage);
    visit(QStringLiteral("ForeColor"), p.ForeColor, d.ForeColor);
    visit(QStringLiteral("FontUnderline"), p.FontUnderline, d.FontUnderline);
    visit(QStringLiteral("FontSize"), p.FontSize, d.FontSize);
    visit(QStringLiteral("FontName"), p.FontName, d.FontName);
    visit(QStringLiteral("FontItalic"), p.FontItalic, d.FontItalic);
    visit(QStringLiteral("FontBold"), p.FontBold, d.FontBold);
    visit(QStringLiteral("AutoSize"), p.AutoSize, d.AutoSize);
    visit(QStringLiteral("dontPrintNumberPage"), p.dontPrintNumberPage, d.dontPrintNumberPage);
    visit(QStringLiteral("fxAsciiChar"), p.fxAsciiChar, d.fxAsciiChar);
    visit(QStringLiteral("DrawWidth"), p.DrawWidth, d.DrawWidth);
    visit(QStringLiteral("FontStrikethru"), p.FontStrikethru, d.FontStrikethru);
    visit(QStringLiteral("FontTransparent"), p.FontTransparent, d.FontTransparent);
    visit(QStringLiteral("fxCharset"), p.canvasFont, ambientFont);
    visit(QStringLiteral("DontConsiderForCenter"), p.DontConsiderForCenter,
          d.DontConsiderForCenter);
    visit(QStringLiteral("tfPrintFooter1"), p.tfPrintFooter1, d.tfPrintFooter1);
    visit(QStringLiteral("Header"), p.Header, d.Header);
    visit(QStringLiteral("currentYofPageNumber"), pageNumberLine, 0.0f);
    visit(QStringLiteral("gtMaxp"), p.gtMaxp, d.gtMaxp);
    visit(QStringLiteral("gtMinp"), p.gtMinp, d.gtMinp);
    visit(QStringLiteral("gtPrWidth"), p.gtPrWidth, d.gtPrWidth);
    visit(QStringLiteral("ScaleHeight"), p.ScaleHeight, d.ScaleHeight);
    visit(QStringLiteral("ScaleWidth"), p.ScaleWidth, d.ScaleWidth);
    visit(QStringLiteral("BackColor"), p.BackColor, d.BackColor);
    visit(QStringLiteral("CodePage"), p.CodePage, d.CodePage);
    visit(QStringLiteral("PageNumberFormat"), p.PageNumberFormat, d.PageNumberFormat);
}

} // namespace

void saveProperties(const ReportState& report, PropertyBag& bag, const QFont& ambientFont) {
    KeptProperties copy = report.props;
    float pageNumberLine = report.lines.pageNumberLine();
    eachKey(
        [&](const QString& key, auto& value, const auto& def) {
            using T = std::decay_t<decltype(value)>;
            bag.write(key, PropertyValue(std::in_place_type<T>, value),
                      PropertyValue(std::in_place_type<T>, def));
        },
        ambientFont, copy, pageNumberLine);
}

void loadProperties(ReportState& report, PropertyBag& bag, const QFont& ambientFont) {
    float pageNumberLine = report.lines.pageNumberLine();
    eachKey(
        [&](const QString& key, auto& value, const auto& def) {
            using T = std::decay_t<decltype(value)>;
            const PropertyValue stored = bag.read(key, PropertyValue(std::in_place_type<T>, def));
            // Every bag answers in the default's type.
            const T* read = std::get_if<T>(&stored);
            value = read ? *read : def;
        },
        ambientFont, report.props, pageNumberLine);
    report.lines.loadPageNumberLine(pageNumberLine);
    // A page this machine does not know (a form saved elsewhere) stores as the default does.
    if (!CodePage::isKnown(report.props.CodePage))
        report.props.CodePage = KeptProperties().CodePage;
}

} // namespace palvex
