// The resource ids of the white/colour alignment: its templates, their
// controls, its texts and its check pattern. (Its first step, IDD_POS2, is
// named with the shell's ids: the main page leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDD_POS1 = 137;  // no navigation leads there
inline constexpr int IDD_POS3 = 139;
inline constexpr int IDD_POS4 = 140;
inline constexpr int IDD_POS5 = 141;
inline constexpr int IDD_POS6 = 142;
inline constexpr int IDD_POS_EXAM1 = 304;
inline constexpr int IDD_POS_EXAM2 = 306;

// Step 1: (reset and) send the pattern.
inline constexpr int IDC_POS2_CAPTION = 1092;
inline constexpr int IDC_POS2_TITLE = 1067;
inline constexpr int IDC_POS2_SEND_FILM = 1068;
inline constexpr int IDC_POS2_RESET_FIRST = 1292;
inline constexpr int IDC_POS2_RESET_NOTE = 1255;
inline constexpr int IDC_POS2_CLICK_NEXT = 1072;
inline constexpr int IDC_POS2_AUTO_ERASE = 1249;

// Step 2: print at the printer.
inline constexpr int IDC_POS3_CAPTION = 1093;
inline constexpr int IDC_POS3_TITLE = 1070;
inline constexpr int IDC_POS3_PANEL = 1071;
inline constexpr int IDC_POS3_AFTER_PRINTING = 1073;

// Step 3: the clean square read off the print.
inline constexpr int IDC_POS4_CAPTION = 1094;
inline constexpr int IDC_POS4_TITLE = 1071;
inline constexpr int IDC_POS4_INSTRUCTION = 1072;
inline constexpr int IDC_POS4_LABEL_X = 1075;
inline constexpr int IDC_POS4_X = 1040;
inline constexpr int IDC_POS4_LABEL_Y = 1074;
inline constexpr int IDC_POS4_Y = 1039;
inline constexpr int IDC_POS4_CLICK_NEXT = 1102;

// Step 4: reprint.
inline constexpr int IDC_POS5_CAPTION = 1095;
inline constexpr int IDC_POS5_TITLE = 1076;
inline constexpr int IDC_POS5_REPRINT = 1077;
inline constexpr int IDC_POS5_AFTER_PRINTING = 1078;

// Step 5: confirmation.
inline constexpr int IDC_POS6_CAPTION = 1097;
inline constexpr int IDC_POS6_TITLE = 1077;
inline constexpr int IDC_POS6_QUESTION = 1078;
inline constexpr int IDC_POS6_CLICK_NEXT = 1096;
inline constexpr int IDC_POS6_RESTART_TEXT = 1248;

// The example dialogs.
inline constexpr int IDC_POS_EXAM1_TEXT = 1245;
inline constexpr int IDC_POS_EXAM2_GOOD_CAPTION = 1252;
inline constexpr int IDC_POS_EXAM2_GOOD_TEXT = 1246;
inline constexpr int IDC_POS_EXAM2_GOOD_PICTURE = 1290;
inline constexpr int IDC_POS_EXAM2_BAD_CAPTION = 1253;
inline constexpr int IDC_POS_EXAM2_BAD_TEXT = 1254;
inline constexpr int IDC_POS_EXAM2_BAD_PICTURE = 1291;

// Texts.
inline constexpr int IDS_POS_SEND_FILM = 165;
inline constexpr int IDS_POS_PANEL = 168;
inline constexpr int IDS_POS_CONFIRM_RESULT = 170;
inline constexpr int IDS_POS_FIND_SQUARE = 171;
inline constexpr int IDS_POS_Y_RANGE = 173;
inline constexpr int IDS_POS_X_RANGE = 174;
inline constexpr int IDS_POS_CONFIRM_REPRINT = 176;
inline constexpr int IDS_POS_IS_CENTRE_ALIGNED = 177;
inline constexpr int IDS_POS_X_BEYOND_RANGE = 178;
inline constexpr int IDS_POS_REPRINT = 184;
inline constexpr int IDS_POS_RESET_FIRST = 213;
inline constexpr int IDS_POS_PRINT_EXAMPLE = 301;
inline constexpr int IDS_POS_GOOD_EXAMPLE = 302;
inline constexpr int IDS_POS_BAD_EXAMPLE = 303;
inline constexpr int IDS_POS_RESET_NOTE = 306;

// Check pattern.
inline constexpr int IDR_ALIGNMENT = 214;

}  // namespace kpm::ids
