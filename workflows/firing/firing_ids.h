// The resource ids of the firing adjustment: its templates, their
// controls, its texts and its check patterns. (Step 1, IDD_FIRE1, is named
// with the shell's ids: the main page leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDD_FIRE2 = 130;
inline constexpr int IDD_FIRE3 = 131;
inline constexpr int IDD_FIRE4 = 132;
inline constexpr int IDD_FIRE5 = 133;
inline constexpr int IDD_FIRE6 = 134;
inline constexpr int IDD_FIRE_EXAM1 = 196;
inline constexpr int IDD_FIRE_EXAM2 = 197;

// Step 1: the combination of resolution and head kind.
inline constexpr int IDC_FIRE1_CAPTION = 1052;
inline constexpr int IDC_FIRE1_TITLE = 1051;
inline constexpr int IDC_FIRE1_INSTRUCTION = 1056;
inline constexpr int IDC_FIRE1_LABEL_1200 = 1114;
inline constexpr int IDC_FIRE1_LABEL_600 = 1113;
inline constexpr int IDC_FIRE1_COLOR_1200 = 1008;
inline constexpr int IDC_FIRE1_WHITE_1200 = 1009;
inline constexpr int IDC_FIRE1_COLOR_600 = 1006;
inline constexpr int IDC_FIRE1_WHITE_600 = 1007;
inline constexpr int IDC_FIRE1_STATUS_COLOR_1200 = 1026;
inline constexpr int IDC_FIRE1_STATUS_WHITE_1200 = 1027;
inline constexpr int IDC_FIRE1_STATUS_COLOR_600 = 1028;
inline constexpr int IDC_FIRE1_STATUS_WHITE_600 = 1029;

// Step 2: reset and send the pattern.
inline constexpr int IDC_FIRE2_CAPTION = 1084;
inline constexpr int IDC_FIRE2_TITLE = 1052;
inline constexpr int IDC_FIRE2_SEND_FILM = 1055;
inline constexpr int IDC_FIRE2_CLICK_NEXT = 1058;
inline constexpr int IDC_FIRE2_NOTE = 1059;
inline constexpr int IDC_FIRE2_AUTO_ERASE = 1061;

// Step 3: print at the printer.
inline constexpr int IDC_FIRE3_CAPTION = 1085;
inline constexpr int IDC_FIRE3_TITLE = 1061;
inline constexpr int IDC_FIRE3_PANEL = 1062;
inline constexpr int IDC_FIRE3_AFTER_PRINTING = 1064;

// Step 4: the value read off the print, one selector and label per head
// position.
inline constexpr int IDC_FIRE4_CAPTION = 1086;
inline constexpr int IDC_FIRE4_TITLE = 1063;
inline constexpr int IDC_FIRE4_INSTRUCTION = 1064;
inline constexpr int IDC_FIRE4_K = 1013;
inline constexpr int IDC_FIRE4_Y = 1014;
inline constexpr int IDC_FIRE4_C = 1015;
inline constexpr int IDC_FIRE4_M = 1016;
inline constexpr int IDC_FIRE4_LABEL_K = 1032;
inline constexpr int IDC_FIRE4_LABEL_Y = 1033;
inline constexpr int IDC_FIRE4_LABEL_C = 1034;
inline constexpr int IDC_FIRE4_LABEL_M = 1035;
inline constexpr int IDC_FIRE4_CLICK_NEXT = 1100;

// Step 5: reprint.
inline constexpr int IDC_FIRE5_CAPTION = 1087;
inline constexpr int IDC_FIRE5_TITLE = 1064;
inline constexpr int IDC_FIRE5_REPRINT = 1065;
inline constexpr int IDC_FIRE5_AFTER_PRINTING = 1066;

// Step 6: confirmation.
inline constexpr int IDC_FIRE6_CAPTION = 1088;
inline constexpr int IDC_FIRE6_TITLE = 1065;
inline constexpr int IDC_FIRE6_QUESTION = 1066;
inline constexpr int IDC_FIRE6_CLICK_NEXT = 1090;
inline constexpr int IDC_FIRE6_RESTART_TEXT = 1089;
inline constexpr int IDC_FIRE6_PLATEN_HEIGHT = 1068;

// The example dialogs.
inline constexpr int IDC_FIRE_EXAM1_TEXT = 1098;
inline constexpr int IDC_FIRE_EXAM2_GOOD_CAPTION = 1104;
inline constexpr int IDC_FIRE_EXAM2_GOOD_TEXT = 1099;
inline constexpr int IDC_FIRE_EXAM2_GOOD_PICTURE = 1290;
inline constexpr int IDC_FIRE_EXAM2_BAD_CAPTION = 1105;
inline constexpr int IDC_FIRE_EXAM2_BAD_TEXT = 1103;
inline constexpr int IDC_FIRE_EXAM2_BAD_PICTURE = 1291;

// Texts.
inline constexpr int IDS_FIRE_SELECT_HEAD = 119;
inline constexpr int IDS_FIRE_SELECT_COMBINATION = 120;
inline constexpr int IDS_FIRE_COLOR_1200 = 121;
inline constexpr int IDS_FIRE_WHITE_1200 = 122;
inline constexpr int IDS_FIRE_COLOR_600 = 123;
inline constexpr int IDS_FIRE_WHITE_600 = 124;
inline constexpr int IDS_FIRE_SEND_FILM_COLOR = 134;
inline constexpr int IDS_FIRE_SEND_FILM_WHITE = 135;
inline constexpr int IDS_FIRE_PANEL_COLOR = 140;
inline constexpr int IDS_FIRE_PANEL_WHITE = 142;
inline constexpr int IDS_FIRE_PRINT_CHECK = 143;
inline constexpr int IDS_FIRE_IS_SMOOTHEST = 149;
inline constexpr int IDS_FIRE_1200DPI = 155;
inline constexpr int IDS_FIRE_ALL_DONE = 160;
inline constexpr int IDS_FIRE_600DPI = 167;
inline constexpr int IDS_FIRE_REPRINT_COLOR = 182;
inline constexpr int IDS_FIRE_REPRINT_WHITE = 183;
inline constexpr int IDS_FIRE_PRINT_EXAMPLE = 198;
inline constexpr int IDS_FIRE_GOOD_EXAMPLE = 204;
inline constexpr int IDS_FIRE_BAD_EXAMPLE = 205;

// Check patterns.
inline constexpr int IDR_FIRING_COLOR = 210;
inline constexpr int IDR_FIRING_WHITE = 212;

}  // namespace kpm::ids
