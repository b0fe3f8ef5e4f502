// Texts and message boxes in the language of the application object.
#pragma once

#include <QString>

class QWidget;

// 0 and the text of `id`, or -100 when the current language has none.
int LoadText(int id, QString& text);

// Sets the control's text to text `id`: 0; -100 when there is no text (the
// control keeps its own); -101 when there is no control.
int SetControlText(QWidget* control, int id);

// The error box: text `id`, with " (code)" appended when `code` is not 0;
// caption the application's title, exclamation icon, OK. Nothing is shown
// when the text is missing. Returns the LoadText result.
int ShowMessage(int id, int code);

// The information box: text `id`, caption "KPMRuze Diziririrod", no icon,
// OK, owned by `owner` (or no window). Returns the LoadText result.
int ShowInformation(int id, QWidget* owner);

// The stop box: text `id` with the stop icon and OK, caption the
// application's title, owned by `owner`. Returns the LoadText result.
int ShowStopMessage(int id, QWidget* owner);

// The text id that ShowErrorMessage shows for a code (0 for code 0, which
// shows nothing).
int ErrorMessageTextId(int code);

// The information box's fixed caption.
inline const char* const kInformationCaption = "KPMRuze Diziririrod";
