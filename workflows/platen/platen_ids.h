// The resource ids of the platen-rolling adjustment, both phases: its
// templates, their controls, its texts and its check patterns. (Its first
// step, IDD_IMPACT_PRECHECK, is named with the shell's ids: the main page
// leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDD_IMPACT1 = 230;
inline constexpr int IDD_IMPACT2 = 231;
inline constexpr int IDD_IMPACT3 = 233;
inline constexpr int IDD_IMPACT4 = 234;
inline constexpr int IDD_IMPACT5 = 237;
inline constexpr int IDD_IMPACT6 = 280;
inline constexpr int IDD_IMPACT7 = 281;
inline constexpr int IDD_IMPACT8 = 276;
inline constexpr int IDD_IMPACT9 = 282;
inline constexpr int IDD_IMPACT10 = 283;
inline constexpr int IDD_IMPACT11 = 277;  // no navigation leads there
inline constexpr int IDD_IMPACT_EXAM1 = 235;
inline constexpr int IDD_IMPACT_EXAM2 = 236;

// Step 1: the user's confirmation that the other settings are done.
inline constexpr int IDC_IMPACT_PRECHECK_CAPTION = 1189;
inline constexpr int IDC_IMPACT_PRECHECK_TITLE = 1190;
inline constexpr int IDC_IMPACT_PRECHECK_TEXT = 1191;
inline constexpr int IDC_IMPACT_PRECHECK_CONFIRMED = 1192;

// Step 2: reset and send the feeding pattern.
inline constexpr int IDC_IMPACT1_CAPTION = 1157;
inline constexpr int IDC_IMPACT1_TITLE = 1158;
inline constexpr int IDC_IMPACT1_SEND_FILM = 1159;
inline constexpr int IDC_IMPACT1_CLICK_NEXT = 1160;
inline constexpr int IDC_IMPACT1_NOTE = 1161;
inline constexpr int IDC_IMPACT1_AUTO_ERASE = 1250;

// Step 3: print at the printer.
inline constexpr int IDC_IMPACT2_CAPTION = 1157;
inline constexpr int IDC_IMPACT2_TITLE = 1162;
inline constexpr int IDC_IMPACT2_PANEL = 1163;
inline constexpr int IDC_IMPACT2_AFTER_PRINTING = 1164;

// Step 4: the FWD and RVS bands read off the print.
inline constexpr int IDC_IMPACT3_CAPTION = 1167;
inline constexpr int IDC_IMPACT3_TITLE = 1168;
inline constexpr int IDC_IMPACT3_INSTRUCTION = 1169;
inline constexpr int IDC_IMPACT3_FWD = 1165;
inline constexpr int IDC_IMPACT3_RVS = 1166;
inline constexpr int IDC_IMPACT3_CLICK_NEXT = 1172;

// Step 5: reprint.
inline constexpr int IDC_IMPACT4_CAPTION = 1173;
inline constexpr int IDC_IMPACT4_TITLE = 1174;
inline constexpr int IDC_IMPACT4_REPRINT = 1175;
inline constexpr int IDC_IMPACT4_AFTER_PRINTING = 1176;

// Steps 6 and 11, the confirmations of the two phases, share their layout
// (IDD_IMPACT5, IDD_IMPACT10).
inline constexpr int IDC_IMPACT_CONFIRM_CAPTION = 1177;
inline constexpr int IDC_IMPACT_CONFIRM_TITLE = 1178;
inline constexpr int IDC_IMPACT_CONFIRM_QUESTION = 1179;
inline constexpr int IDC_IMPACT_CONFIRM_CLICK_NEXT = 1180;
inline constexpr int IDC_IMPACT_CONFIRM_RESTART_TEXT = 1181;
inline constexpr int IDC_IMPACT_CONFIRM_PLATEN_HEIGHT = 1182;

// Step 7: the neutral feed and the 16-inch line.
inline constexpr int IDC_IMPACT6_CAPTION = 1201;
inline constexpr int IDC_IMPACT6_TITLE = 1195;
inline constexpr int IDC_IMPACT6_SEND_FILM = 1200;
inline constexpr int IDC_IMPACT6_CLICK_NEXT = 1194;
inline constexpr int IDC_IMPACT6_NOTE = 1196;
inline constexpr int IDC_IMPACT6_AUTO_ERASE = 1251;

// Step 8: print at the printer.
inline constexpr int IDC_IMPACT7_CAPTION = 1213;
inline constexpr int IDC_IMPACT7_TITLE = 1197;
inline constexpr int IDC_IMPACT7_PANEL = 1214;
inline constexpr int IDC_IMPACT7_AFTER_PRINTING = 1202;

// Step 9: the line's length read off the print.
inline constexpr int IDC_IMPACT8_CAPTION = 1193;
inline constexpr int IDC_IMPACT8_TITLE = 1215;
inline constexpr int IDC_IMPACT8_INSTRUCTION = 1216;
inline constexpr int IDC_IMPACT8_LABEL_LENGTH = 1205;
inline constexpr int IDC_IMPACT8_LENGTH = 1217;

// Step 10: reprint.
inline constexpr int IDC_IMPACT9_CAPTION = 1219;
inline constexpr int IDC_IMPACT9_TITLE = 1220;
inline constexpr int IDC_IMPACT9_REPRINT = 1221;
inline constexpr int IDC_IMPACT9_AFTER_PRINTING = 1222;

// The example dialogs. Picture 27N is in control 127N.
inline constexpr int IDC_IMPACT_EXAM1_TEXT = 1183;
inline constexpr int IDC_IMPACT_EXAM1_FWD = 1270;
inline constexpr int IDC_IMPACT_EXAM1_RVS = 1271;
inline constexpr int IDC_IMPACT_EXAM2_GOOD_CAPTION = 1184;
inline constexpr int IDC_IMPACT_EXAM2_GOOD_TEXT = 1185;
inline constexpr int IDC_IMPACT_EXAM2_GOOD_FWD = 1274;
inline constexpr int IDC_IMPACT_EXAM2_GOOD_RVS = 1276;
inline constexpr int IDC_IMPACT_EXAM2_BAD_CAPTION = 1187;
inline constexpr int IDC_IMPACT_EXAM2_BAD_TEXT = 1186;
inline constexpr int IDC_IMPACT_EXAM2_BAD_FWD = 1272;
inline constexpr int IDC_IMPACT_EXAM2_BAD_RVS = 1273;

// Texts.
inline constexpr int IDS_IMPACT_CANCEL_NOTE = 260;
inline constexpr int IDS_IMPACT_PANEL_FEEDING = 261;
inline constexpr int IDS_IMPACT_ADJUST_FIRST = 262;
inline constexpr int IDS_IMPACT_IS_SMOOTHEST = 263;
inline constexpr int IDS_IMPACT_GOOD_EXAMPLE = 264;
inline constexpr int IDS_IMPACT_BAD_EXAMPLE = 265;
inline constexpr int IDS_IMPACT_PRINT_EXAMPLE = 267;
inline constexpr int IDS_IMPACT_SEND_FILM = 268;
inline constexpr int IDS_IMPACT_PRIOR_CONFIRMATION = 269;
inline constexpr int IDS_IMPACT_PRIOR_SETTINGS = 270;
inline constexpr int IDS_IMPACT_SETTINGS_FINISHED = 271;
inline constexpr int IDS_IMPACT_REPRINT = 272;
inline constexpr int IDS_IMPACT_RETURN_TO_STEP2 = 273;
inline constexpr int IDS_IMPACT_RESTART_FROM_STEP2 = 274;
inline constexpr int IDS_STEP7 = 276;
inline constexpr int IDS_STEP8 = 277;
inline constexpr int IDS_STEP9 = 278;
inline constexpr int IDS_STEP10 = 279;
inline constexpr int IDS_STEP11 = 280;
inline constexpr int IDS_IMPACT_LENGTH_LABEL = 282;
inline constexpr int IDS_IMPACT_ADJUST_SECOND = 286;
inline constexpr int IDS_IMPACT_PANEL_LINE = 293;
inline constexpr int IDS_IMPACT_IS_16_INCH = 294;
inline constexpr int IDS_IMPACT_SEND_FILM_LINE = 299;
inline constexpr int IDS_IMPACT_RETURN_TO_STEP7 = 391;
inline constexpr int IDS_IMPACT_RESTART_FROM_STEP7 = 392;
inline constexpr int IDS_IMPACT_ENTER_LENGTH = 393;

// Check patterns.
inline constexpr int IDR_FEEDING_PATTERN = 267;
inline constexpr int IDR_SIXTEEN_INCH_LINE = 287;

}  // namespace kpm::ids
