#include "PageSetup.h"

#include "core/Guarded.h"

#include <QPageSize>
#include <QRegularExpression>
#include <QSizeF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace palvex {

namespace {

struct NamedPaper {
    const char* name;
    QPageSize::PageSizeId id;
};

constexpr NamedPaper NamedPapers[] = {{"A4", QPageSize::A4},
                                      {"Letter", QPageSize::Letter},
                                      {"Legal", QPageSize::Legal},
                                      {"A3", QPageSize::A3},
                                      {"A5", QPageSize::A5}};

// A standard sheet upright in twips, from its defining unit so Letter stays 12240 x 15840 exactly.
std::pair<float, float> twipsOf(QPageSize::PageSizeId id) {
    const QPageSize size(id);
    const QSizeF s = size.definitionSize();
    const double perUnit = size.definitionUnits() == QPageSize::Inch ? 1440.0 : 1440.0 / 25.4;
    return {float(s.width() * perUnit), float(s.height() * perUnit)};
}

bool withinBounds(float side) {
    return side >= PageSetup::MinSide && side <= PageSetup::MaxSide;
}

// Where a job prints the report's page: its sheet, turn and printable area.
void takePage(PrinterDevice& device, const PrinterDevice& page) {
    device.width = page.width;
    device.height = page.height;
    device.scaleWidth = page.scaleWidth;
    device.scaleHeight = page.scaleHeight;
    device.left = page.left;
    device.top = page.top;
    device.pageChosen = true;
}

} // namespace

void PageSetup::setPaperSize(const QString& value) {
    if (value.isEmpty()) {
        m_paper.reset();
        m_paperName.clear();
        return;
    }
    for (const NamedPaper& paper : NamedPapers)
        if (value.compare(QLatin1String(paper.name), Qt::CaseInsensitive) == 0) {
            const auto [width, height] = twipsOf(paper.id);
            m_paper = Paper{width, height};
            m_paperName = QLatin1String(paper.name);
            return;
        }
    static const QRegularExpression twips(QStringLiteral("^([0-9]{1,6})[xX]([0-9]{1,6})$"));
    const QRegularExpressionMatch match = twips.match(value);
    if (!match.hasMatch())
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("\"%1\" is not a paper: A4, Letter, Legal, A3, A5, or whole twips "
                              "as WIDTHxHEIGHT (\"12000x15000\"); \"\" for the printer's")
                   .arg(value));
    const float width = match.captured(1).toFloat(), height = match.captured(2).toFloat();
    if (!withinBounds(width) || !withinBounds(height))
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("a paper of %1 is too small or too large for a page").arg(value));
    m_paper = Paper{width, height};
    m_paperName = QStringLiteral("%1x%2").arg(int(width)).arg(int(height));
}

void PageSetup::setOrientation(int32_t value) {
    if (value < 0 || value > 2)
        refuse(Status::InvalidPropertyValue,
               QStringLiteral("%1 is not 1 (portrait), 2 (landscape) or 0 (as the paper is given)")
                   .arg(value));
    m_orientation = value;
}

PrinterSetupChoice PageSetup::setupChoice() const {
    PrinterSetupChoice choice;
    if (m_paper) {
        // The dialog shows sheets upright; the turn is its orientation.
        choice.paperWidth = std::min(m_paper->width, m_paper->height);
        choice.paperHeight = std::max(m_paper->width, m_paper->height);
        if (m_orientation == 0 && m_paper->width > m_paper->height) choice.orientation = 2;
    }
    if (m_orientation != 0) choice.orientation = m_orientation;
    choice.duplex = m_duplex;
    choice.paperSource = m_paperSource;
    return choice;
}

void PageSetup::takeSetup(const PrinterSetupChoice& chosen) {
    if (chosen.paperWidth > 0 && chosen.paperHeight > 0) {
        QString name;
        for (const NamedPaper& paper : NamedPapers) {
            const auto [width, height] = twipsOf(paper.id);
            // The dialog's sizes pass through millimetres and points: a twip either way is the
            // same sheet.
            if (std::abs(width - chosen.paperWidth) <= 1 &&
                std::abs(height - chosen.paperHeight) <= 1)
                name = QLatin1String(paper.name);
        }
        if (name.isEmpty())
            name = QStringLiteral("%1x%2")
                       .arg(std::lround(chosen.paperWidth))
                       .arg(std::lround(chosen.paperHeight));
        // A sheet the control cannot lay out (a label, a banner) leaves the paper as it was.
        try {
            setPaperSize(name);
        } catch (const Error&) {
        }
    }
    if (chosen.orientation >= 0 && chosen.orientation <= 2) m_orientation = chosen.orientation;
    m_duplex = chosen.duplex;
    m_paperSource = chosen.paperSource;
}

std::optional<PrinterDevice> PageSetup::startReport(const std::optional<PrinterDevice>& printer) {
    m_reportPage = printer;
    if (!chosen()) return m_reportPage;

    PrinterDevice page = printer.value_or(Printers::pdfDevice());
    float margin = Margin;
    if (printer) {
        const PrinterDevice& p = *printer;
        margin = std::max({margin, p.left, p.top, p.width - p.left - p.scaleWidth,
                           p.height - p.top - p.scaleHeight});
        // Never so wide that the smallest sheet has no room left between the margins.
        margin = std::min(margin, MinSide / 4);
    }
    if (m_paper) {
        page.width = m_paper->width;
        page.height = m_paper->height;
    }
    const bool wide = page.width > page.height;
    if ((m_orientation == 2 && !wide) || (m_orientation == 1 && wide))
        std::swap(page.width, page.height);
    page.left = page.top = margin;
    page.scaleWidth = page.width - 2 * margin;
    page.scaleHeight = page.height - 2 * margin;
    page.pageChosen = true;
    m_reportPage = page;
    return page;
}

PrinterDevice PageSetup::jobDevice(const PrinterDevice& device) const {
    PrinterDevice job = device;
    if (m_reportPage && m_reportPage->pageChosen) takePage(job, *m_reportPage);
    return job;
}

PrinterDevice PageSetup::pdfDevice() const {
    PrinterDevice pdf = Printers::pdfDevice();
    if (m_reportPage) takePage(pdf, *m_reportPage);
    return pdf;
}

} // namespace palvex
