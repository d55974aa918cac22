#pragma once

#include "ControlState.h"
#include "interface/Enumerations.h"
#include "interface/Out.h"
#include "interface/Status.h"
#include "platform/ImageSurface.h"
#include "platform/Platform.h"
#include "platform/Surface.h"
#include "recording/ReportStore.h"
#include "recording/WorkingFolder.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <memory>

class QIODevice;

namespace palvex {

class ItemWriter;
class TextRecorder;
class GraphicsRecorder;
class PageRecorder;
class PropertyRules;
class PropertyBag;
class PreviewStartup;
class PreviewWindow;
class PageRenderer;
class Navigation;
class PreviewController;
class PageCentring;
class OptionPanels;
class Search;
class PrinterPanel;
class PrintoutSaveFile;
class HostMessageBoxes;

// The right-to-left report recorder and preview control. A host records a report through the
// members below (or the same members by dispatch identifier, see Dispatch); every member
// returns a Status and never throws.
class Palvex : public QWidget {
    Q_OBJECT

public:
    explicit Palvex(Platform platform, Ambient ambient = {}, QWidget* parent = nullptr);
    ~Palvex() override;

    // The host's form properties.
    void saveProperties(PropertyBag& bag);
    void loadProperties(PropertyBag& bag);

    // For tests and tools: the report store, the recording surface and the shared state.
    const ReportStore& reportStore() const { return m_store; }
    const Surface& recordingSurface() const { return m_pic; }
    const ControlState& state() const { return m_state; }
    const Platform& platform() const { return m_platform; }
    const Ambient& ambient() const { return m_ambient; }
    // The page canvas as drawn, and where its text items were drawn.
    const QImage& canvasImage();
    const ImageSurface& canvas() const { return m_canvas; }
    const PageRenderer& renderer() const { return *m_renderer; }
    const Search& search() const { return *m_search; }

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
    // Warnings come to the host as messageShown instead of in modal boxes.
    Status get_MessagesToHost(Out<bool> value);
    Status let_MessagesToHost(bool value);
    // Read-only: the pages of the report shown, 0 while none is.
    Status get_PageCount(Out<int32_t> value);
    Status let_PageCount(int32_t value);
    // Read-only: the last message handed to the host.
    Status get_LastMessage(Out<QString> value);
    Status let_LastMessage(const QString& value);

    // Text and alignment.
    Status SpecialCenter(float& startxPoint, float& endxPoint, QString& TXT, AfterPrintType& Entr,
                         float& startyPoint, float* endyPoint = nullptr);
    Status centerIT(QString& TXT, AfterPrintType& Entr);
    Status centerMixedLanguages(QString& TXT);
    Status LeftIT(QString& TXT, AfterPrintType Entr);
    Status RightIT(QString& TXT, AfterPrintType& Entr);
    Status gtStartCurX(Out<float> result);
    Status gtEndCurX(Out<float> result);
    Status TextWidth(const QString& Str, Out<float> result);
    Status TextHeight(const QString& Str, Out<float> result);
    Status printText(QString& TXT, AfterPrintType& Entr);
    Status JumpToNextLine();

    // Graphics, pictures and character runs.
    Status fxPrintingChars(float& startTwipsPoint, float& endTwipsPoint, int16_t& ASCIICode,
                           DirectionOfPrintCharsType& DR, AfterPrintType& Entr,
                           WhereToPrintChars& cKind);
    Status printBox(float& bStartCurX, float& bStartCurY, float& bEndCurX, float& bEndCurY,
                    int32_t& bFillColor, int32_t& bDrawStyle, int32_t& bDrawMode,
                    int16_t& bDrawWidth, int32_t& bFillStyle, AlignType& AL, QString& txtInsideBox);
    Status printLine(float& lStartCurX, float& lStartCurY, float& lEndCurX, float& lEndCurY,
                     int32_t& lColor, int32_t& lDrawMode, int32_t& lDrawStyle, int16_t& lDrawWidth,
                     AlignType& AL);
    Status printCircle(float& CenterPointOfCurX, float& CenterPointOfCury, int32_t& cFillColor,
                       int32_t& cDrawStyle, int32_t& cDrawMode, int16_t& cDrawWidth,
                       int32_t& cFillStyle, float& CRadius, AlignType& AL,
                       int32_t* cColor = nullptr, float* StartRadians = nullptr,
                       float* EndRadians = nullptr, QString* txtInsideCircle = nullptr,
                       float* AspectRatio = nullptr);
    Status printPicture(QString& txtFileBitmap, AlignPicHorizontalType& ALH,
                        AlignPicVerticalType& ALV);

    // Pages, headers, footers and page numbers.
    Status printPage();
    Status printLastPage();
    Status PrintHeader();
    Status checkMin1();
    Status checkMin2();
    Status fxNameHeader(int16_t& X, QString& TXT);
    Status fxFontNameHeader(int16_t& X, QString& FN);
    Status fxFontsizeHeader(int16_t& X, float& SZ);
    Status fxFontBoldHeader(int16_t& X, bool& BL);
    Status fxFontUnderlineHeader(int16_t& X, bool& BL);
    Status fxFontItalicHeader(int16_t& X, bool& BL);
    Status fxForecolorHeader(int16_t& X, int32_t& CL);
    Status fxAlignHeader(int16_t& X, AlignType& AL);
    Status fxKindOfHeader(int16_t& X, KindOfHeaderType& KN);
    Status fxCurXHeader(int16_t& X, float& CX);
    Status fxEnterAfterHeader(int16_t& X, int16_t& N);
    Status fxLinesBeforeHeader(int16_t& X, int16_t& N);
    Status fxNameAnyHeader(int16_t& X, QString& TXT);
    Status fxFontNameAnyHeader(int16_t& X, QString& FN);
    Status fxFontsizeAnyHeader(int16_t& X, float& SZ);
    Status fxFontBoldAnyHeader(int16_t& X, bool& BL);
    Status fxFontUnderlineAnyHeader(int16_t& X, bool& BL);
    Status fxFontItalicAnyHeader(int16_t& X, bool& BL);
    Status fxForecolorAnyHeader(int16_t& X, int32_t& CL);
    Status fxAlignAnyHeader(int16_t& X, AlignType& AL);
    Status fxKindOfAnyHeader(int16_t& X, KindOfHeaderType& KN);
    Status fxCurXAnyHeader(int16_t& X, int16_t& CX);
    Status fxCurYAnyHeader(int16_t& X, int16_t& CY);
    Status fxNumberOfFirstPage(int16_t& X);
    Status fxFontnameNumberpage(Out<QString> result);
    Status fxFontsizeNumberpage(Out<float> result);
    Status fxForecolorNumberpage(Out<int32_t> result);
    Status fxFontboldNumberpage(Out<bool> result);
    Status PrintingLineAbovePagenumber(QString& CharforPrintingTheLine);
    Status Footer1Right(Footer1Number& kdOneToFour, QString& TXT, QString& R1FontName,
                        float& R1FontSize, bool& R1FontBold, bool& R1FontItalic,
                        bool& R1FontUnderline, int32_t& R1Forecolor);

    // Settings.
    Status fxreduceTwips(float& SZ);
    Status fxProporional_CurrentY(Proporional_CurrentY& PROP);
    Status fxDefaultMargins(float& lMargin, float& rMargin, float& tMargin, float& bMargin);
    Status gtLeftMargin(Out<float> result);
    Status gtRightMargin(Out<float> result);
    Status gtBottomMargin(Out<float> result);
    Status gtTopMargin(Out<float> result);
    Status gtVersion(Out<QString> result);

    // Preview and centring.
    Status StartPalvexPrintPreview();
    Status tfCenterPages(bool& CN);

    // Printout files.
    Status SavePrint(QString& FileName, bool& Cancel);
    Status ReadPrint(QString& FileName);
    // Reads printout lines from `in` into the report being recorded, as ReadPrint does with a
    // file; false when a line stopped the reading (after a beep).
    bool readPrintout(QIODevice& in);

    // Interface texts.
    Status fxCaptionFraPrinter(QString& TXT);
    Status fxCaptionLblPrinterName(QString& TXT);
    Status fxCaptionLblCopies(QString& TXT);
    Status fxCaptionLblQuality(QString& TXT);
    Status fxCaptionLblZoomPrinting(QString& TXT);
    Status fxCaptionLblFromPage(QString& TXT);
    Status fxCaptionLblToPage(QString& TXT);
    Status fxCaptionCmdPrintSetup(QString& TXT);
    Status fxCaptionFraPrinterCmdOK(QString& TXT);
    Status fxCaptionFraPrinterCmdCancel(QString& TXT);
    Status fxTextComboQuality_Draft(QString& TXT);
    Status fxTextComboQuality_Low(QString& TXT);
    Status fxTextComboQuality_Medium(QString& TXT);
    Status fxTextComboQuality_High(QString& TXT);
    Status fxTextComboZoom_Ignore(QString& TXT);
    Status fxTextComboZoom_Defined(QString& TXT);
    Status fxCaptionFraSearch(QString& TXT);
    Status fxCaptionLblSearch(QString& TXT);
    Status fxCaptionCmdSearch(QString& TXT);
    Status fxCaptionCmdCancelSearch(QString& TXT);
    Status fxCaptionButton_Close(QString& TXT);
    Status fxCaptionButton_Print(QString& TXT);
    Status fxCaptionButton_First_F5(QString& TXT);
    Status fxCaptionButton_Previous_F6(QString& TXT);
    Status fxCaptionButton_Next_F7(QString& TXT);
    Status fxCaptionButton_Last_F8(QString& TXT);
    Status fxCaptionButton_Search_F3(QString& TXT);
    Status fxCaptionButton_Continue_Search_F3(QString& TXT);
    Status fxFontsize_Button_Close(float& SZ);
    Status fxFontsize_Button_Print(float& SZ);
    Status fxFontsize_Button_First(float& SZ);
    Status fxFontsize_Button_Previous(float& SZ);
    Status fxFontsize_Button_Next(float& SZ);
    Status fxFontsize_Button_Last(float& SZ);
    Status fxFontsize_Button_Search(float& SZ);
    Status fxFontsize_Button_Continue_Search(float& SZ);
    Status fxFontbold_Button_Close(bool& BL);
    Status fxFontbold_Button_Print(bool& BL);
    Status fxFontbold_Button_First(bool& BL);
    Status fxFontbold_Button_Previous(bool& BL);
    Status fxFontbold_Button_Next(bool& BL);
    Status fxFontbold_Button_Last(bool& BL);
    Status fxFontbold_Button_Search(bool& BL);
    Status fxFontbold_Button_Continue_Search(bool& BL);
    Status fxCaption_chkDefaultMargins(QString& TXT);
    Status fxCaptionsOfComboMoreoptions(int16_t& X, QString& CAP);
    Status fxCaptionsOflblMargins(int16_t& X, QString& CAP);
    Status fxCaption_cmdOK(QString& TXT);
    Status fxCaption_cmdCANCEL(QString& TXT);
    Status fxCaptionsOfZoomOptions(int16_t& X, QString& CAP);
    Status Fontname_Buttons(QString& TXT);
    Status writeMsgbox(txtMessageType& Message, QString& TXT);

    // For hosts: the shown report, or pages FromPage to ToPage of it, as a PDF file.
    Status ExportPdf(const QString& Path, int32_t* FromPage = nullptr, int32_t* ToPage = nullptr);

    Status About();

    // A message box of one of the four kinds (txtMessageType) in the control's style; the
    // answer of a question is kept as the last answer. 0 for an unknown kind.
    int showMessage(int kind, const QString& text);

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
    friend class PropertyRules;
    // Runs a member's body at the interface boundary.
    template <class F> Status boundary(F&& body) { return guarded(std::forward<F>(body)); }
    void recoverFromFailure(Status status);
    // Writes the printout when the control ends, if SavePrint named a file.
    void WritePrintout();
    // The parts' notices passed on as the signals above.
    void connectHostSignals();

    Platform m_platform;
    Ambient m_ambient;
    ControlState m_state;
    ReportStore m_store;
    MeasuringSurface m_pic; // PIC: the hidden recording surface
    ImageSurface m_canvas;  // p1(0): the page canvas
    std::unique_ptr<ItemWriter> m_writer;
    std::unique_ptr<TextRecorder> m_text;
    std::unique_ptr<GraphicsRecorder> m_graphics;
    std::unique_ptr<PageRecorder> m_pages;
    std::unique_ptr<PropertyRules> m_properties;
    std::unique_ptr<PreviewStartup> m_startup;
    std::unique_ptr<PreviewWindow> m_window;
    std::unique_ptr<PageRenderer> m_renderer;
    Navigation* m_navigation = nullptr; // a child QObject of the control
    std::unique_ptr<PreviewController> m_preview;
    std::unique_ptr<PageCentring> m_centring;
    std::unique_ptr<OptionPanels> m_panels;
    Search* m_search = nullptr;             // a child QObject of the control
    PrinterPanel* m_printerPanel = nullptr; // a child QObject of the control
    std::unique_ptr<PrintoutSaveFile> m_saveFile;
    bool m_saveEnabled = false;
    bool m_laidOut = false; // the preview window has been laid out by a start
    WorkingFolder m_workingFolder;
    std::shared_ptr<HostMessageBoxes> m_hostBoxes; // every box of the control goes through it
    bool m_reportShown = false; // printLastPage has ended the report of the last start
};

} // namespace palvex
