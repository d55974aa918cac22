#include "WindowTextSet.h"

namespace palvex {

namespace {

WindowTextSet make() {
    WindowTextSet t;
    t.buttons = {{QStringLiteral("Close"), QStringLiteral("Print"), QStringLiteral("First F5"),
                  QStringLiteral("Prev. F6"), QStringLiteral("Next F7"), QStringLiteral("Last F8"),
                  QStringLiteral("Search F3"), QStringLiteral("Continue Search F3")}};
    t.toolTips = {QStringLiteral("Close Print Preview Control"), QStringLiteral("Zoom In"),
                  QStringLiteral("Zoom Out"), QStringLiteral("Show or hide the pages (F4)")};
    t.thumbnailsButton = QStringLiteral("Pages F4");
    t.moreOptions = {QStringLiteral("More Options"),     QStringLiteral("Margins setup"),
                     QStringLiteral("Zoom Options"),     QStringLiteral("Center this page"),
                     QStringLiteral("Center all pages"), QStringLiteral("Change backcolor")};
    t.margins = {QStringLiteral("Margins setup"), QStringLiteral("Left  (cm)"),
                 QStringLiteral("Right (cm)"), QStringLiteral("Top (cm)"),
                 QStringLiteral("Bottom (cm)")};
    t.zoomOptions = {
        QStringLiteral("Zoom Options"), QStringLiteral("Change Proportionaly the following:"),
        QStringLiteral("currentX"),     QStringLiteral("Height area"),
        QStringLiteral("Width area"),   QStringLiteral("Fit width"),
        QStringLiteral("Fit page")};
    t.defaultMargins = QStringLiteral("Set the defaults");
    t.ok = QStringLiteral("OK");
    t.cancel = QStringLiteral("Cancel");

    t.printerFrame = QStringLiteral("Printer definitions");
    t.printerName = QStringLiteral("Printer Name");
    t.copies = QStringLiteral("Copies Number");
    t.quality = QStringLiteral("Quality");
    t.printZoom = QStringLiteral("Zoom Choice");
    t.fromPage = QStringLiteral("From Page Number");
    t.toPage = QStringLiteral("To Page Number");
    t.printSetup = QStringLiteral("Print Setup");
    t.exportFile = QStringLiteral("Export...");
    t.exportFailed = QStringLiteral("The file was not saved:");
    // A host words these lists itself; a start fills them with blanks.
    t.qualityEntries.fill(QStringLiteral(" "));
    t.printZoomEntries.fill(QStringLiteral(" "));

    t.searchFrame = QStringLiteral("Search text");
    t.searchPrompt = QStringLiteral("Please write the text for searching - case-sensitive");
    t.searchButton = QStringLiteral("Search");

    t.pageCaption = QStringLiteral("Page Number ");
    t.formattingCaption = QStringLiteral("Formating Page ");
    t.centringWait = QStringLiteral("Please wait for centering all pages");
    t.cancelPrinting = QStringLiteral("Cancel printing");
    t.messages = {{QStringLiteral("Please write number of copies 1 or higher"),
                   QStringLiteral("Is the number of copies OK?"),
                   QStringLiteral("Not found any more"),
                   QStringLiteral("Printer problem!\nPlease check if a printer is connected to "
                                  "the computer\nand that it is online")}};

    t.accessible.buttons = {
        {QStringLiteral("Closes the preview"), QStringLiteral("Opens the printer definitions"),
         QStringLiteral("Goes to the first page"), QStringLiteral("Goes to the previous page"),
         QStringLiteral("Goes to the next page"), QStringLiteral("Goes to the last page"),
         QStringLiteral("Opens the search for a text"),
         QStringLiteral("Finds the next place of the text")}};
    t.accessible.thumbnailsButton = QStringLiteral("Shows or hides the column of pages");
    t.accessible.thumbnails = QStringLiteral("Pages");
    t.accessible.pageList = QStringLiteral("Page");
    t.accessible.zoomList = QStringLiteral("Zoom level");
    t.accessible.page = QStringLiteral("Page %1 of %2");
    t.accessible.pageText = QStringLiteral("The page's text in reading order");
    return t;
}

} // namespace

const WindowTextSet& englishTexts() {
    static const WindowTextSet texts = make();
    return texts;
}

} // namespace palvex
