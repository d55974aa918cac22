#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace palvex::demo {

// Runs examples without a person: records each one as its "Show me" would, saves every page of
// the preview as a PNG file and, on request, prints the report to the PDF device. The preview
// is then closed as the Close button would, so a saved printout is written for the next one.
struct HeadlessOptions {
    QStringList examples; // names from exampleNames(); "all" for every one, in order
    QString pngDirectory; // NAME-page-N.png here when set
    QString pdfFile;      // the PDF device writes here when set (one example)
    bool asIs = false;    // "Show as is" instead of "Center all pages"
    QString programFolder;
};

// Every example's name, in an order where a saved printout is written before it is read.
QStringList exampleNames();

// Returns the process exit status: 0, or 2 for an unknown example name.
int runHeadless(const HeadlessOptions& options, QTextStream& out);

} // namespace palvex::demo
