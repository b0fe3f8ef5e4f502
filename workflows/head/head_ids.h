// The resource ids of the head replacement settings: its templates, their
// controls and its texts. (Step 1, IDD_VRATING1, is named with the shell's
// ids: the main page leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDD_VRATING2 = 229;
inline constexpr int IDD_NEW_VRATING1 = 297;  // no navigation leads there

// Step 1: the replaced head.
inline constexpr int IDC_VRATING1_CAPTION = 1140;
inline constexpr int IDC_VRATING1_TITLE = 1143;
inline constexpr int IDC_VRATING1_INSTRUCTION = 1139;
inline constexpr int IDC_VRATING1_COLOR = 1135;
inline constexpr int IDC_VRATING1_WHITE = 1136;
inline constexpr int IDC_VRATING1_COLOR_STATUS = 1153;
inline constexpr int IDC_VRATING1_WHITE_STATUS = 1154;

// Step 2: the head's serial number and V-rating.
inline constexpr int IDC_VRATING2_CAPTION = 1149;
inline constexpr int IDC_VRATING2_TITLE = 1150;
inline constexpr int IDC_VRATING2_INSTRUCTION = 1151;
inline constexpr int IDC_VRATING2_HEAD_LABEL = 1155;
inline constexpr int IDC_VRATING2_HEAD = 1156;
inline constexpr int IDC_VRATING2_SERIAL_LABEL = 1159;
inline constexpr int IDC_VRATING2_SERIAL = 1259;
inline constexpr int IDC_VRATING2_VRATING_LABEL = 1152;
inline constexpr int IDC_VRATING2_VRATING = 1243;

// Texts.
inline constexpr int IDS_HEAD_SPECIFY_HEAD = 243;
inline constexpr int IDS_HEAD_SELECT_HEAD = 244;
inline constexpr int IDS_HEAD_COLOR = 245;
inline constexpr int IDS_HEAD_WHITE = 246;
inline constexpr int IDS_HEAD_CONFIGURE = 251;
inline constexpr int IDS_HEAD_SPECIFY_SERIAL = 252;
inline constexpr int IDS_HEAD_VRATING = 253;
inline constexpr int IDS_HEAD_SERIAL = 255;
inline constexpr int IDS_HEAD_SELECTION = 256;
inline constexpr int IDS_HEAD_ALL_DONE = 257;

}  // namespace kpm::ids
