#pragma once

#include "core/InternalExport.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace palvex {

// The page a host or the user chose for the next report, and the page the current report was
// recorded on. Left unchosen, a report takes the current printer's page and a job prints on the
// printer's own; chosen, the report is laid out on the chosen sheet and every job of it, on the
// printer panel or in a PDF export, prints on that same sheet turned the same way.
class PageSetup {
public:
    // Sides of a "WxH" sheet in twips: big enough for the default margins and the page-number
    // line, small enough that the preview's canvas stays a reasonable image (about 88 cm).
    static constexpr float MinSide = 2880, MaxSide = 50000;
    // The printable area of a chosen sheet starts this far in from each edge, or as far as the
    // printer's widest unprintable edge when that is more.
    static constexpr float Margin = 360;

    // "A4", "Letter", "Legal", "A3", "A5" or "WxH" in twips; empty when the printer's paper.
    const QString& paperSize() const { return m_paperName; }
    // Takes a paper name (in any case) or whole twips "WxH" within MinSide..MaxSide; empty goes
    // back to the printer's paper. Throws palvex::Error (380) for anything else.
    PALVEX_INTERNAL_EXPORT void setPaperSize(const QString& value);
    // 1 portrait, 2 landscape, 0 the paper as it is given (the printer's, or "WxH" as written).
    int32_t orientation() const { return m_orientation; }
    // Throws palvex::Error (380) for anything but 0, 1 or 2.
    PALVEX_INTERNAL_EXPORT void setOrientation(int32_t value);

    // The printer set-up dialog opens on the choices so far and its answer is kept: paper and
    // orientation for the next report, two-sided printing and the tray for every job.
    PALVEX_INTERNAL_EXPORT PrinterSetupChoice setupChoice() const;
    void takeSetup(const PrinterSetupChoice& chosen);
    int duplex() const { return m_duplex; }
    int paperSource() const { return m_paperSource; }

    // At a report's start: the page it is recorded on, from the current printer (nothing when
    // none answers). Nothing back means the fixed page of a control without a printer.
    std::optional<PrinterDevice> startReport(const std::optional<PrinterDevice>& printer);
    // The printer a job of the current report runs on: `device` itself, or with the report's
    // page when it was chosen.
    PrinterDevice jobDevice(const PrinterDevice& device) const;
    // The built-in PDF device with the current report's page (A4 for the fixed page).
    PrinterDevice pdfDevice() const;

private:
    struct Paper {
        float width = 0, height = 0;
    };
    bool chosen() const { return m_paper.has_value() || m_orientation != 0; }

    std::optional<Paper> m_paper;
    QString m_paperName;
    int32_t m_orientation = 0;
    int m_duplex = -1;
    int m_paperSource = -1;
    std::optional<PrinterDevice> m_reportPage;
};

} // namespace palvex
