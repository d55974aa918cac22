#pragma once

#include "core/InternalExport.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace palvex {

// One installed printer as the control sees it. Sizes are twips: the paper (Width, Height) and
// the printable area (ScaleWidth, ScaleHeight) in scale mode twips.
struct PrinterDevice {
    QString deviceName;
    bool isPdf = false;
    float width = 0;
    float height = 0;
    float scaleWidth = 0;
    float scaleHeight = 0;
    float left = 0, top = 0; // where the printable area begins on the paper
    int colorMode = 2;       // 2 colour, 1 monochrome
    // The paper, orientation and printable area above were chosen for the report, not read from
    // the printer: a job sets them on the printer instead of printing on its own page.
    bool pageChosen = false;
};

// The installed printers: the CUPS destinations in QPrinterInfo's order, then the built-in
// "Print to PDF" device. The current printer is the system default, else the first.
class Printers {
public:
    static constexpr const char* PdfDeviceName = "Print to PDF";

    virtual ~Printers() = default;

    // Every printer, or none at all (`withPrinters` false): then every access fails.
    PALVEX_INTERNAL_EXPORT static std::unique_ptr<Printers> system(bool withPrinters = true);

    virtual QList<PrinterDevice> installed() const = 0;
    // Throws palvex::Error (482, printer error) when no printer is installed.
    virtual PrinterDevice current() const = 0;
    // Makes the named printer current; false when no printer has that name.
    virtual bool setCurrent(const QString& deviceName) = 0;

    // Where the PDF device writes.
    QString pdfOutputPath() const { return m_pdfOutputPath; }
    void setPdfOutputPath(const QString& path) { m_pdfOutputPath = path; }

    // The built-in PDF device: A4 portrait, printable area 360 twips in from each edge.
    PALVEX_INTERNAL_EXPORT static PrinterDevice pdfDevice();

private:
    QString m_pdfOutputPath = QStringLiteral("palvex-print.pdf");
};

// Printers given by the caller (tests, hosts that pick their own list).
class PALVEX_INTERNAL_EXPORT FixedPrinters final : public Printers {
public:
    explicit FixedPrinters(QList<PrinterDevice> devices) : m_devices(std::move(devices)) {}
    QList<PrinterDevice> installed() const override { return m_devices; }
    PrinterDevice current() const override;
    bool setCurrent(const QString& deviceName) override;

private:
    QList<PrinterDevice> m_devices;
    int m_current = 0;
};

} // namespace palvex
