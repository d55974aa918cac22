#pragma once

#include "PaintingSurface.h"
#include "Printers.h"
#include "core/DocumentProperties.h"

#include <QPainter>

#include <memory>
#include <utility>
#include <vector>

class QFile;
class QPrinter;

namespace palvex {

class CupsQueue;
class PdfOutputFile;
namespace pdf {
class PdfPaintDevice;
}

// The printer as a drawing surface: Width/Height are the paper in twips, ScaleWidth/Height the
// printable area, drawn from its top-left corner. Pages are started lazily: NewPage only marks
// that the next drawing begins a new sheet, so a document never ends with a blank one.
class PrinterSurface final : public PaintingSurface {
public:
    // `document` is what the PDF device's file says about itself; printers ignore it.
    PrinterSurface(const PrinterDevice& device, const QString& pdfPath,
                   const DocumentProperties& document = {});
    ~PrinterSurface() override;

    // Print quality: -1 to -4 keep the printer's resolution, 300 to 2400 set it in dots per inch.
    void setPrintQuality(int quality);
    // Two-sided printing and the paper tray: QPrinter's DuplexMode and PaperSource, -1 leaving
    // the printer's own.
    void setPaperHandling(int duplex, int paperSource);
    // Opens the document; throws palvex::Error (482) when the printer cannot start (a CUPS
    // queue that rejects jobs or is stopped, or a scheduler that does not answer).
    void begin();
    void NewPage();
    // Ends the document; throws palvex::Error (482) when it did not reach the printer whole. The
    // PDF device's file is replaced only here, by a complete document.
    void EndDoc();
    // Drops a document after an error: what was sent is abandoned.
    void abort();

    int pagesStarted() const { return m_pages; }
    // Texts of one direction go to the PDF device already shaped, without Qt's layout (on by
    // default; off, every text takes Qt's layout, as tests compare).
    void setPlainTextShaping(bool on) { m_plainText = on; }

    // On a printer Width and Height are the paper; the unit is the printable area over the scale.
    double twipsPerUnitX() const override {
        return ScaleWidth() > 0 ? m_printableWidth / ScaleWidth() : 1.0;
    }
    double twipsPerUnitY() const override {
        return ScaleHeight() > 0 ? m_printableHeight / ScaleHeight() : 1.0;
    }
    double resolution() const { return m_resolution; }
    double devicePixelsPerTwip() const override { return m_resolution / 1440.0; }

protected:
    QPainter& beginPaint() override;
    double twipsPerDevicePixel() const override { return 1440.0 / m_resolution; }
    bool canRasterOp() const override { return false; }
    QFont deviceFont(const FontSpec& spec) const override;
    void clearDrawing() override {}
    void drawText(QStringView text, double leftTwips, double topTwips, double widthTwips) override;

private:
    void beginPdf();
    bool drawPlainText(QStringView text, double leftTwips, double topTwips);
    void startPageIfDue();

    std::unique_ptr<QPrinter> m_printer;  // a printer's device, null for the PDF device
    std::unique_ptr<PdfOutputFile> m_pdf; // the PDF device's file, null for other printers
    std::unique_ptr<QFile> m_pdfFile;
    std::unique_ptr<pdf::PdfPaintDevice> m_pdfDevice; // writes the PDF device's document
    DocumentProperties m_document;
    QSizeF m_paperTwips;
    QRectF m_printableTwips;
    std::unique_ptr<CupsQueue> m_queue; // a CUPS printer's queue, null for the PDF device
    QPainter m_painter;
    double m_resolution = 1200;
    double m_printableWidth = 0, m_printableHeight = 0;
    mutable std::vector<std::pair<FontSpec, QFont>> m_deviceFonts;
    bool m_plainText = true;
    bool m_pageDue = false;
    int m_pages = 0;
};

} // namespace palvex
