#include <palvex/MemberTable.h>

#include "Invoker.h"
#include <palvex/Palvex.h>

#include <QString>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace palvex {

namespace {

// The members that come twice: a late-bound caller gets the one that writes back.
constexpr auto fxPrintingCharsWritingBack = static_cast<Status (Palvex::*)(
    const float&, const float&, const int16_t&, const DirectionOfPrintCharsType&, AfterPrintType&,
    WhereToPrintChars&)>(&Palvex::fxPrintingChars);
constexpr auto printBoxWritingBack = static_cast<Status (Palvex::*)(
    const float&, const float&, const float&, const float&, const int32_t&, const int32_t&,
    const int32_t&, int16_t&, const int32_t&, const AlignType&, const QString&)>(&Palvex::printBox);
constexpr auto printLineWritingBack = static_cast<Status (Palvex::*)(
    const float&, const float&, const float&, const float&, const int32_t&, const int32_t&,
    const int32_t&, int16_t&, const AlignType&)>(&Palvex::printLine);
constexpr auto printCircleWritingBack = static_cast<Status (Palvex::*)(
    const float&, const float&, const int32_t&, const int32_t&, const int32_t&, int16_t&,
    const int32_t&, const float&, const AlignType&, const int32_t*, const float*, const float*,
    const QString*, const float*)>(&Palvex::printCircle);

// The families the members are listed under (docs/interface.md): each named once.
namespace family {
constexpr std::string_view Text = "Text and alignment";
constexpr std::string_view Graphics = "Graphics, pictures and character runs";
constexpr std::string_view Pages = "Pages, headers, footers and page numbers";
constexpr std::string_view Settings = "Settings";
constexpr std::string_view Preview = "Preview and centring";
constexpr std::string_view Printout = "Printout files";
constexpr std::string_view InterfaceTexts = "Interface texts";
constexpr std::string_view HostExtensions = "Extensions for hosts";
constexpr std::string_view Layout = "Layout";
} // namespace family

template <auto Method>
MemberInfo method(std::string_view name, DispId id, std::string_view family,
                  std::initializer_list<std::string_view> paramNames) {
    return {name,
            id,
            false,
            false,
            family,
            invoke::params<Method>(paramNames),
            invoke::resultOf<Method>(),
            &invoke::call<Method>,
            nullptr,
            nullptr};
}

template <auto Getter, auto Setter>
MemberInfo property(std::string_view name, DispId id, bool hidden) {
    return {name,
            id,
            true,
            hidden,
            "Properties",
            {},
            invoke::resultOf<Getter>(),
            nullptr,
            &invoke::call<Getter>,
            &invoke::call<Setter>};
}

const std::vector<MemberInfo>& table() {
    static const std::vector<MemberInfo> all{
        property<&Palvex::get_BackColor, &Palvex::let_BackColor>("BackColor", 0x68030000, false),
        property<&Palvex::get_ScaleWidth, &Palvex::let_ScaleWidth>("ScaleWidth", 0x68030001, true),
        property<&Palvex::get_ScaleHeight, &Palvex::let_ScaleHeight>("ScaleHeight", 0x68030002,
                                                                     true),
        property<&Palvex::get_gtPrWidth, &Palvex::let_gtPrWidth>("gtPrWidth", 0x68030003, true),
        property<&Palvex::get_currentYofPageNumber, &Palvex::let_currentYofPageNumber>(
            "currentYofPageNumber", 0x68030004, false),
        property<&Palvex::get_Header, &Palvex::let_Header>("Header", 0x68030005, true),
        property<&Palvex::get_tfPrintFooter1, &Palvex::let_tfPrintFooter1>("tfPrintFooter1",
                                                                           0x68030006, false),
        property<&Palvex::get_DontConsiderForCenter, &Palvex::let_DontConsiderForCenter>(
            "DontConsiderForCenter", 0x68030007, false),
        property<&Palvex::get_FontTransparent, &Palvex::let_FontTransparent>("FontTransparent",
                                                                             0x68030008, false),
        property<&Palvex::get_FontStrikethru, &Palvex::let_FontStrikethru>("FontStrikethru",
                                                                           0x68030009, false),
        property<&Palvex::get_dontPrintNumberPage, &Palvex::let_dontPrintNumberPage>(
            "dontPrintNumberPage", 0x6803000a, false),
        property<&Palvex::get_AutoRedraw, &Palvex::let_AutoRedraw>("AutoRedraw", 0x6803000b, false),
        property<&Palvex::get_AutoSize, &Palvex::let_AutoSize>("AutoSize", 0x6803000c, false),
        property<&Palvex::get_gtAfterPage, &Palvex::let_gtAfterPage>("gtAfterPage", 0x6803000d,
                                                                     true),
        property<&Palvex::get_FontUnderline, &Palvex::let_FontUnderline>("FontUnderline",
                                                                         0x6803000e, false),
        property<&Palvex::get_FontSize, &Palvex::let_FontSize>("FontSize", 0x6803000f, false),
        property<&Palvex::get_FontName, &Palvex::let_FontName>("FontName", 0x68030010, false),
        property<&Palvex::get_FontItalic, &Palvex::let_FontItalic>("FontItalic", 0x68030011, false),
        property<&Palvex::get_FontBold, &Palvex::let_FontBold>("FontBold", 0x68030012, false),
        property<&Palvex::get_CurrentY, &Palvex::let_CurrentY>("CurrentY", 0x68030013, false),
        property<&Palvex::get_CurrentX, &Palvex::let_CurrentX>("CurrentX", 0x68030014, false),
        property<&Palvex::get_ForeColor, &Palvex::let_ForeColor>("ForeColor", 0x68030015, false),
        property<&Palvex::get_Font, &Palvex::putref_Font>("Font", -512, false),
        // Extensions for hosts, numbered apart from the members above.
        property<&Palvex::get_WorkingFolder, &Palvex::let_WorkingFolder>("WorkingFolder",
                                                                         0x68040000, false),
        property<&Palvex::get_PaperSize, &Palvex::let_PaperSize>("PaperSize", 0x68040001, false),
        property<&Palvex::get_Orientation, &Palvex::let_Orientation>("Orientation", 0x68040002,
                                                                     false),
        property<&Palvex::get_Embedded, &Palvex::let_Embedded>("Embedded", 0x68040003, false),
        property<&Palvex::get_MessagesToHost, &Palvex::let_MessagesToHost>("MessagesToHost",
                                                                           0x68040004, false),
        property<&Palvex::get_PageCount, &Palvex::let_PageCount>("PageCount", 0x68040005, false),
        property<&Palvex::get_LastMessage, &Palvex::let_LastMessage>("LastMessage", 0x68040006,
                                                                     false),
        property<&Palvex::get_CodePage, &Palvex::let_CodePage>("CodePage", 0x68040007, false),
        property<&Palvex::get_TableLines, &Palvex::let_TableLines>("TableLines", 0x68040008, false),
        property<&Palvex::get_PageNumberFormat, &Palvex::let_PageNumberFormat>("PageNumberFormat",
                                                                               0x68040009, false),
        property<&Palvex::get_DocumentTitle, &Palvex::let_DocumentTitle>("DocumentTitle",
                                                                         0x6804000a, false),
        property<&Palvex::get_DocumentAuthor, &Palvex::let_DocumentAuthor>("DocumentAuthor",
                                                                           0x6804000b, false),
        property<&Palvex::get_DocumentSubject, &Palvex::let_DocumentSubject>("DocumentSubject",
                                                                             0x6804000c, false),
        property<&Palvex::get_DocumentKeywords, &Palvex::let_DocumentKeywords>("DocumentKeywords",
                                                                               0x6804000d, false),
        property<&Palvex::get_PdfArchive, &Palvex::let_PdfArchive>("PdfArchive", 0x6804000e, false),
        property<&Palvex::get_DocumentLanguage, &Palvex::let_DocumentLanguage>("DocumentLanguage",
                                                                               0x6804000f, false),
        property<&Palvex::get_PdfConformance, &Palvex::let_PdfConformance>("PdfConformance",
                                                                           0x68040010, false),
        property<&Palvex::get_ItemRole, &Palvex::let_ItemRole>("ItemRole", 0x68040011, false),
        property<&Palvex::get_PictureAltText, &Palvex::let_PictureAltText>("PictureAltText",
                                                                           0x68040012, false),
        method<&Palvex::SpecialCenter>(
            "SpecialCenter", 0x60030035, family::Text,
            {"startxPoint", "endxPoint", "TXT", "Entr", "startyPoint", "endyPoint"}),
        method<&Palvex::centerIT>("centerIT", 0x60030036, family::Text, {"TXT", "Entr"}),
        method<&Palvex::centerMixedLanguages>("centerMixedLanguages", 0x60030037, family::Text,
                                              {"TXT"}),
        method<&Palvex::LeftIT>("LeftIT", 0x60030038, family::Text, {"TXT", "Entr"}),
        method<&Palvex::RightIT>("RightIT", 0x60030039, family::Text, {"TXT", "Entr"}),
        method<&Palvex::gtStartCurX>("gtStartCurX", 0x600300a6, family::Text, {}),
        method<&Palvex::gtEndCurX>("gtEndCurX", 0x600300a7, family::Text, {}),
        method<&Palvex::TextWidth>("TextWidth", 0x600300ab, family::Text, {"Str"}),
        method<&Palvex::TextHeight>("TextHeight", 0x600300ac, family::Text, {"Str"}),
        method<&Palvex::printText>("printText", 0x600300b6, family::Text, {"TXT", "Entr"}),
        method<&Palvex::JumpToNextLine>("JumpToNextLine", 0x600300b8, family::Text, {}),
        method<fxPrintingCharsWritingBack>(
            "fxPrintingChars", 0x600300a8, family::Graphics,
            {"startTwipsPoint", "endTwipsPoint", "ASCIICode", "DR", "Entr", "cKind"}),
        method<printBoxWritingBack>("printBox", 0x600300b3, family::Graphics,
                                    {"bStartCurX", "bStartCurY", "bEndCurX", "bEndCurY",
                                     "bFillColor", "bDrawStyle", "bDrawMode", "bDrawWidth",
                                     "bFillStyle", "AL", "txtInsideBox"}),
        method<printLineWritingBack>("printLine", 0x600300b4, family::Graphics,
                                     {"lStartCurX", "lStartCurY", "lEndCurX", "lEndCurY", "lColor",
                                      "lDrawMode", "lDrawStyle", "lDrawWidth", "AL"}),
        method<printCircleWritingBack>("printCircle", 0x600300b5, family::Graphics,
                                       {"CenterPointOfCurX", "CenterPointOfCury", "cFillColor",
                                        "cDrawStyle", "cDrawMode", "cDrawWidth", "cFillStyle",
                                        "CRadius", "AL", "cColor", "StartRadians", "EndRadians",
                                        "txtInsideCircle", "AspectRatio"}),
        method<&Palvex::printPicture>("printPicture", 0x600300b7, family::Graphics,
                                      {"txtFileBitmap", "ALH", "ALV"}),
        method<&Palvex::printPage>("printPage", 0x6003003a, family::Pages, {}),
        method<&Palvex::printLastPage>("printLastPage", 0x6003003b, family::Pages, {}),
        method<&Palvex::PrintHeader>("PrintHeader", 0x6003003d, family::Pages, {}),
        method<&Palvex::checkMin1>("checkMin1", 0x6003003f, family::Pages, {}),
        method<&Palvex::checkMin2>("checkMin2", 0x60030040, family::Pages, {}),
        method<&Palvex::fxNameHeader>("fxNameHeader", 0x60030054, family::Pages, {"X", "TXT"}),
        method<&Palvex::fxFontNameHeader>("fxFontNameHeader", 0x60030055, family::Pages,
                                          {"X", "FN"}),
        method<&Palvex::fxFontsizeHeader>("fxFontsizeHeader", 0x60030056, family::Pages,
                                          {"X", "SZ"}),
        method<&Palvex::fxFontBoldHeader>("fxFontBoldHeader", 0x60030057, family::Pages,
                                          {"X", "BL"}),
        method<&Palvex::fxFontUnderlineHeader>("fxFontUnderlineHeader", 0x60030058, family::Pages,
                                               {"X", "BL"}),
        method<&Palvex::fxFontItalicHeader>("fxFontItalicHeader", 0x60030059, family::Pages,
                                            {"X", "BL"}),
        method<&Palvex::fxForecolorHeader>("fxForecolorHeader", 0x6003005a, family::Pages,
                                           {"X", "CL"}),
        method<&Palvex::fxAlignHeader>("fxAlignHeader", 0x6003005b, family::Pages, {"X", "AL"}),
        method<&Palvex::fxKindOfHeader>("fxKindOfHeader", 0x6003005c, family::Pages, {"X", "KN"}),
        method<&Palvex::fxCurXHeader>("fxCurXHeader", 0x6003005d, family::Pages, {"X", "CX"}),
        method<&Palvex::fxEnterAfterHeader>("fxEnterAfterHeader", 0x6003005e, family::Pages,
                                            {"X", "N"}),
        method<&Palvex::fxLinesBeforeHeader>("fxLinesBeforeHeader", 0x6003005f, family::Pages,
                                             {"X", "N"}),
        method<&Palvex::fxNameAnyHeader>("fxNameAnyHeader", 0x60030060, family::Pages,
                                         {"X", "TXT"}),
        method<&Palvex::fxFontNameAnyHeader>("fxFontNameAnyHeader", 0x60030061, family::Pages,
                                             {"X", "FN"}),
        method<&Palvex::fxFontsizeAnyHeader>("fxFontsizeAnyHeader", 0x60030062, family::Pages,
                                             {"X", "SZ"}),
        method<&Palvex::fxFontBoldAnyHeader>("fxFontBoldAnyHeader", 0x60030063, family::Pages,
                                             {"X", "BL"}),
        method<&Palvex::fxFontUnderlineAnyHeader>("fxFontUnderlineAnyHeader", 0x60030064,
                                                  family::Pages, {"X", "BL"}),
        method<&Palvex::fxFontItalicAnyHeader>("fxFontItalicAnyHeader", 0x60030065, family::Pages,
                                               {"X", "BL"}),
        method<&Palvex::fxForecolorAnyHeader>("fxForecolorAnyHeader", 0x60030066, family::Pages,
                                              {"X", "CL"}),
        method<&Palvex::fxAlignAnyHeader>("fxAlignAnyHeader", 0x60030067, family::Pages,
                                          {"X", "AL"}),
        method<&Palvex::fxKindOfAnyHeader>("fxKindOfAnyHeader", 0x60030068, family::Pages,
                                           {"X", "KN"}),
        method<&Palvex::fxCurXAnyHeader>("fxCurXAnyHeader", 0x60030069, family::Pages, {"X", "CX"}),
        method<&Palvex::fxCurYAnyHeader>("fxCurYAnyHeader", 0x6003006a, family::Pages, {"X", "CY"}),
        method<&Palvex::fxNumberOfFirstPage>("fxNumberOfFirstPage", 0x600300a2, family::Pages,
                                             {"X"}),
        method<&Palvex::fxFontnameNumberpage>("fxFontnameNumberpage", 0x600300ad, family::Pages,
                                              {}),
        method<&Palvex::fxFontsizeNumberpage>("fxFontsizeNumberpage", 0x600300ae, family::Pages,
                                              {}),
        method<&Palvex::fxForecolorNumberpage>("fxForecolorNumberpage", 0x600300af, family::Pages,
                                               {}),
        method<&Palvex::fxFontboldNumberpage>("fxFontboldNumberpage", 0x600300b0, family::Pages,
                                              {}),
        method<&Palvex::PrintingLineAbovePagenumber>("PrintingLineAbovePagenumber", 0x600300bb,
                                                     family::Pages, {"CharforPrintingTheLine"}),
        method<&Palvex::Footer1Right>("Footer1Right", 0x600300bc, family::Pages,
                                      {"kdOneToFour", "TXT", "R1FontName", "R1FontSize",
                                       "R1FontBold", "R1FontItalic", "R1FontUnderline",
                                       "R1Forecolor"}),
        method<&Palvex::fxreduceTwips>("fxreduceTwips", 0x6003009e, family::Settings, {"SZ"}),
        method<&Palvex::fxProporional_CurrentY>("fxProporional_CurrentY", 0x6003009f,
                                                family::Settings, {"PROP"}),
        method<&Palvex::fxDefaultMargins>("fxDefaultMargins", 0x600300be, family::Settings,
                                          {"lMargin", "rMargin", "tMargin", "bMargin"}),
        method<&Palvex::gtLeftMargin>("gtLeftMargin", 0x600300bf, family::Settings, {}),
        method<&Palvex::gtRightMargin>("gtRightMargin", 0x600300c0, family::Settings, {}),
        method<&Palvex::gtBottomMargin>("gtBottomMargin", 0x600300c1, family::Settings, {}),
        method<&Palvex::gtTopMargin>("gtTopMargin", 0x600300c2, family::Settings, {}),
        method<&Palvex::gtVersion>("gtVersion", 0x600300c3, family::Settings, {}),
        method<&Palvex::StartPalvexPrintPreview>("StartPalvexPrintPreview", 0x6003003e,
                                                 family::Preview, {}),
        method<&Palvex::tfCenterPages>("tfCenterPages", 0x600300b9, family::Preview, {"CN"}),
        method<&Palvex::SavePrint>("SavePrint", 0x600300a3, family::Printout,
                                   {"FileName", "Cancel"}),
        method<&Palvex::ReadPrint>("ReadPrint", 0x600300a4, family::Printout, {"FileName"}),
        method<&Palvex::fxCaptionFraPrinter>("fxCaptionFraPrinter", 0x6003006b,
                                             family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionLblPrinterName>("fxCaptionLblPrinterName", 0x6003006c,
                                                 family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionLblCopies>("fxCaptionLblCopies", 0x6003006d,
                                            family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionLblQuality>("fxCaptionLblQuality", 0x6003006e,
                                             family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionLblZoomPrinting>("fxCaptionLblZoomPrinting", 0x6003006f,
                                                  family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionLblFromPage>("fxCaptionLblFromPage", 0x60030070,
                                              family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionLblToPage>("fxCaptionLblToPage", 0x60030071,
                                            family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionCmdPrintSetup>("fxCaptionCmdPrintSetup", 0x60030072,
                                                family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionFraPrinterCmdOK>("fxCaptionFraPrinterCmdOK", 0x60030073,
                                                  family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionFraPrinterCmdCancel>("fxCaptionFraPrinterCmdCancel", 0x60030074,
                                                      family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxTextComboQuality_Draft>("fxTextComboQuality_Draft", 0x60030075,
                                                  family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxTextComboQuality_Low>("fxTextComboQuality_Low", 0x60030076,
                                                family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxTextComboQuality_Medium>("fxTextComboQuality_Medium", 0x60030077,
                                                   family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxTextComboQuality_High>("fxTextComboQuality_High", 0x60030078,
                                                 family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxTextComboZoom_Ignore>("fxTextComboZoom_Ignore", 0x60030079,
                                                family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxTextComboZoom_Defined>("fxTextComboZoom_Defined", 0x6003007a,
                                                 family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionFraSearch>("fxCaptionFraSearch", 0x6003007b,
                                            family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionLblSearch>("fxCaptionLblSearch", 0x6003007c,
                                            family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionCmdSearch>("fxCaptionCmdSearch", 0x6003007d,
                                            family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionCmdCancelSearch>("fxCaptionCmdCancelSearch", 0x6003007e,
                                                  family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_Close>("fxCaptionButton_Close", 0x6003007f,
                                               family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_Print>("fxCaptionButton_Print", 0x60030080,
                                               family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_First_F5>("fxCaptionButton_First_F5", 0x60030081,
                                                  family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_Previous_F6>("fxCaptionButton_Previous_F6", 0x60030082,
                                                     family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_Next_F7>("fxCaptionButton_Next_F7", 0x60030083,
                                                 family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_Last_F8>("fxCaptionButton_Last_F8", 0x60030084,
                                                 family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_Search_F3>("fxCaptionButton_Search_F3", 0x60030085,
                                                   family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionButton_Continue_Search_F3>(
            "fxCaptionButton_Continue_Search_F3", 0x60030086, family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxFontsize_Button_Close>("fxFontsize_Button_Close", 0x60030087,
                                                 family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontsize_Button_Print>("fxFontsize_Button_Print", 0x60030088,
                                                 family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontsize_Button_First>("fxFontsize_Button_First", 0x60030089,
                                                 family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontsize_Button_Previous>("fxFontsize_Button_Previous", 0x6003008a,
                                                    family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontsize_Button_Next>("fxFontsize_Button_Next", 0x6003008b,
                                                family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontsize_Button_Last>("fxFontsize_Button_Last", 0x6003008c,
                                                family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontsize_Button_Search>("fxFontsize_Button_Search", 0x6003008d,
                                                  family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontsize_Button_Continue_Search>(
            "fxFontsize_Button_Continue_Search", 0x6003008e, family::InterfaceTexts, {"SZ"}),
        method<&Palvex::fxFontbold_Button_Close>("fxFontbold_Button_Close", 0x6003008f,
                                                 family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxFontbold_Button_Print>("fxFontbold_Button_Print", 0x60030090,
                                                 family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxFontbold_Button_First>("fxFontbold_Button_First", 0x60030091,
                                                 family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxFontbold_Button_Previous>("fxFontbold_Button_Previous", 0x60030092,
                                                    family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxFontbold_Button_Next>("fxFontbold_Button_Next", 0x60030093,
                                                family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxFontbold_Button_Last>("fxFontbold_Button_Last", 0x60030094,
                                                family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxFontbold_Button_Search>("fxFontbold_Button_Search", 0x60030095,
                                                  family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxFontbold_Button_Continue_Search>(
            "fxFontbold_Button_Continue_Search", 0x60030096, family::InterfaceTexts, {"BL"}),
        method<&Palvex::fxCaption_chkDefaultMargins>("fxCaption_chkDefaultMargins", 0x60030097,
                                                     family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionsOfComboMoreoptions>("fxCaptionsOfComboMoreoptions", 0x60030098,
                                                      family::InterfaceTexts, {"X", "CAP"}),
        method<&Palvex::fxCaptionsOflblMargins>("fxCaptionsOflblMargins", 0x60030099,
                                                family::InterfaceTexts, {"X", "CAP"}),
        method<&Palvex::fxCaption_cmdOK>("fxCaption_cmdOK", 0x6003009a, family::InterfaceTexts,
                                         {"TXT"}),
        method<&Palvex::fxCaption_cmdCANCEL>("fxCaption_cmdCANCEL", 0x6003009b,
                                             family::InterfaceTexts, {"TXT"}),
        method<&Palvex::fxCaptionsOfZoomOptions>("fxCaptionsOfZoomOptions", 0x6003009c,
                                                 family::InterfaceTexts, {"X", "CAP"}),
        method<&Palvex::Fontname_Buttons>("Fontname_Buttons", 0x6003009d, family::InterfaceTexts,
                                          {"TXT"}),
        method<&Palvex::writeMsgbox>("writeMsgbox", 0x600300aa, family::InterfaceTexts,
                                     {"Message", "TXT"}),
        method<&Palvex::ExportPdf>("ExportPdf", 0x60040000, family::HostExtensions,
                                   {"Path", "FromPage", "ToPage"}),
        method<&Palvex::fxCaptionPageNumber>("fxCaptionPageNumber", 0x60040001,
                                             family::HostExtensions, {"TXT"}),
        method<&Palvex::fxCaptionFormatingPage>("fxCaptionFormatingPage", 0x60040002,
                                                family::HostExtensions, {"TXT"}),
        method<&Palvex::fxWaitMessageCentering>("fxWaitMessageCentering", 0x60040003,
                                                family::HostExtensions, {"TXT"}),
        method<&Palvex::fxTextOfMessage>("fxTextOfMessage", 0x60040004, family::HostExtensions,
                                         {"Message", "TXT"}),
        method<&Palvex::fxTextComboQualityEntry>("fxTextComboQualityEntry", 0x60040005,
                                                 family::HostExtensions, {"X", "TXT"}),
        method<&Palvex::fxCaptionCmdCancelPrinting>("fxCaptionCmdCancelPrinting", 0x60040006,
                                                    family::HostExtensions, {"TXT"}),
        method<&Palvex::fxToolTipsOfWindow>("fxToolTipsOfWindow", 0x60040007,
                                            family::HostExtensions, {"X", "TXT"}),
        method<&Palvex::UseHebrewTexts>("UseHebrewTexts", 0x60040008, family::HostExtensions, {}),
        method<&Palvex::SetMargins>("SetMargins", 0x6004000a, family::Layout,
                                    {"Left", "Top", "Right", "Bottom"}),
        method<&Palvex::printParagraph>("printParagraph", 0x6004000b, family::Layout,
                                        {"Text", "Width", "Alignment", "LineSpacing"}),
        method<&Palvex::TableClear>("TableClear", 0x6004000c, family::Layout, {}),
        method<&Palvex::TableAddColumn>("TableAddColumn", 0x6004000d, family::Layout,
                                        {"Width", "Alignment", "Header"}),
        method<&Palvex::TableBegin>("TableBegin", 0x6004000e, family::Layout, {"RepeatHeader"}),
        method<&Palvex::TableRow>("TableRow", 0x6004000f, family::Layout, {"Cells"}),
        method<&Palvex::TableRows>("TableRows", 0x60040010, family::Layout, {"Rows"}),
        method<&Palvex::TableEnd>("TableEnd", 0x60040011, family::Layout, {}),
        method<&Palvex::printPictureSized>("printPictureSized", 0x60040012, family::Layout,
                                           {"Path", "Width", "Height", "KeepAspect", "Alignment"}),
        method<&Palvex::PrintReport>("PrintReport", 0x60040009, family::HostExtensions,
                                     {"FromPage", "ToPage", "Copies"}),
        method<&Palvex::ExportXlsx>("ExportXlsx", 0x60040013, family::HostExtensions, {"Path"}),
        method<&Palvex::ExportCsv>("ExportCsv", 0x60040014, family::HostExtensions, {"Path"}),
        method<&Palvex::fxCaptionCmdExport>("fxCaptionCmdExport", 0x60040015,
                                            family::HostExtensions, {"TXT"}),
        method<&Palvex::About>("About", -552, "About", {}),
        property<&Palvex::get_ShowThumbnails, &Palvex::let_ShowThumbnails>("ShowThumbnails",
                                                                           0x68040013, false),
        method<&Palvex::fxCaptionButton_Thumbnails>("fxCaptionButton_Thumbnails", 0x60040016,
                                                    family::HostExtensions, {"TXT"}),
    };
    return all;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string typeName(const ParamInfo& p) {
    switch (p.type) {
    case ValueType::Boolean:
        return "Boolean";
    case ValueType::Integer:
        return "Integer";
    case ValueType::Long:
        return "Long";
    case ValueType::Single:
        return "Single";
    case ValueType::String:
        return "String";
    case ValueType::Font:
        return "Font";
    case ValueType::Enumeration:
        return std::string(p.enumName);
    }
    return {};
}

std::string hex(DispId id) {
    if (id < 0) return std::to_string(id);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08x", static_cast<unsigned>(id));
    return buffer;
}

} // namespace

std::span<const MemberInfo> members() {
    return table();
}

const MemberInfo* findMember(DispId id) {
    // Every late-bound call looks its member up, twice from C: a search of the table in order
    // of identifiers, made once, instead of a walk through all of it.
    static const std::vector<const MemberInfo*> byId = [] {
        std::vector<const MemberInfo*> sorted;
        for (const MemberInfo& m : table())
            sorted.push_back(&m);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const MemberInfo* a, const MemberInfo* b) { return a->id < b->id; });
        return sorted;
    }();
    const auto found = std::lower_bound(
        byId.begin(), byId.end(), id, [](const MemberInfo* m, DispId key) { return m->id < key; });
    return found != byId.end() && (*found)->id == id ? *found : nullptr;
}

const MemberInfo* findMember(std::string_view name) {
    for (const MemberInfo& m : table())
        if (equalNoCase(m.name, name)) return &m;
    return nullptr;
}

std::string memberListing() {
    std::string out =
        "# Palvex automation interface\n\n"
        "Generated from the member table (`palvex-run --list-members`); do not edit.\n"
        "Library `PalvexLib` (\"Palvex Print Preview RTL1\"), class `Palvex`. Every member "
        "returns a status; by-reference arguments are written back.\n\n"
        "## Properties\n\n| property | identifier | type | |\n|---|---|---|---|\n";
    for (const MemberInfo& m : table())
        if (m.isProperty)
            out += "| `" + std::string(m.name) + "` | " + hex(m.id) + " | " + typeName(*m.result) +
                   " | " + (m.hidden ? "hidden" : "") + " |\n";
    std::string_view family;
    for (const MemberInfo& m : table()) {
        if (m.isProperty) continue;
        if (m.family != family) {
            family = m.family;
            out += "\n## " + std::string(family) +
                   "\n\n| method | identifier | parameters | result |\n|---|---|---|---|\n";
        }
        std::string params;
        for (const ParamInfo& p : m.params) {
            if (!params.empty()) params += ", ";
            if (p.optional) params += "[";
            params +=
                "`" + std::string(p.name) + "` " + typeName(p) + (p.byRef ? " ByRef" : " ByVal");
            if (p.optional) params += "]";
        }
        out += "| `" + std::string(m.name) + "` | " + hex(m.id) + " | " + params + " | " +
               (m.result ? typeName(*m.result) : std::string()) + " |\n";
    }
    out += "\n## Enumerations\n\n| enumeration | members |\n|---|---|\n";
    for (const EnumInfo& e : enumerations()) {
        std::string list;
        for (const EnumMember& m : e.members) {
            if (!list.empty()) list += ", ";
            list += "`" + std::string(m.name) + "` " + std::to_string(m.value);
        }
        out += "| `" + std::string(e.name) + "` | " + list + " |\n";
    }
    return out;
}

} // namespace palvex
