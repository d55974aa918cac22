#pragma once

#include "DocumentSurface.h"

#include <memory>

class QPrinter;

namespace palvex {

class CupsQueue;

// A printer as a drawing surface, through QPrinter and its CUPS queue.
class PrinterSurface final : public DocumentSurface {
public:
    explicit PrinterSurface(const PrinterDevice& device);
    ~PrinterSurface() override;

    void setPrintQuality(int quality) override;
    void setPaperHandling(int duplex, int paperSource) override;
    // Throws palvex::Error (482) also when the printer's CUPS queue rejects jobs or is stopped,
    // or its scheduler does not answer.
    void begin() override;
    // Throws palvex::Error (482) also when the job did not reach the printer's queue.
    void EndDoc() override;
    void abort() override;

protected:
    bool startDevicePage() override;

private:
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<CupsQueue> m_queue;
};

} // namespace palvex
