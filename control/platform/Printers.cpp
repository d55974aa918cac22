#include "Printers.h"

#include "core/Guarded.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace palvex {

namespace {

constexpr double TwipsPerPoint = 20.0;

PrinterDevice describe(const QPrinterInfo& info) {
    PrinterDevice device;
    device.deviceName = info.printerName();
    QPrinter printer(info, QPrinter::HighResolution);
    const QPageLayout layout = printer.pageLayout();
    const QRectF full = layout.fullRect(QPageLayout::Point);
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    device.width = float(full.width() * TwipsPerPoint);
    device.height = float(full.height() * TwipsPerPoint);
    device.scaleWidth = float(paint.width() * TwipsPerPoint);
    device.scaleHeight = float(paint.height() * TwipsPerPoint);
    device.left = float(paint.left() * TwipsPerPoint);
    device.top = float(paint.top() * TwipsPerPoint);
    device.colorMode = info.supportedColorModes().contains(QPrinter::Color) ? 2 : 1;
    return device;
}

// The system's printers, read once when first asked for.
class SystemPrinters final : public Printers {
public:
    explicit SystemPrinters(bool withPrinters) : m_withPrinters(withPrinters) {}

    QList<PrinterDevice> installed() const override {
        load();
        return m_devices;
    }

    PrinterDevice current() const override {
        load();
        if (m_devices.isEmpty()) raise(Status::PrinterError);
        return m_devices.at(m_current);
    }

    bool setCurrent(const QString& deviceName) override {
        load();
        for (int i = 0; i < m_devices.size(); ++i)
            if (m_devices.at(i).deviceName == deviceName) {
                m_current = i;
                return true;
            }
        return false;
    }

private:
    void load() const {
        if (m_loaded) return;
        m_loaded = true;
        if (!m_withPrinters) return;
        const QString defaultName = QPrinterInfo::defaultPrinterName();
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
            if (info.printerName() == defaultName) m_current = int(m_devices.size());
            m_devices.append(describe(info));
        }
        m_devices.append(pdfDevice());
    }

    bool m_withPrinters;
    mutable bool m_loaded = false;
    mutable QList<PrinterDevice> m_devices;
    mutable int m_current = 0;
};

} // namespace

std::unique_ptr<Printers> Printers::system(bool withPrinters) {
    return std::make_unique<SystemPrinters>(withPrinters);
}

PrinterDevice Printers::pdfDevice() {
    PrinterDevice device;
    device.deviceName = QString::fromLatin1(PdfDeviceName);
    device.isPdf = true;
    // Exact A4 (210 x 297 mm); Qt's point table rounds it to whole points.
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    device.width = float(a4.width() * 1440 / 25.4);
    device.height = float(a4.height() * 1440 / 25.4);
    device.scaleWidth = device.width - 720;
    device.scaleHeight = device.height - 720;
    device.left = device.top = 360;
    device.colorMode = 2;
    return device;
}

PrinterDevice FixedPrinters::current() const {
    if (m_devices.isEmpty()) raise(Status::PrinterError);
    return m_devices.at(m_current);
}

bool FixedPrinters::setCurrent(const QString& deviceName) {
    for (int i = 0; i < m_devices.size(); ++i)
        if (m_devices.at(i).deviceName == deviceName) {
            m_current = i;
            return true;
        }
    return false;
}

} // namespace palvex
