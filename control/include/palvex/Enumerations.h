#pragma once

#include "Export.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace palvex {

// The public enumerations of the automation interface; all are 32-bit and their values are fixed.
enum AlignType : int32_t {
    A0_AlignNone = 0,
    A1_AlignRight = 1,
    A2_AlignCenter = 2,
    A3_AlignLeft = 3
};
enum AlignPicHorizontalType : int32_t {
    A0_AlignPicHorizontalNone = 0,
    A1_AlignPicHorizontalRight = 1,
    A2_AlignPicHorizontalCenter = 2,
    A3_AlignPicHorizontalLeft = 3
};
enum AlignPicVerticalType : int32_t {
    A0_AlignPicVerticalNone = 0,
    A1_AlignPicVerticalTop = 1,
    A2_AlignPicVerticalCenter = 2,
    A3_AlignPicVerticalBottom = 3
};
enum WhereToPrintChars : int32_t {
    K0_StartAndEndPointAsDefined = 0,
    K1_FromLeftmarginToRightmargin = 1,
    K2_StartAndEndPointAsStringOfLastRow = 2
};
enum DirectionOfPrintCharsType : int32_t { PrintHorizontal = 0, PrintVertical = 1 };
enum KindOfHeaderType : int32_t { K0_KindOfText = 0, K1_KindOfPicture = 1 };
enum AfterPrintType : int32_t { A1_StayWhereYouAre = 1, A2_JumpToNextLine = 2 };
enum txtMessageType : int32_t {
    K0_Please_write_number_of_copies_1_or_higher = 0,
    K1_Is_the_number_of_copies_OK = 1,
    K2_Not_found_any_more = 2,
    K3_Printer_problem_Please_check_if_a_printer_is_connected_etc = 3
};
enum Footer1Number : int32_t {
    N1_RightFooterOfPagenumberLine = 0,
    N2_LeftFooterOfPagenumberLine = 1,
    N3_RightFooterOfSecondLine = 2,
    N4_LeftFooterOfSecondLine = 3
};
enum Captions_Of_Combo_Moreoptions : int32_t {
    C0_Caption_Of_More_Options = 0,
    C1_Caption_Of_Margins_Setup = 1,
    C2_Caption_Of_Zoom_Options = 2,
    C3_Caption_Of_Center_this_page = 3,
    C4_Caption_Of_Center_all_pages = 4,
    C5_Caption_Of_Move_left = 5,
    C6_Caption_Of_Move_right = 6
};
enum Captions_Of_lblMargins : int32_t {
    C0_Caption_Of_fraMarginsSetup = 0,
    C1_Caption_Of_LeftMargin = 1,
    C2_Caption_Of_RightMargin = 2,
    C3_Caption_Of_TopMargin = 3,
    C4_Caption_Of_BottomMargin = 4
};
enum Caption_Of_ZoomOptions : int32_t {
    C0_Caption_Of_fraZoomOptions = 0,
    C1_Caption_Of_lblChangeZoom = 1,
    C2_Caption_Of_chkZoomCurrentx = 2,
    C3_Caption_Of_chkZoomHeight = 3,
    C4_Caption_Of_chkZoomWidth = 4
};
enum Proporional_CurrentY : int32_t { P0_Ignore = 0, P1_Proporional_To_currentYofPageNumber = 1 };

struct EnumMember {
    std::string_view name;
    int32_t value;
};

struct EnumInfo {
    std::string_view name;
    std::span<const EnumMember> members;
};

// Every enumeration with its members, for the member listing and the script host.
PALVEX_EXPORT std::span<const EnumInfo> enumerations();

} // namespace palvex
