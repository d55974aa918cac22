#include "Palvex.h"

// Members whose behaviour is not built yet answer "not supported yet".

namespace palvex {

Status Palvex::tfCenterPages(bool&) { return Status::NotSupportedYet; }
Status Palvex::SavePrint(QString&, bool&) { return Status::NotSupportedYet; }
Status Palvex::ReadPrint(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionFraPrinter(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionLblPrinterName(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionLblCopies(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionLblQuality(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionLblZoomPrinting(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionLblFromPage(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionLblToPage(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionCmdPrintSetup(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionFraPrinterCmdOK(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionFraPrinterCmdCancel(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxTextComboQuality_Draft(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxTextComboQuality_Low(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxTextComboQuality_Medium(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxTextComboQuality_High(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxTextComboZoom_Ignore(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxTextComboZoom_Defined(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionFraSearch(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionLblSearch(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionCmdSearch(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionCmdCancelSearch(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_Close(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_Print(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_First_F5(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_Previous_F6(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_Next_F7(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_Last_F8(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_Search_F3(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionButton_Continue_Search_F3(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_Close(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_Print(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_First(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_Previous(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_Next(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_Last(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_Search(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontsize_Button_Continue_Search(float&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_Close(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_Print(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_First(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_Previous(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_Next(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_Last(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_Search(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxFontbold_Button_Continue_Search(bool&) { return Status::NotSupportedYet; }
Status Palvex::fxCaption_chkDefaultMargins(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionsOfComboMoreoptions(int16_t&, QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionsOflblMargins(int16_t&, QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaption_cmdOK(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaption_cmdCANCEL(QString&) { return Status::NotSupportedYet; }
Status Palvex::fxCaptionsOfZoomOptions(int16_t&, QString&) { return Status::NotSupportedYet; }
Status Palvex::Fontname_Buttons(QString&) { return Status::NotSupportedYet; }
Status Palvex::writeMsgbox(txtMessageType&, QString&) { return Status::NotSupportedYet; }

} // namespace palvex
