#include "InvoiceWindow.h"

#include "Invoice.h"

#include <QFileDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

using namespace palvex;

InvoiceWindow::InvoiceWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Invoices"));
    setLayoutDirection(Qt::RightToLeft);

    auto* tabs = new QTabWidget(this);
    auto* previewTab = new QWidget;
    auto* layout = new QVBoxLayout(previewTab);
    layout->setContentsMargins(0, 0, 0, 0);
    m_control = new Palvex(previewTab);
    layout->addWidget(m_control);
    tabs->addTab(previewTab, QString::fromUtf8("חשבונית"));
    auto* notes = new QLabel(QString::fromUtf8("הערות הלקוח יופיעו כאן."));
    notes->setAlignment(Qt::AlignCenter);
    tabs->addTab(notes, QString::fromUtf8("הערות"));
    setCentralWidget(tabs);

    // The preview lives in the tab and talks to the status bar instead of opening boxes.
    (void)m_control->let_Embedded(true);
    (void)m_control->let_MessagesToHost(true);
    (void)m_control->UseHebrewTexts(); // a Hebrew host gets a Hebrew window
    m_pageLabel = new QLabel;
    statusBar()->addPermanentWidget(m_pageLabel);
    connect(m_control, &Palvex::pageShown, this, [this](int page) {
        int32_t pages = 0;
        (void)m_control->get_PageCount(out(pages));
        m_pageLabel->setText(QString::fromUtf8("עמוד %1 מתוך %2").arg(page).arg(pages));
    });
    connect(m_control, &Palvex::messageShown, this,
            [this](int, const QString& text) { statusBar()->showMessage(text); });
    connect(m_control, &Palvex::printed, this, [this](int pages) {
        statusBar()->showMessage(QString::fromUtf8("הודפסו %1 עמודים").arg(pages));
    });
    connect(m_control, &Palvex::closed, this, [this] {
        m_pageLabel->clear();
        statusBar()->showMessage(QString::fromUtf8("התצוגה נסגרה"));
    });

    QToolBar* tools = addToolBar(QStringLiteral("Invoice"));
    tools->addAction(QString::fromUtf8("הפק חשבונית"), this, [this] { recordInvoice(); });
    tools->addAction(QString::fromUtf8("שמור כ-PDF…"), this, [this] {
        const QString path = QFileDialog::getSaveFileName(
            this, QString(), QStringLiteral("invoice.pdf"), QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty()) exportPdf(path);
    });
    tools->addAction(QString::fromUtf8("הדפס"), this, [this] { print(); });
}

bool InvoiceWindow::report(Status status, const QString& done) {
    statusBar()->showMessage(status == Status::Ok ? done : describeStatus(status));
    return status == Status::Ok;
}

bool InvoiceWindow::recordInvoice() {
    return report(::recordInvoice(*m_control), QString::fromUtf8("החשבונית מוכנה"));
}

bool InvoiceWindow::exportPdf(const QString& path) {
    return report(m_control->ExportPdf(path), QString::fromUtf8("נשמר: %1").arg(path));
}

bool InvoiceWindow::print() {
    return report(m_control->PrintReport(), QString::fromUtf8("נשלח למדפסת"));
}
