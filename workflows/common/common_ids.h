// The resource ids that several procedures share: the controls the step,
// confirmation and example pages handle for every procedure, the texts
// more than one procedure shows, and the check pictures (drawn here, in
// check_pictures.cpp). Each procedure names its own ids beside its pages.
//
// Names: IDC_ a control, IDS_ a text of the string table, IDB_ a picture.
#pragma once

#include "app/app_ids.h"

namespace kpm::ids {

// Controls of the same meaning in the templates of several pages.
inline constexpr int IDC_CLOSE = 1;  // an example dialog's OK button
inline constexpr int IDC_PICTURE = 1060;
inline constexpr int IDC_EXAMPLE = 1017;  // "See the print example ..."
inline constexpr int IDC_YES = 1036;
inline constexpr int IDC_NO = 1021;
inline constexpr int IDC_READJUST = 1022;
inline constexpr int IDC_RESTART = 1019;  // "Return to Step 1"

// Step captions.
inline constexpr int IDS_STEP1 = 192;
inline constexpr int IDS_STEP2 = 193;
inline constexpr int IDS_STEP3 = 194;
inline constexpr int IDS_STEP4 = 195;
inline constexpr int IDS_STEP5 = 196;
inline constexpr int IDS_STEP6 = 197;

// The done state of a firing combination or a head.
inline constexpr int IDS_DONE = 126;
inline constexpr int IDS_NOT_DONE = 127;

// Texts of the adjustment procedures.
inline constexpr int IDS_PATTERN_WILL_BE_SENT = 128;
inline constexpr int IDS_READJUST = 129;
inline constexpr int IDS_CLICK_NEXT_AND_WAIT = 137;
inline constexpr int IDS_CANCEL_NOTE = 138;
inline constexpr int IDS_PATTERN_WILL_BE_PRINTED = 139;
inline constexpr int IDS_AFTER_PRINTING = 141;
inline constexpr int IDS_RESTART_IF_NOT_GOOD = 145;
inline constexpr int IDS_CLICK_NEXT = 146;
inline constexpr int IDS_SETTINGS_CHANGED = 147;
inline constexpr int IDS_CONFIRM_RESULT = 148;
inline constexpr int IDS_PLATEN_HEIGHT_A = 150;
inline constexpr int IDS_YES = 156;
inline constexpr int IDS_NO = 157;
inline constexpr int IDS_SEE_EXAMPLE = 158;
inline constexpr int IDS_RETURN_TO_STEP1 = 159;
inline constexpr int IDS_FIND_SMOOTHEST = 169;
inline constexpr int IDS_GOOD_EXAMPLE = 202;
inline constexpr int IDS_BAD_EXAMPLE = 203;
inline constexpr int IDS_AUTO_ERASE_OFF = 305;

// Check pictures: good and bad prints of the patterns, and the printer's
// panel showing a pattern's title. Some have no drawing; their area stays
// empty.
inline constexpr int IDB_FIRING_STEP2_EVEN = 193;
inline constexpr int IDB_FIRING_STEP5_EVEN = 194;
inline constexpr int IDB_FIRING_STEP8_BROKEN = 195;
inline constexpr int IDB_PANEL_FIRING_WHITE = 203;
inline constexpr int IDB_FIRING_FILM_COLOR = 204;
inline constexpr int IDB_PANEL_FIRING_COLOR = 205;
inline constexpr int IDB_FIRING_FILM_WHITE = 206;
inline constexpr int IDB_ALIGNMENT_FILM = 207;
inline constexpr int IDB_PANEL_ALIGNMENT = 208;
inline constexpr int IDB_PLATEN_FILM = 268;
inline constexpr int IDB_PANEL_FEEDING = 269;
inline constexpr int IDB_FEEDING_FWD_PLUS4 = 270;
inline constexpr int IDB_FEEDING_RVS_MINUS5 = 271;
inline constexpr int IDB_FEEDING_FWD_PLUS3 = 272;
inline constexpr int IDB_FEEDING_RVS_MINUS3 = 273;
inline constexpr int IDB_FEEDING_FWD_ZERO = 274;
inline constexpr int IDB_FEEDING_RVS_PLUS1 = 276;
inline constexpr int IDB_PLATEN_FILM_LINE = 298;
inline constexpr int IDB_PANEL_LINE = 299;
inline constexpr int IDB_MATRIX_AT_1_MINUS2 = 302;
inline constexpr int IDB_MATRIX_AT_0_0 = 303;

}  // namespace kpm::ids
