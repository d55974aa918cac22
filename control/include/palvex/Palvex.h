#pragma once

#include "Enumerations.h"
#include "Export.h"
#include "Out.h"
#include "Status.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string_view>

class QIODevice;

namespace palvex {

struct Ambient;
struct Platform;
class PalvexPrivate;
class PropertyBag;

// The right-to-left report recorder and preview control. A host records a report through the
// members below (or the same members by dispatch identifier, see Dispatch); every member
// returns a Status and never throws.
class PALVEX_EXPORT Palvex : public QWidget {
    Q_OBJECT

public:
    // A control on the desktop: the system's screen, message boxes, printers and dialogs.
    explicit Palvex(QWidget* parent = nullptr);
    ~Palvex() override;

    // The host's form properties.
    PALVEX_INTERNAL void saveProperties(PropertyBag& bag);
    PALVEX_INTERNAL void loadProperties(PropertyBag& bag);

    // The library's own programs and tests: a control on a platform of their choosing, and its
    // parts.
    PALVEX_INTERNAL explicit Palvex(Platform platform);
    PALVEX_INTERNAL Palvex(Platform platform, const Ambient& ambient, QWidget* parent = nullptr);
    PALVEX_INTERNAL PalvexPrivate& internals() const { return *d; }

    // Once in main: a write past the process's file-size limit (ulimit -f) then fails with
    // status 61 on the item being recorded instead of the kernel ending the process.
    static void reportFileSizeLimitAsDiskFull();

    // Why the last call this control refused was refused, naming the member and the reason:
    // "TableRow: the row has 4 cells, the table 3 columns". Read it right after a call that
    // returned another status than Ok; a call that succeeds leaves it as it is. "" before any
    // refusal.
    QString lastErrorDetail() const;
    // Late binding's own refusals (an argument of the wrong type, one left out), which happen
    // before a member runs; and how many refusals were noted, to tell them apart.
    PALVEX_INTERNAL void noteRefusal(std::string_view member, Status status, const QString& reason);
    PALVEX_INTERNAL uint64_t refusalCount() const;

    // Properties: get_ writes the value through Out, let_ sets it.
    Status get_BackColor(Out<int32_t> value);
    Status let_BackColor(int32_t value);
    Status get_ScaleWidth(Out<float> value);
    Status let_ScaleWidth(float value);
    Status get_ScaleHeight(Out<float> value);
    Status let_ScaleHeight(float value);
    Status get_gtPrWidth(Out<float> value);
    Status let_gtPrWidth(float value);
    Status get_currentYofPageNumber(Out<float> value);
    Status let_currentYofPageNumber(float value);
    Status get_Header(Out<bool> value);
    Status let_Header(bool value);
    Status get_tfPrintFooter1(Out<bool> value);
    Status let_tfPrintFooter1(bool value);
    Status get_DontConsiderForCenter(Out<bool> value);
    Status let_DontConsiderForCenter(bool value);
    Status get_FontTransparent(Out<bool> value);
    Status let_FontTransparent(bool value);
    Status get_FontStrikethru(Out<bool> value);
    Status let_FontStrikethru(bool value);
    Status get_dontPrintNumberPage(Out<bool> value);
    Status let_dontPrintNumberPage(bool value);
    Status get_AutoRedraw(Out<bool> value);
    Status let_AutoRedraw(bool value);
    Status get_AutoSize(Out<bool> value);
    Status let_AutoSize(bool value);
    Status get_gtAfterPage(Out<bool> value);
    Status let_gtAfterPage(bool value);
    Status get_FontUnderline(Out<bool> value);
    Status let_FontUnderline(bool value);
    Status get_FontSize(Out<float> value);
    Status let_FontSize(float value);
    Status get_FontName(Out<QString> value);
    Status let_FontName(const QString& value);
    Status get_FontItalic(Out<bool> value);
    Status let_FontItalic(bool value);
    Status get_FontBold(Out<bool> value);
    Status let_FontBold(bool value);
    Status get_CurrentY(Out<float> value);
    Status let_CurrentY(float value);
    Status get_CurrentX(Out<float> value);
    Status let_CurrentX(float value);
    Status get_ForeColor(Out<int32_t> value);
    Status let_ForeColor(int32_t value);
    Status get_Font(Out<QFont> value);
    Status putref_Font(const QFont& value);
    // Where the report store and the definitions file live; empty for the current directory.
    Status get_WorkingFolder(Out<QString> value);
    Status let_WorkingFolder(const QString& value);
    // The preview in the control's own place in a host's layout; Close then hides it.
    Status get_Embedded(Out<bool> value);
    Status let_Embedded(bool value);
    // The column of page thumbnails at the preview's right edge, and its tool bar button, from
    // the next start; F4 shows and hides the column whatever this says.
    Status get_ShowThumbnails(Out<bool> value);
    Status let_ShowThumbnails(bool value);
    // Warnings come to the host as messageShown instead of in modal boxes.
    Status get_MessagesToHost(Out<bool> value);
    Status let_MessagesToHost(bool value);
    // Read-only: the pages of the report shown, 0 while none is.
    Status get_PageCount(Out<int32_t> value);
    Status let_PageCount(int32_t value);
    // Read-only: the last message handed to the host.
    Status get_LastMessage(Out<QString> value);
    Status let_LastMessage(const QString& value);
    // The paper and orientation of the next report; empty and 0 for the current printer's.
    Status get_PaperSize(Out<QString> value);
    Status let_PaperSize(const QString& value);
    Status get_Orientation(Out<int32_t> value);
    Status let_Orientation(int32_t value);
    // The code page reports are stored in from the next start on: 65001 (UTF-8) keeps every
    // character; a single-byte page (1255 by default, 1252, 1256 ...) turns the characters it
    // cannot hold into "?". Saved with the other properties.
    Status get_CodePage(Out<int32_t> value);
    Status let_CodePage(int32_t value);

    // Text and alignment.
    Status SpecialCenter(const float& startxPoint, const float& endxPoint, const QString& TXT,
                         const AfterPrintType& Entr, const float& startyPoint,
                         const float* endyPoint = nullptr);
    Status centerIT(const QString& TXT, const AfterPrintType& Entr);
    Status centerMixedLanguages(const QString& TXT);
    Status LeftIT(const QString& TXT, AfterPrintType Entr);
    Status RightIT(const QString& TXT, const AfterPrintType& Entr);
    Status gtStartCurX(Out<float> result);
    Status gtEndCurX(Out<float> result);
    Status TextWidth(QString Str, Out<float> result);
    Status TextHeight(QString Str, Out<float> result);
    Status printText(const QString& TXT, const AfterPrintType& Entr);
    Status JumpToNextLine();

    // Graphics, pictures and character runs. Each comes twice: the first writes back what it
    // corrects (a draw width below 1, a run's placement), the second takes values and temporaries.
    Status fxPrintingChars(const float& startTwipsPoint, const float& endTwipsPoint,
                           const int16_t& ASCIICode, const DirectionOfPrintCharsType& DR,
                           AfterPrintType& Entr, WhereToPrintChars& cKind);
    Status fxPrintingChars(const float& startTwipsPoint, const float& endTwipsPoint,
                           const int16_t& ASCIICode, const DirectionOfPrintCharsType& DR,
                           const AfterPrintType& Entr, const WhereToPrintChars& cKind);
    Status printBox(const float& bStartCurX, const float& bStartCurY, const float& bEndCurX,
                    const float& bEndCurY, const int32_t& bFillColor, const int32_t& bDrawStyle,
                    const int32_t& bDrawMode, int16_t& bDrawWidth, const int32_t& bFillStyle,
                    const AlignType& AL, const QString& txtInsideBox);
    Status printBox(const float& bStartCurX, const float& bStartCurY, const float& bEndCurX,
                    const float& bEndCurY, const int32_t& bFillColor, const int32_t& bDrawStyle,
                    const int32_t& bDrawMode, const int16_t& bDrawWidth, const int32_t& bFillStyle,
                    const AlignType& AL, const QString& txtInsideBox);
    Status printLine(const float& lStartCurX, const float& lStartCurY, const float& lEndCurX,
                     const float& lEndCurY, const int32_t& lColor, const int32_t& lDrawMode,
                     const int32_t& lDrawStyle, int16_t& lDrawWidth, const AlignType& AL);
    Status printLine(const float& lStartCurX, const float& lStartCurY, const float& lEndCurX,
                     const float& lEndCurY, const int32_t& lColor, const int32_t& lDrawMode,
                     const int32_t& lDrawStyle, const int16_t& lDrawWidth, const AlignType& AL);
    Status printCircle(const float& CenterPointOfCurX, const float& CenterPointOfCury,
                       const int32_t& cFillColor, const int32_t& cDrawStyle,
                       const int32_t& cDrawMode, int16_t& cDrawWidth, const int32_t& cFillStyle,
                       const float& CRadius, const AlignType& AL, const int32_t* cColor = nullptr,
                       const float* StartRadians = nullptr, const float* EndRadians = nullptr,
                       const QString* txtInsideCircle = nullptr,
                       const float* AspectRatio = nullptr);
    Status printCircle(const float& CenterPointOfCurX, const float& CenterPointOfCury,
                       const int32_t& cFillColor, const int32_t& cDrawStyle,
                       const int32_t& cDrawMode, const int16_t& cDrawWidth,
                       const int32_t& cFillStyle, const float& CRadius, const AlignType& AL,
                       const int32_t* cColor = nullptr, const float* StartRadians = nullptr,
                       const float* EndRadians = nullptr, const QString* txtInsideCircle = nullptr,
                       const float* AspectRatio = nullptr);
    Status printPicture(const QString& txtFileBitmap, const AlignPicHorizontalType& ALH,
                        const AlignPicVerticalType& ALV);

    // Pages, headers, footers and page numbers.
    Status printPage();
    Status printLastPage();
    Status PrintHeader();
    Status checkMin1();
    Status checkMin2();
    Status fxNameHeader(const int16_t& X, const QString& TXT);
    Status fxFontNameHeader(const int16_t& X, const QString& FN);
    Status fxFontsizeHeader(const int16_t& X, const float& SZ);
    Status fxFontBoldHeader(const int16_t& X, const bool& BL);
    Status fxFontUnderlineHeader(const int16_t& X, const bool& BL);
    Status fxFontItalicHeader(const int16_t& X, const bool& BL);
    Status fxForecolorHeader(const int16_t& X, const int32_t& CL);
    Status fxAlignHeader(const int16_t& X, const AlignType& AL);
    Status fxKindOfHeader(const int16_t& X, const KindOfHeaderType& KN);
    Status fxCurXHeader(const int16_t& X, const float& CX);
    Status fxEnterAfterHeader(const int16_t& X, const int16_t& N);
    Status fxLinesBeforeHeader(const int16_t& X, const int16_t& N);
    Status fxNameAnyHeader(const int16_t& X, const QString& TXT);
    Status fxFontNameAnyHeader(const int16_t& X, const QString& FN);
    Status fxFontsizeAnyHeader(const int16_t& X, const float& SZ);
    Status fxFontBoldAnyHeader(const int16_t& X, const bool& BL);
    Status fxFontUnderlineAnyHeader(const int16_t& X, const bool& BL);
    Status fxFontItalicAnyHeader(const int16_t& X, const bool& BL);
    Status fxForecolorAnyHeader(const int16_t& X, const int32_t& CL);
    Status fxAlignAnyHeader(const int16_t& X, const AlignType& AL);
    Status fxKindOfAnyHeader(const int16_t& X, const KindOfHeaderType& KN);
    Status fxCurXAnyHeader(const int16_t& X, const int16_t& CX);
    Status fxCurYAnyHeader(const int16_t& X, const int16_t& CY);
    Status fxNumberOfFirstPage(const int16_t& X);
    Status fxFontnameNumberpage(Out<QString> result);
    Status fxFontsizeNumberpage(Out<float> result);
    Status fxForecolorNumberpage(Out<int32_t> result);
    Status fxFontboldNumberpage(Out<bool> result);
    Status PrintingLineAbovePagenumber(const QString& CharforPrintingTheLine);
    Status Footer1Right(const Footer1Number& kdOneToFour, const QString& TXT,
                        const QString& R1FontName, const float& R1FontSize, const bool& R1FontBold,
                        const bool& R1FontItalic, const bool& R1FontUnderline,
                        const int32_t& R1Forecolor);

    // Settings.
    Status fxreduceTwips(const float& SZ);
    Status fxProporional_CurrentY(const Proporional_CurrentY& PROP);
    Status fxDefaultMargins(const float& lMargin, const float& rMargin, const float& tMargin,
                            const float& bMargin);
    Status gtLeftMargin(Out<float> result);
    Status gtRightMargin(Out<float> result);
    Status gtBottomMargin(Out<float> result);
    Status gtTopMargin(Out<float> result);
    Status gtVersion(Out<QString> result);

    // Preview and centring.
    Status StartPalvexPrintPreview();
    Status tfCenterPages(const bool& CN);

    // Printout files.
    Status SavePrint(const QString& FileName,
                     bool& Cancel); // Cancel: true when the file cannot be written
    Status ReadPrint(const QString& FileName);
    // Reads printout lines from `in` into the report being recorded, as ReadPrint does with a
    // file; false when a line stopped the reading (after a beep).
    bool readPrintout(QIODevice& in);

    // Interface texts.
    Status fxCaptionFraPrinter(const QString& TXT);
    Status fxCaptionLblPrinterName(const QString& TXT);
    Status fxCaptionLblCopies(const QString& TXT);
    Status fxCaptionLblQuality(const QString& TXT);
    Status fxCaptionLblZoomPrinting(const QString& TXT);
    Status fxCaptionLblFromPage(const QString& TXT);
    Status fxCaptionLblToPage(const QString& TXT);
    Status fxCaptionCmdPrintSetup(const QString& TXT);
    Status fxCaptionFraPrinterCmdOK(const QString& TXT);
    Status fxCaptionFraPrinterCmdCancel(const QString& TXT);
    Status fxTextComboQuality_Draft(const QString& TXT);
    Status fxTextComboQuality_Low(const QString& TXT);
    Status fxTextComboQuality_Medium(const QString& TXT);
    Status fxTextComboQuality_High(const QString& TXT);
    Status fxTextComboZoom_Ignore(const QString& TXT);
    Status fxTextComboZoom_Defined(const QString& TXT);
    Status fxCaptionFraSearch(const QString& TXT);
    Status fxCaptionLblSearch(const QString& TXT);
    Status fxCaptionCmdSearch(const QString& TXT);
    Status fxCaptionCmdCancelSearch(const QString& TXT);
    Status fxCaptionButton_Close(const QString& TXT);
    Status fxCaptionButton_Print(const QString& TXT);
    Status fxCaptionButton_First_F5(const QString& TXT);
    Status fxCaptionButton_Previous_F6(const QString& TXT);
    Status fxCaptionButton_Next_F7(const QString& TXT);
    Status fxCaptionButton_Last_F8(const QString& TXT);
    Status fxCaptionButton_Search_F3(const QString& TXT);
    Status fxCaptionButton_Continue_Search_F3(const QString& TXT);
    // The page strip's button, as the other tool bar captions: shown from the next start.
    Status fxCaptionButton_Thumbnails(const QString& TXT);
    Status fxFontsize_Button_Close(const float& SZ);
    Status fxFontsize_Button_Print(const float& SZ);
    Status fxFontsize_Button_First(const float& SZ);
    Status fxFontsize_Button_Previous(const float& SZ);
    Status fxFontsize_Button_Next(const float& SZ);
    Status fxFontsize_Button_Last(const float& SZ);
    Status fxFontsize_Button_Search(const float& SZ);
    Status fxFontsize_Button_Continue_Search(const float& SZ);
    Status fxFontbold_Button_Close(const bool& BL);
    Status fxFontbold_Button_Print(const bool& BL);
    Status fxFontbold_Button_First(const bool& BL);
    Status fxFontbold_Button_Previous(const bool& BL);
    Status fxFontbold_Button_Next(const bool& BL);
    Status fxFontbold_Button_Last(const bool& BL);
    Status fxFontbold_Button_Search(const bool& BL);
    Status fxFontbold_Button_Continue_Search(const bool& BL);
    Status fxCaption_chkDefaultMargins(const QString& TXT);
    Status fxCaptionsOfComboMoreoptions(const int16_t& X, const QString& CAP);
    Status fxCaptionsOflblMargins(const int16_t& X, const QString& CAP);
    Status fxCaption_cmdOK(const QString& TXT);
    Status fxCaption_cmdCANCEL(const QString& TXT);
    Status fxCaptionsOfZoomOptions(const int16_t& X, const QString& CAP);
    Status Fontname_Buttons(const QString& TXT);
    Status writeMsgbox(const txtMessageType& Message, const QString& TXT);

    // For hosts: the shown report, or pages FromPage to ToPage of it, as a PDF file.
    Status ExportPdf(QString Path, const int32_t* FromPage = nullptr,
                     const int32_t* ToPage = nullptr);
    // For hosts: the shown report's tables as a workbook (one right-to-left sheet a table, the
    // header row bold and frozen, amounts and dates as a spreadsheet's numbers and dates), or,
    // when it has none, its lines of text with their texts in columns.
    Status ExportXlsx(QString Path);
    // For hosts: the same as CSV (UTF-8 with its byte-order mark), the tables one after another.
    Status ExportCsv(QString Path);
    // For hosts: the caption of the printer panel's Export button, which writes the report to a
    // PDF, Excel or CSV file the user names.
    Status fxCaptionCmdExport(const QString& TXT);
    // For hosts: the same pages on the current printer without the printer panel, Copies times
    // (1 when omitted); 482 when there is no printer or it fails. printed() follows.
    Status PrintReport(const int32_t* FromPage = nullptr, const int32_t* ToPage = nullptr,
                       const int16_t* Copies = nullptr);

    // For hosts: the window texts that start-up writes afresh, replaced. Each takes effect at
    // once and is kept for every later start. The caption that precedes each number of the
    // page list ("Page Number ").
    Status fxCaptionPageNumber(const QString& TXT);
    // The caption that precedes the number of pages formatted while recording ("Formating
    // Page ").
    Status fxCaptionFormatingPage(const QString& TXT);
    // The message shown while all pages are centred ("Please wait for centering all pages").
    Status fxWaitMessageCentering(const QString& TXT);
    // The text of the control's own message of kind Message (the copies check, the copies
    // question, "not found", the printer problem); an unknown kind is refused.
    Status fxTextOfMessage(const txtMessageType& Message, const QString& TXT);
    // Entry X (0 to 10) of the print quality list: 0 to 3 draft to high, 4 to 10 the
    // resolutions 300 to 2100 dots per inch, blank unless set. Another X is refused.
    Status fxTextComboQualityEntry(const int16_t& X, const QString& TXT);
    // The caption of the button that cancels a running print job ("Cancel printing").
    Status fxCaptionCmdCancelPrinting(const QString& TXT);
    // Tool tip X: 0 the Close button, 1 zoom in, 2 zoom out. Another X is refused.
    Status fxToolTipsOfWindow(const int16_t& X, const QString& TXT);
    // Every caption, list entry, tool tip and message of the window in Hebrew, read right to
    // left; toolbar captions too, at once and for later starts.
    Status UseHebrewTexts();

    // Layout the control does for the host, recorded as ordinary items.
    // The margins in twips, as the margins panel's OK takes them (rounded to its hundredths of
    // a centimetre, kept for the next reports): 380 for a negative one, one beyond the panel's
    // 4 cm, or margins that leave no room; 52 before a start.
    Status SetMargins(const float& Left, const float& Top, const float& Right, const float& Bottom);
    // The text wrapped into a box Width twips wide whose right edge is CurrentX: lines break
    // where Unicode allows (a word wider than the box between its characters), CR LF or LF
    // always. Alignment 1 right (the default), 2 centre, 3 left, 4 justified (the last line
    // right); LineSpacing times the font's line height (1). Pages end where a line would pass
    // the break limit. The cursor ends below the last line at the box's right edge.
    Status printParagraph(const QString& Text, const float& Width,
                          const int16_t* Alignment = nullptr, const float* LineSpacing = nullptr);
    // A table: columns from right to left, then its rows, each cell wrapped in its column as a
    // paragraph, a row moved whole to the next page (with the header row again) when it does
    // not fit. Columns without any header make a table without a header row.
    Status TableClear();
    Status TableAddColumn(const float& Width, const int16_t& Alignment, const QString& Header);
    Status TableBegin(const bool* RepeatHeader = nullptr);
    // Cells separated by tabs; missing cells are empty, more cells than columns is 380.
    Status TableRow(const QString& Cells);
    // Rows separated by the record separator (U+001E), recorded in one call.
    Status TableRows(const QString& Rows);
    Status TableEnd();
    // The rules of the tables: 0 none, 1 under the header row, 2 between rows, 3 a grid.
    Status get_TableLines(Out<int16_t> value);
    Status let_TableLines(int16_t value);
    // The page number's text (saved with the form): "{page}" its number, "{pages}" the report's
    // page count; "-{page}-" unless set. Both work in every text, headers and footers too.
    Status get_PageNumberFormat(Out<QString> value);
    Status let_PageNumberFormat(const QString& value);
    // The picture scaled into a box Width by Height twips (inside it, in its own proportions,
    // unless KeepAspect is false), placed as printPicture places one (Alignment as its ALH), the
    // cursor below it.
    Status printPictureSized(const QString& Path, const float& Width, const float& Height,
                             const bool* KeepAspect = nullptr, const int16_t* Alignment = nullptr);
    // What every PDF written from now on says of itself (its document information and XMP
    // metadata); empty by default.
    Status get_DocumentTitle(Out<QString> value);
    Status let_DocumentTitle(const QString& value);
    Status get_DocumentAuthor(Out<QString> value);
    Status let_DocumentAuthor(const QString& value);
    Status get_DocumentSubject(Out<QString> value);
    Status let_DocumentSubject(const QString& value);
    Status get_DocumentKeywords(Out<QString> value);
    Status let_DocumentKeywords(const QString& value);
    // PDFs written as archives, PDF/A-2b (fonts embedded, an sRGB output intent, XMP metadata);
    // false by default.
    Status get_PdfArchive(Out<bool> value);
    Status let_PdfArchive(bool value);
    // The language every PDF declares (BCP 47, such as "he-IL", the default, or "en-US"); a text
    // of Latin letters only within a Hebrew or Arabic document is marked English. 380 for a
    // text that is not a language tag.
    Status get_DocumentLanguage(Out<QString> value);
    Status let_DocumentLanguage(const QString& value);
    // The standards PDFs are written to besides being tagged: "" (none, the default),
    // "PDF/A-2b", "PDF/UA-1" or "PDF/A-2b+PDF/UA-1"; PdfArchive is its PDF/A-2b half. With
    // PDF/UA-1 a PDF needs a DocumentTitle and every picture its PictureAltText. 380 for another
    // text.
    Status get_PdfConformance(Out<QString> value);
    Status let_PdfConformance(const QString& value);
    // What the texts printed next are, until their line ends: 0 body text (the default and what
    // every line end returns to), 1-6 a heading of that level, 7 a decoration that is drawn but
    // not read out (a watermark). 380 for another value.
    Status get_ItemRole(Out<int16_t> value);
    Status let_ItemRole(int16_t value);
    // The next picture's alternative text: what it shows, for someone who cannot see it. Taken
    // by the next printPicture or printPictureSized call.
    Status get_PictureAltText(Out<QString> value);
    Status let_PictureAltText(const QString& value);

    Status About();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A saved property changed: the host should save its form.
    void propertyChanged(const QString& name);
    // The preview came to show another page (as numbered on it).
    void pageShown(int page);
    // The printer panel's job went to the printer: how many pages of the report it held.
    void printed(int pages);
    // The preview's Close was chosen.
    void closed();
    // A message the control would have shown in a box, with the box's style flags, while
    // MessagesToHost is set.
    void messageShown(int flags, const QString& text);

private:
    std::unique_ptr<PalvexPrivate> d;
};

} // namespace palvex
