#pragma once

#include <palvex/Palvex.h>

#include <QMainWindow>

class QLabel;

// A host's main window: the preview control embedded in the first tab, beside the host's own
// tab, with actions to record an invoice, export it as PDF and print it.
class InvoiceWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit InvoiceWindow(QWidget* parent = nullptr);

    palvex::Palvex& control() { return *m_control; }

    // Each returns false after saying why in the status bar.
    bool recordInvoice();
    bool exportPdf(const QString& path);
    bool print();

private:
    bool report(palvex::Status status, const QString& done);

    palvex::Palvex* m_control = nullptr;
    QLabel* m_pageLabel = nullptr;
};
