#pragma once

#include "PaintingSurface.h"
#include "Printers.h"
#include "core/DocumentProperties.h"

#include <QPainter>

#include <memory>
#include <utility>
#include <vector>

namespace palvex {

// A surface that takes a document page by page: a printer, or the PDF device's file. Width and
// Height are the paper in twips, ScaleWidth/Height the printable area, drawn from its top-left
// corner. Pages are started lazily: NewPage only marks that the next drawing begins a new sheet,
// so a document never ends with a blank one.
class DocumentSurface : public PaintingSurface {
public:
    // The surface of a printer from the list: the PDF device for its entry, else the printer.
    // `pdfPath` and `document` are the PDF device's file and what it says about itself.
    static std::unique_ptr<DocumentSurface> open(const PrinterDevice& device,
                                                 const QString& pdfPath,
                                                 const DocumentProperties& document = {});
    ~DocumentSurface() override;

    // Print quality: -1 to -4 keep the device's resolution, 300 to 2400 set it in dots per inch.
    virtual void setPrintQuality(int quality) = 0;
    // Two-sided printing and the paper tray: QPrinter's DuplexMode and PaperSource, -1 leaving
    // the printer's own. A file has no trays and no sides.
    virtual void setPaperHandling(int duplex, int paperSource) {
        (void)duplex;
        (void)paperSource;
    }
    // Opens the document; throws palvex::Error (482) when the device cannot start.
    virtual void begin() = 0;
    void NewPage();
    // Ends the document; throws palvex::Error (482) when it was not delivered whole.
    virtual void EndDoc() = 0;
    // Drops a document after an error: what was sent is abandoned.
    virtual void abort() = 0;
    int pagesStarted() const { return m_pages; }

    // Width and Height are the paper; the unit is the printable area over the scale.
    double twipsPerUnitX() const override {
        return ScaleWidth() > 0 ? m_printableWidth / ScaleWidth() : 1.0;
    }
    double twipsPerUnitY() const override {
        return ScaleHeight() > 0 ? m_printableHeight / ScaleHeight() : 1.0;
    }
    double resolution() const { return m_resolution; }
    double devicePixelsPerTwip() const override { return m_resolution / 1440.0; }

protected:
    explicit DocumentSurface(const PrinterDevice& device);

    // The painter, begun on the device, draws in twips from the printable area's corner on the
    // document's first page.
    void painterBegun();
    void endPainter();
    QPainter& painter() { return m_painter; }
    void setResolution(double dotsPerInch);
    // Begins the next sheet on the device; false when it cannot.
    virtual bool startDevicePage() = 0;
    // The font as the device draws it (the PDF device resolves it for itself once).
    virtual QFont resolvedFont(const QFont& font) const { return font; }
    // No page is due any more: the document ends or is dropped.
    void closePages() { m_pageDue = false; }
    // Fonts resolved for a device that has changed are resolved again.
    void forgetDeviceFonts() { m_deviceFonts.clear(); }

    QPainter& beginPaint() override;
    double twipsPerDevicePixel() const override { return 1440.0 / m_resolution; }
    bool canRasterOp() const override { return false; }
    QFont deviceFont(const FontSpec& spec) const override;
    void clearDrawing() override {}

private:
    void startPageIfDue();

    QPainter m_painter;
    double m_resolution = 1200;
    double m_printableWidth = 0, m_printableHeight = 0;
    mutable std::vector<std::pair<FontSpec, QFont>> m_deviceFonts;
    bool m_pageDue = false;
    int m_pages = 0;
};

} // namespace palvex
