#include <palvex/Enumerations.h>

namespace palvex {

namespace {
constexpr EnumMember kAlignType[] = {
    {"A0_AlignNone", A0_AlignNone},
    {"A1_AlignRight", A1_AlignRight},
    {"A2_AlignCenter", A2_AlignCenter},
    {"A3_AlignLeft", A3_AlignLeft},
};
constexpr EnumMember kAlignPicHorizontalType[] = {
    {"A0_AlignPicHorizontalNone", A0_AlignPicHorizontalNone},
    {"A1_AlignPicHorizontalRight", A1_AlignPicHorizontalRight},
    {"A2_AlignPicHorizontalCenter", A2_AlignPicHorizontalCenter},
    {"A3_AlignPicHorizontalLeft", A3_AlignPicHorizontalLeft},
};
constexpr EnumMember kAlignPicVerticalType[] = {
    {"A0_AlignPicVerticalNone", A0_AlignPicVerticalNone},
    {"A1_AlignPicVerticalTop", A1_AlignPicVerticalTop},
    {"A2_AlignPicVerticalCenter", A2_AlignPicVerticalCenter},
    {"A3_AlignPicVerticalBottom", A3_AlignPicVerticalBottom},
};
constexpr EnumMember kWhereToPrintChars[] = {
    {"K0_StartAndEndPointAsDefined", K0_StartAndEndPointAsDefined},
    {"K1_FromLeftmarginToRightmargin", K1_FromLeftmarginToRightmargin},
    {"K2_StartAndEndPointAsStringOfLastRow", K2_StartAndEndPointAsStringOfLastRow},
};
constexpr EnumMember kDirectionOfPrintCharsType[] = {
    {"PrintHorizontal", PrintHorizontal},
    {"PrintVertical", PrintVertical},
};
constexpr EnumMember kKindOfHeaderType[] = {
    {"K0_KindOfText", K0_KindOfText},
    {"K1_KindOfPicture", K1_KindOfPicture},
};
constexpr EnumMember kAfterPrintType[] = {
    {"A1_StayWhereYouAre", A1_StayWhereYouAre},
    {"A2_JumpToNextLine", A2_JumpToNextLine},
};
constexpr EnumMember ktxtMessageType[] = {
    {"K0_Please_write_number_of_copies_1_or_higher", K0_Please_write_number_of_copies_1_or_higher},
    {"K1_Is_the_number_of_copies_OK", K1_Is_the_number_of_copies_OK},
    {"K2_Not_found_any_more", K2_Not_found_any_more},
    {"K3_Printer_problem_Please_check_if_a_printer_is_connected_etc",
     K3_Printer_problem_Please_check_if_a_printer_is_connected_etc},
};
constexpr EnumMember kFooter1Number[] = {
    {"N1_RightFooterOfPagenumberLine", N1_RightFooterOfPagenumberLine},
    {"N2_LeftFooterOfPagenumberLine", N2_LeftFooterOfPagenumberLine},
    {"N3_RightFooterOfSecondLine", N3_RightFooterOfSecondLine},
    {"N4_LeftFooterOfSecondLine", N4_LeftFooterOfSecondLine},
};
constexpr EnumMember kCaptions_Of_Combo_Moreoptions[] = {
    {"C0_Caption_Of_More_Options", C0_Caption_Of_More_Options},
    {"C1_Caption_Of_Margins_Setup", C1_Caption_Of_Margins_Setup},
    {"C2_Caption_Of_Zoom_Options", C2_Caption_Of_Zoom_Options},
    {"C3_Caption_Of_Center_this_page", C3_Caption_Of_Center_this_page},
    {"C4_Caption_Of_Center_all_pages", C4_Caption_Of_Center_all_pages},
    {"C5_Caption_Of_Move_left", C5_Caption_Of_Move_left},
    {"C6_Caption_Of_Move_right", C6_Caption_Of_Move_right},
};
constexpr EnumMember kCaptions_Of_lblMargins[] = {
    {"C0_Caption_Of_fraMarginsSetup", C0_Caption_Of_fraMarginsSetup},
    {"C1_Caption_Of_LeftMargin", C1_Caption_Of_LeftMargin},
    {"C2_Caption_Of_RightMargin", C2_Caption_Of_RightMargin},
    {"C3_Caption_Of_TopMargin", C3_Caption_Of_TopMargin},
    {"C4_Caption_Of_BottomMargin", C4_Caption_Of_BottomMargin},
};
constexpr EnumMember kCaption_Of_ZoomOptions[] = {
    {"C0_Caption_Of_fraZoomOptions", C0_Caption_Of_fraZoomOptions},
    {"C1_Caption_Of_lblChangeZoom", C1_Caption_Of_lblChangeZoom},
    {"C2_Caption_Of_chkZoomCurrentx", C2_Caption_Of_chkZoomCurrentx},
    {"C3_Caption_Of_chkZoomHeight", C3_Caption_Of_chkZoomHeight},
    {"C4_Caption_Of_chkZoomWidth", C4_Caption_Of_chkZoomWidth},
};
constexpr EnumMember kProporional_CurrentY[] = {
    {"P0_Ignore", P0_Ignore},
    {"P1_Proporional_To_currentYofPageNumber", P1_Proporional_To_currentYofPageNumber},
};

constexpr EnumInfo kEnums[] = {
    {"AlignType", kAlignType},
    {"AlignPicHorizontalType", kAlignPicHorizontalType},
    {"AlignPicVerticalType", kAlignPicVerticalType},
    {"WhereToPrintChars", kWhereToPrintChars},
    {"DirectionOfPrintCharsType", kDirectionOfPrintCharsType},
    {"KindOfHeaderType", kKindOfHeaderType},
    {"AfterPrintType", kAfterPrintType},
    {"txtMessageType", ktxtMessageType},
    {"Footer1Number", kFooter1Number},
    {"Captions_Of_Combo_Moreoptions", kCaptions_Of_Combo_Moreoptions},
    {"Captions_Of_lblMargins", kCaptions_Of_lblMargins},
    {"Caption_Of_ZoomOptions", kCaption_Of_ZoomOptions},
    {"Proporional_CurrentY", kProporional_CurrentY},
};
} // namespace

std::span<const EnumInfo> enumerations() {
    return kEnums;
}

} // namespace palvex
