// The resource ids of the shell: its templates and their controls, its
// texts, and the first page of every task, where the main page leads. Each
// id has its name here once; the procedures' own ids are beside their pages
// (workflows/<task>/<task>_ids.h, workflows/common/common_ids.h).
//
// Names: IDD_ a dialog template, IDC_<TEMPLATE>_ a control of that template
// (its object name is "ctl_<id>"), IDS_ a text of the string table.
#pragma once

namespace kpm::ids {

// Templates of the shell.
inline constexpr int IDD_ABOUT = 100;
inline constexpr int IDD_MAIN = 102;

// The first page of each task.
inline constexpr int IDD_FIRE1 = 129;
inline constexpr int IDD_POS2 = 138;
inline constexpr int IDD_LOG1 = 201;
inline constexpr int IDD_VRATING1 = 228;
inline constexpr int IDD_IMPACT_PRECHECK = 252;
inline constexpr int IDD_IP3 = 307;
inline constexpr int IDD_LOCAL_TIME_SETTING1 = 309;
inline constexpr int IDD_CIRCULATION_SCHEDULE1 = 310;

// The About box.
inline constexpr int IDC_ABOUT_VERSION = 1049;
inline constexpr int IDC_ABOUT_NOTICE = 1050;
inline constexpr int IDC_ABOUT_BANNER = 1244;

// The main page.
inline constexpr int IDC_MAIN_PRINTER_LIST = 1001;
inline constexpr int IDC_MAIN_SEARCH = 1002;
inline constexpr int IDC_MAIN_TURN_ON = 1043;
inline constexpr int IDC_MAIN_SELECT_PRINTER = 1044;
inline constexpr int IDC_MAIN_SELECT_ITEM = 1045;
inline constexpr int IDC_MAIN_MODEL_740 = 1110;
inline constexpr int IDC_MAIN_MODEL_730 = 1109;
inline constexpr int IDC_MAIN_HEAD_REPLACEMENT = 1141;
inline constexpr int IDC_MAIN_HEAD_REPLACEMENT_TEXT = 1142;
inline constexpr int IDC_MAIN_FIRING = 1024;
inline constexpr int IDC_MAIN_FIRING_TEXT = 1046;
inline constexpr int IDC_MAIN_PLATEN_ROLLING = 1153;
inline constexpr int IDC_MAIN_PLATEN_ROLLING_TEXT = 1154;
inline constexpr int IDC_MAIN_ALIGNMENT = 1025;
inline constexpr int IDC_MAIN_ALIGNMENT_TEXT = 1047;
inline constexpr int IDC_MAIN_IP_ADDRESS = 1005;
inline constexpr int IDC_MAIN_IP_ADDRESS_TEXT = 1048;
inline constexpr int IDC_MAIN_LOG = 1006;
inline constexpr int IDC_MAIN_LOG_TEXT = 1049;
inline constexpr int IDC_MAIN_CLOCK = 1007;
inline constexpr int IDC_MAIN_CLOCK_TEXT = 1050;
inline constexpr int IDC_MAIN_CIRCULATION = 1008;
inline constexpr int IDC_MAIN_CIRCULATION_TEXT = 1051;
// Shown under an empty printer list: how to add a KPM printer.
inline constexpr int IDC_MAIN_SETUP_HINT = 1300;
inline constexpr int IDC_MAIN_PRINTER_SETTINGS = 1301;

// Texts of the sheet, the About box and the start-up.
inline constexpr int IDS_ABOUT_MENU = 101;
inline constexpr int IDS_TITLE = 102;
inline constexpr int IDS_ABOUT_VERSION = 117;
inline constexpr int IDS_ABOUT_NOTICE = 118;
inline constexpr int IDS_CLOSE = 200;
inline constexpr int IDS_CANCEL = 201;
inline constexpr int IDS_ALREADY_STARTED = 209;

// Texts of the main page.
inline constexpr int IDS_TURN_PRINTER_ON = 107;
inline constexpr int IDS_SELECT_PRINTER = 108;
inline constexpr int IDS_SELECT_ITEM = 109;
inline constexpr int IDS_SEARCH = 113;
inline constexpr int IDS_MODEL_730 = 152;
inline constexpr int IDS_MODEL_740 = 153;
inline constexpr int IDS_TASK_HEAD_REPLACEMENT = 241;
inline constexpr int IDS_TASK_HEAD_REPLACEMENT_TEXT = 242;
inline constexpr int IDS_TASK_FIRING = 114;
inline constexpr int IDS_TASK_FIRING_TEXT = 110;
inline constexpr int IDS_TASK_PLATEN_ROLLING = 258;
inline constexpr int IDS_TASK_PLATEN_ROLLING_TEXT = 259;
inline constexpr int IDS_TASK_ALIGNMENT = 115;
inline constexpr int IDS_TASK_ALIGNMENT_TEXT = 111;
inline constexpr int IDS_TASK_IP_ADDRESS = 116;
inline constexpr int IDS_TASK_IP_ADDRESS_TEXT = 112;
inline constexpr int IDS_TASK_LOG = 106;
inline constexpr int IDS_TASK_LOG_TEXT = 131;
inline constexpr int IDS_TASK_CLOCK = 307;
inline constexpr int IDS_TASK_CLOCK_TEXT = 308;
inline constexpr int IDS_TASK_CIRCULATION = 313;
inline constexpr int IDS_TASK_CIRCULATION_TEXT = 314;
inline constexpr int IDS_SETUP_HINT = 400;
inline constexpr int IDS_PRINTER_SETTINGS = 401;
inline constexpr int IDS_SETUP_HINT_WITHOUT_TOOL = 402;

// Error messages, chosen by the error code.
inline constexpr int IDS_ERR_COMMUNICATION = 104;
inline constexpr int IDS_ERR_INTERNAL = 105;
inline constexpr int IDS_ERR_PRINTER_OPERATING = 164;
inline constexpr int IDS_ERR_SET_CLOCK = 208;
inline constexpr int IDS_ERR_UNRECOGNIZED_SERIAL = 210;
inline constexpr int IDS_ERR_ASSIGN_ADDRESS = 225;
inline constexpr int IDS_ERR_ASSIGN_GATEWAY = 226;
inline constexpr int IDS_ERR_UPDATE_FIRMWARE = 229;
inline constexpr int IDS_ERR_RETRY_COMMUNICATION = 387;
inline constexpr int IDS_ERR_PRINTER_FAILED = 388;
inline constexpr int IDS_ERR_SETTING_FAILED = 389;
inline constexpr int IDS_ERR_UNEXPECTED = 390;

}  // namespace kpm::ids
