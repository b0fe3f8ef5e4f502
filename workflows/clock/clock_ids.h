// The resource ids of the nozzle-check clock setting: its controls and
// texts. (Its one page, IDD_LOCAL_TIME_SETTING1, is named with the shell's
// ids: the main page leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDC_LOCAL_TIME_SETTING1_CAPTION = 1264;
inline constexpr int IDC_LOCAL_TIME_SETTING1_TITLE = 1265;
inline constexpr int IDC_LOCAL_TIME_SETTING1_TIME_LABEL = 1266;
inline constexpr int IDC_LOCAL_TIME_SETTING1_TIME = 1267;
inline constexpr int IDC_LOCAL_TIME_SETTING1_INSTRUCTION = 1268;
inline constexpr int IDC_LOCAL_TIME_SETTING1_DATE_WARNING = 1288;

inline constexpr int IDS_CLOCK_TITLE = 309;
inline constexpr int IDS_CLOCK_CURRENT_TIME = 310;
inline constexpr int IDS_CLOCK_INSTRUCTION = 311;
inline constexpr int IDS_CLOCK_SET = 312;
inline constexpr int IDS_CLOCK_DATE_WARNING = 335;

}  // namespace kpm::ids
