#pragma once

#include <QPaintDevice>

#include <memory>

namespace palvex::pdf {

class PdfDocument;
class PdfPaintEngine;

// A paint device over a PDF document's pages: QPainter draws on it as on any device, so the
// preview and the PDF are drawn by the same replay code.
class PdfPaintDevice final : public QPaintDevice {
public:
    explicit PdfPaintDevice(PdfDocument& document);
    ~PdfPaintDevice() override;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    PdfDocument& m_document;
    std::unique_ptr<PdfPaintEngine> m_engine;
};

} // namespace palvex::pdf
