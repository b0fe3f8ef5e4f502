// The resource ids of the IP address setting: its templates, their
// controls and its texts. (Step 1, IDD_IP3, is named with the shell's ids:
// the main page leads there.)
#pragma once

#include "workflows/common/common_ids.h"

namespace kpm::ids {

inline constexpr int IDD_IP1 = 135;  // a static address
inline constexpr int IDD_IP2 = 136;  // assigned
inline constexpr int IDD_IP4 = 308;  // the host name, for an automatic address

// The method: a static address or an automatic one.
inline constexpr int IDC_IP3_CAPTION = 1256;
inline constexpr int IDC_IP3_TITLE = 1257;
inline constexpr int IDC_IP3_MANUAL = 1258;
inline constexpr int IDC_IP3_AUTOMATIC = 1259;

// The static address.
inline constexpr int IDC_IP1_CAPTION = 1115;
inline constexpr int IDC_IP1_TITLE = 1116;
inline constexpr int IDC_IP1_INSTRUCTION = 1117;
inline constexpr int IDC_IP1_ADDRESS_LABEL = 1118;
inline constexpr int IDC_IP1_MASK_LABEL = 1119;
inline constexpr int IDC_IP1_GATEWAY_LABEL = 1120;
inline constexpr int IDC_IP1_ADDRESS = 1121;
inline constexpr int IDC_IP1_MASK = 1122;
inline constexpr int IDC_IP1_GATEWAY = 1123;

// The host name.
inline constexpr int IDC_IP4_CAPTION = 1260;
inline constexpr int IDC_IP4_TITLE = 1261;
inline constexpr int IDC_IP4_INSTRUCTION = 1262;
inline constexpr int IDC_IP4_HOST_NAME_LABEL = 1127;
inline constexpr int IDC_IP4_HOST_NAME = 1259;
inline constexpr int IDC_IP4_PRESS_NEXT = 1263;

// Assigned.
inline constexpr int IDC_IP2_CAPTION = 1124;
inline constexpr int IDC_IP2_TITLE = 1125;
inline constexpr int IDC_IP2_TEXT = 1126;

// Texts.
inline constexpr int IDS_IP_SELECT_METHOD = 166;
inline constexpr int IDS_IP_MANUAL = 172;
inline constexpr int IDS_IP_AUTOMATIC = 175;
inline constexpr int IDS_IP_ENTER_HOST_NAME = 179;
inline constexpr int IDS_IP_HOST_NAME_INSTRUCTION = 180;
inline constexpr int IDS_IP_HOST_NAME = 181;
inline constexpr int IDS_IP_PRESS_NEXT = 185;
inline constexpr int IDS_IP_INPUT_ADDRESS = 220;
inline constexpr int IDS_IP_ADDRESS_INSTRUCTION = 221;
inline constexpr int IDS_IP_ADDRESS = 222;
inline constexpr int IDS_IP_MASK = 223;
inline constexpr int IDS_IP_GATEWAY = 224;
inline constexpr int IDS_IP_ASSIGNED = 227;
inline constexpr int IDS_IP_ASSIGNED_TEXT = 228;

}  // namespace kpm::ids
