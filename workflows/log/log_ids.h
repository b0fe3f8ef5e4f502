// The resource ids of the log retrieval: its templates, their controls and
// its texts. (Step 1, IDD_LOG1, is named with the shell's ids: the main page
// leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDD_LOG2 = 202;

// Step 1: the folder.
inline constexpr int IDC_LOG1_CAPTION = 1131;
inline constexpr int IDC_LOG1_HEADING = 1080;
inline constexpr int IDC_LOG1_INSTRUCTIONS = 1081;
inline constexpr int IDC_LOG1_FOLDER = 1133;
inline constexpr int IDC_LOG1_BROWSE = 1134;

// Step 2: the fetch.
inline constexpr int IDC_LOG2_CAPTION = 1128;
inline constexpr int IDC_LOG2_HEADING = 1129;
inline constexpr int IDC_LOG2_STATUS = 1130;
inline constexpr int IDC_LOG2_PROGRESS = 1127;

// Texts.
inline constexpr int IDS_LOG_CANNOT_MAKE_FILE = 133;
inline constexpr int IDS_LOG_CREATED = 154;
inline constexpr int IDS_LOG_FAILED = 163;
inline constexpr int IDS_LOG1_HEADING = 186;
inline constexpr int IDS_LOG_INSTRUCTIONS = 187;
inline constexpr int IDS_LOG2_HEADING = 188;
inline constexpr int IDS_LOG_READING = 189;
inline constexpr int IDS_LOG_BROWSE = 190;
inline constexpr int IDS_LOG_BROWSER_TITLE = 207;

}  // namespace kpm::ids
