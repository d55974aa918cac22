#pragma once

#include "core/CodePage.h"
#include "core/DocumentProperties.h"
#include "recording/Definitions.h"
#include "recording/PageLines.h"
#include "recording/PageSetup.h"
#include "recording/PendingItem.h"
#include "recording/ShapeParams.h"
#include "recording/TableState.h"

#include <QFont>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace palvex {

constexpr float TwipsPerCm = 567;

// Margins in twips.
struct Margins {
    float left = 0, right = 0, top = 0, bottom = 0;
};

// Size of the page canvas at 100 %.
struct PageGeometry {
    float width = 0, height = 0, scaleWidth = 0, scaleHeight = 0;
};

// The values a host sets and reads as properties, as the control keeps them.
struct KeptProperties {
    int32_t ForeColor = 0;
    float CurrentX = 0;
    float CurrentY = 0;
    QString FontName = QStringLiteral("Ms Sans Serif");
    float FontSize = 14;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    bool FontTransparent = false;
    QFont Font;       // the Font property (stored by reference, never applied)
    QFont ownFont;    // the control's own font
    QFont canvasFont; // saved as "fxCharset"
    bool AutoSize = false;
    bool AutoRedraw = false;
    bool ownAutoRedraw = false;
    bool DontConsiderForCenter = false;
    int32_t BackColor = Definitions::DefaultBackColor;
    float ScaleWidth = 0;
    float ScaleHeight = 0;
    float gtPrWidth = 11909;
    bool Header = false;
    bool tfPrintFooter1 = false;
    bool dontPrintNumberPage = false;
    bool gtAfterPage = false;
    // Saved and restored with the form, with no other use.
    float gtMaxp = 16834;
    float gtMinp = 15034;
    QString fxAsciiChar;
    int16_t DrawWidth = 0;
    // The page the next report is stored in (65001 UTF-8); a start takes it for its report.
    int32_t CodePage = palvex::CodePage::system().number();
    // The text of the page number: {page} its number, {pages} the report's page count.
    QString PageNumberFormat = QStringLiteral("-{page}-");
    // The rules of the tables recorded next: 0 none, 1 under the header, 2 between rows, 3 a
    // grid.
    int16_t TableLines = 0;
};

// The kinds of illegal value a host can set, each warned of once.
enum class IllegalValue { Color, FontName, FontSize };

// One illegal-value warning of each kind per control instance.
struct WarningFlags {
    bool color = false;
    bool fontName = false;
    bool fontSize = false;
};

// What every header has: its text, font, colour, alignment and kind.
struct HeaderText {
    QString text; // empty: the header is not used
    QString fontName = QStringLiteral("Ms Sans Serif");
    float fontSize = 12;
    bool bold = false, underline = false, italic = false;
    int32_t color = 0;
    int32_t align = 0;
    int32_t kind = 0; // stored only
};

// A header printed at the top of each page: 30 line headers, each on lines of its own.
struct LineHeader : HeaderText {
    float x = 0;
    int16_t linesAfter = 1;
    int16_t linesBefore = 0;
};

// One of 20 headers placed at a position of its own.
struct PositionedHeader : HeaderText {
    int16_t x = 0, y = 0;
};

// One of the four footer texts of the page-number line and the line below it.
struct FooterSlot {
    QString text;
    QString fontName = QStringLiteral("Ms Sans Serif");
    float fontSize = 12;
    bool bold = false, italic = false, underline = false;
    int32_t color = 0;
};

// The report as recording builds it and the preview, the printout and printing read it. The
// preview starts a report (PreviewStartup) and closes it; otherwise it changes the report only
// through the named operations below, and the page lines only through PageLines.
struct ReportState {
    KeptProperties props;
    // What the PDFs the report is written to say about themselves (not saved with the form).
    DocumentProperties document;
    WarningFlags warned;
    QString version;    // gtVersion: empty until the preview first starts
    QString lastAnswer; // the answer of the last message box, as decimal text

    // The code page the current report is stored in: the CodePage property at its start.
    const CodePage* codePage = &CodePage::system();
    const CodePage& page() const { return *codePage; }
    // A text of this report lost characters the page cannot hold, and the host was told.
    bool lostCharactersTold = false;

    // The page-number line, the break limit and the surface recording draws on.
    PageLines lines;

    // Recording.
    HostMarks hostMarks;
    // The item before the next text ended a line (or there was none): a text of the host's
    // begins a new paragraph.
    bool lineEnded = true;
    // The page (as numbered) of the report's first picture recorded without alternative text;
    // 0 while there is none. A PDF/UA document cannot hold it.
    int32_t pictureWithoutAltTextPage = 0;
    float textStart = 0, textEnd = 0;
    float lastLineY = 0;
    int32_t pagesEnded = 0;
    float reduceTwips = 1000;
    bool noPageNumbers = false; // the effective no-page-number flag
    QChar lineAbovePageNumber = QLatin1Char(' ');

    // Page and margins.
    Margins margins;
    Margins savedMargins; // the margins the page-number line was last placed for
    // The margins the host set from code (SetMargins), as hundredths of a centimetre (left,
    // right, top, bottom): they hold for this control's later reports too, and are never
    // written to the definitions file, which other reports in the folder read.
    std::optional<std::array<int, 4>> hostMarginIndexes;
    std::array<double, 4> defaultMarginsCm = Definitions::DefaultMarginsCm;
    PageGeometry unzoomed;
    PageSetup pageSetup; // the page chosen for reports, and the current report's
    int16_t firstPageNumber = 0;

    // Pages. Entry p of pageIndex (from 1) is the item count when the footer of page p was
    // finished; entry 0 stays 0.
    int32_t pageFooterCount = 0;
    std::vector<int32_t> pageIndex{0};
    int32_t lastPageIndex = 0;
    std::array<LineHeader, 30> lineHeaders;
    std::array<PositionedHeader, 20> positionedHeaders;
    std::array<FooterSlot, 4> footers;
    // The host's last box, line or circle: the values its next shape call has no argument for.
    ShapeParams lastShape;
    TableState table;

    // The margins panel's choice. The page-number line follows the bottom margin: the line at
    // 100 % moves by what the bottom margin moved, and a zoomed page draws its own line from it.
    void takeMargins(const Margins& chosen);
    // The margins panel was cancelled: the margins the page lines were placed for.
    void revertMargins() { margins = savedMargins; }
    // The preview was closed: the report is gone, and recording has nothing to draw on.
    void close();
    // Formatting is over: the page count of the next formatting starts from nothing.
    void restartPageCount() { pagesEnded = 0; }
    // The pages of the report once it has ended (what "{pages}" reads).
    int32_t pageCount() const { return lastPageIndex + 1; }
    // gtAfterPage: nothing has been recorded or drawn since a page ended or the report was shown.
    void setAfterPage(bool after) { props.gtAfterPage = after; }
};

} // namespace palvex
