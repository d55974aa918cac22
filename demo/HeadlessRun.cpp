#include "HeadlessRun.h"
#include "platform/Platform.h"

#include "DemoHost.h"
#include "platform/MessageBoxes.h"
#include "platform/Printers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QPixmap>

#include <utility>

namespace palvex::demo {

namespace {

struct Example {
    const char* name;
    bool hebrew;
    int choice;
};

const Example Examples[] = {
    {"trial-balance", false, int(EnglishChoice::TrialBalance)},
    {"trial-balance-hebrew", true, int(HebrewChoice::TrialBalance)},
    {"mixed-languages", true, int(HebrewChoice::MixedLanguages)},
    {"grid-step-by-step", false, int(EnglishChoice::GridStepByStep)},
    {"grid-at-once", false, int(EnglishChoice::GridAtOnce)},
    {"graphics", false, int(EnglishChoice::Graphics)},
    {"balance-sheet", false, int(EnglishChoice::BalanceSheet)},
    {"profit-and-loss", false, int(EnglishChoice::ProfitAndLoss)},
    {"profit-and-loss-saved", false, int(EnglishChoice::ProfitAndLossSaved)},
    {"balance-sheet-with-profit-and-loss", false,
     int(EnglishChoice::BalanceSheetWithProfitAndLoss)},
};

const Example* findExample(const QString& name) {
    for (const Example& e : Examples)
        if (name == QLatin1String(e.name)) return &e;
    return nullptr;
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QAbstractButton* buttonOf(QWidget* parent, const char* name, int index = -1) {
    for (auto* b : parent->findChildren<QAbstractButton*>(QString::fromLatin1(name)))
        if (index < 0 || b->property("index").toInt() == index) return b;
    return nullptr;
}

// Every page as a person sees it in the preview: chosen in the page list, drawn on the canvas.
int savePages(PreviewForm& form, const QString& directory, const QString& name, QTextStream& out) {
    auto* pages = form.findChild<QComboBox*>(QStringLiteral("cboPage"));
    auto* canvas = form.findChild<QWidget*>(QStringLiteral("p1"));
    if (!pages || !canvas) return 0;
    QDir().mkpath(directory);
    const int count = pages->count();
    for (int i = 0; i < count; ++i) {
        pages->setCurrentIndex(i);
        emit pages->activated(i);
        settle();
        const QString file =
            QDir(directory).filePath(QStringLiteral("%1-page-%2.png").arg(name).arg(i + 1));
        if (!canvas->grab().save(file, "PNG")) out << "cannot write " << file << Qt::endl;
    }
    return count;
}

void printToPdf(PreviewForm& form) {
    if (QAbstractButton* print = buttonOf(&form, "cmd", 1)) print->click();
    settle();
    auto* panel = form.findChild<QWidget*>(QStringLiteral("fraPrinter"));
    if (!panel) return;
    if (QAbstractButton* ok = buttonOf(panel, "cmdOK")) ok->click();
    settle();
}

} // namespace

QStringList exampleNames() {
    QStringList names;
    for (const Example& e : Examples)
        names << QString::fromLatin1(e.name);
    return names;
}

int runHeadless(const HeadlessOptions& options, QTextStream& out) {
    QStringList names = options.examples;
    if (names.contains(QStringLiteral("all"))) names = exampleNames();
    for (const QString& name : std::as_const(names))
        if (!findExample(name)) {
            out << "unknown example " << name
                << "; the examples are: " << exampleNames().join(QStringLiteral(", ")) << Qt::endl;
            return 2;
        }

    // A fixed screen and the PDF device alone, so pages are the same on every machine.
    Platform platform =
        Platform::headless([&out](const QString& line) { out << line << Qt::endl; });
    platform.printers = std::make_shared<FixedPrinters>(QList{Printers::pdfDevice()});
    if (!options.pdfFile.isEmpty()) platform.printers->setPdfOutputPath(options.pdfFile);
    DemoHost host(platform, options.programFolder,
                  [&out](const QString& line) { out << line << Qt::endl; });

    for (const QString& name : std::as_const(names)) {
        const Example& e = *findExample(name);
        const bool ran = e.hebrew ? host.runHebrew(HebrewChoice(e.choice), !options.asIs)
                                  : host.runEnglish(EnglishChoice(e.choice), !options.asIs);
        settle();
        PreviewForm* form = host.previewForm();
        if (!ran || !form) continue;
        if (!options.pngDirectory.isEmpty()) {
            const int pages = savePages(*form, options.pngDirectory, name, out);
            out << name << ": " << pages << (pages == 1 ? " page" : " pages") << Qt::endl;
        }
        if (!options.pdfFile.isEmpty()) printToPdf(*form);
        // Close, as the preview's own button does: the form unloads and the control ends.
        if (QAbstractButton* close = buttonOf(form, "cmd", 0)) close->click();
        settle();
    }
    return 0;
}

} // namespace palvex::demo
