#include "Dialogs.h"

#include "Colors.h"
#include "DisplayPlatform.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace palvex {

// Where nothing shown can be seen, a modal dialog would wait for ever: it answers as Cancel would,
// as the message boxes answer themselves there.
std::optional<int32_t> QtDialogs::chooseColor(int32_t initial, QWidget* parent) {
    if (DisplayPlatform::screenless()) return std::nullopt;
    const QColor color = QColorDialog::getColor(toQColor(initial), parent);
    if (!color.isValid()) return std::nullopt;
    return fromQColor(color);
}

namespace {

constexpr double MillimetresPerTwip = 25.4 / 1440.0;

} // namespace

std::optional<PrinterSetupChoice> QtDialogs::printerSetup(const QString& printerName,
                                                          const PrinterSetupChoice& current,
                                                          QWidget* parent) {
    if (DisplayPlatform::screenless()) return std::nullopt;
    // The dialog edits a printer; the choices are read back from it, since the printer itself is
    // thrown away with this call.
    QPrinter printer(QPrinterInfo::printerInfo(printerName));
    if (current.paperWidth > 0 && current.paperHeight > 0)
        printer.setPageSize(
            QPageSize(QSizeF(current.paperWidth, current.paperHeight) * MillimetresPerTwip,
                      QPageSize::Millimeter));
    if (current.orientation != 0)
        printer.setPageOrientation(current.orientation == 2 ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    if (current.duplex >= 0) printer.setDuplex(QPrinter::DuplexMode(current.duplex));
    if (current.paperSource >= 0)
        printer.setPaperSource(QPrinter::PaperSource(current.paperSource));
    QPageSetupDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;

    const QPageLayout layout = printer.pageLayout();
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter) / MillimetresPerTwip;
    PrinterSetupChoice chosen;
    chosen.paperWidth = float(paper.width());
    chosen.paperHeight = float(paper.height());
    chosen.orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    chosen.duplex = int(printer.duplex());
    chosen.paperSource = int(printer.paperSource());
    return chosen;
}

std::optional<PrinterSetupChoice>
ScriptedDialogs::printerSetup(const QString&, const PrinterSetupChoice& current, QWidget*) {
    if (m_setups.empty()) return std::nullopt;
    const SetupAnswer answer = m_setups.front();
    m_setups.pop_front();
    if (!answer.ok) return std::nullopt;
    return answer.choice.value_or(current);
}

std::optional<int32_t> ScriptedDialogs::chooseColor(int32_t, QWidget*) {
    if (m_colors.empty()) return std::nullopt;
    const std::optional<int32_t> answer = m_colors.front();
    m_colors.pop_front();
    return answer;
}

namespace {

struct ExportOffer {
    ExportKind kind;
    const char* filter;
    const char* ending;
};
constexpr ExportOffer exportOffers[] = {{ExportKind::Pdf, "PDF (*.pdf)", ".pdf"},
                                        {ExportKind::Xlsx, "Excel (*.xlsx)", ".xlsx"},
                                        {ExportKind::Csv, "CSV (*.csv)", ".csv"}};

} // namespace

std::optional<ExportKind> exportKindOf(const QString& path) {
    for (const ExportOffer& offer : exportOffers)
        if (path.endsWith(QLatin1String(offer.ending), Qt::CaseInsensitive)) return offer.kind;
    return std::nullopt;
}

std::optional<ExportTarget> QtDialogs::exportTarget(const QString& suggestedName, QWidget* parent) {
    if (DisplayPlatform::screenless()) return std::nullopt;
    QStringList filters;
    for (const ExportOffer& offer : exportOffers)
        filters << QString::fromLatin1(offer.filter);
    QString chosenFilter = filters.front();
    QString path = QFileDialog::getSaveFileName(parent, QString(), suggestedName,
                                                filters.join(QStringLiteral(";;")), &chosenFilter);
    if (path.isEmpty()) return std::nullopt;
    // A name that ends as one of the kinds is that kind, whichever filter was showing.
    if (const std::optional<ExportKind> kind = exportKindOf(path)) return ExportTarget{path, *kind};
    const ExportOffer& offer = exportOffers[std::max<qsizetype>(0, filters.indexOf(chosenFilter))];
    return ExportTarget{path + QLatin1String(offer.ending), offer.kind};
}

std::optional<ExportTarget> ScriptedDialogs::exportTarget(const QString&, QWidget*) {
    if (m_exports.empty()) return std::nullopt;
    const std::optional<ExportTarget> answer = m_exports.front();
    m_exports.pop_front();
    return answer;
}

} // namespace palvex
