// The resource ids of the white-ink circulation schedule: its templates,
// their controls and its texts. (Step 1, IDD_CIRCULATION_SCHEDULE1, is
// named with the shell's ids: the main page leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDD_CIRCULATION_SCHEDULE2 = 311;

// Step 1: set or cancel.
inline constexpr int IDC_CIRCULATION_SCHEDULE1_CAPTION = 1269;
inline constexpr int IDC_CIRCULATION_SCHEDULE1_TITLE = 1270;
inline constexpr int IDC_CIRCULATION_SCHEDULE1_SET = 1271;
inline constexpr int IDC_CIRCULATION_SCHEDULE1_CANCEL = 1272;
inline constexpr int IDC_CIRCULATION_SCHEDULE1_NOTE = 1273;

// Step 2: the start times, eight boxes and beside each its enhanced radio,
// numbered in order.
inline constexpr int IDC_CIRCULATION_SCHEDULE2_CAPTION = 1274;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_TITLE = 1275;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_TIME_LABEL = 1276;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_TIME = 1277;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_HEADING = 1278;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_BOX1 = 1259;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_BOX8 = 1266;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_ENHANCED1 = 1279;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_ENHANCED8 = 1286;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_INSTRUCTION = 1287;
inline constexpr int IDC_CIRCULATION_SCHEDULE2_DATE_WARNING = 1289;

// Texts.
inline constexpr int IDS_CIRC_SET_OR_CANCEL = 315;
inline constexpr int IDS_CIRC_SET = 316;
inline constexpr int IDS_CIRC_CANCEL = 317;
inline constexpr int IDS_CIRC_NOT_SET_NOTE = 318;
inline constexpr int IDS_CIRC_CANCELLED = 319;
inline constexpr int IDS_CIRC_TITLE = 320;
inline constexpr int IDS_CIRC_CURRENT_TIME = 321;
inline constexpr int IDS_CIRC_START_TIMES = 322;
inline constexpr int IDS_CIRC_ENHANCED1 = 323;  // "[1]" .. "[8]": 323..330
inline constexpr int IDS_CIRC_INSTRUCTION = 331;
inline constexpr int IDS_CIRC_GAP = 332;
inline constexpr int IDS_CIRC_SCHEDULE_SET = 333;
inline constexpr int IDS_CIRC_OUT_OF_RANGE = 334;
inline constexpr int IDS_CIRC_DATE_WARNING = 336;
inline constexpr int IDS_CIRC_TOO_FEW = 339;
inline constexpr int IDS_CIRC_NO_ENHANCED = 340;
inline constexpr int IDS_CIRC_ENHANCED_EMPTY = 341;

}  // namespace kpm::ids
