// Texts from a printer (and names typed by a user) shown on a terminal: a
// host name or serial number may carry escape sequences that would retitle
// the window or clear the screen, so they are shown visibly instead.
#pragma once

#include <string>
#include <string_view>

namespace kpbidi_tool {

// `text` with every control character (C0, DEL, C1), every character that
// reorders the text around it (the bidirectional embeddings, overrides and
// isolates) and the backslash written as an escape: \x1b, \u009b, \u202e,
// \\. A byte that is not part of well-formed UTF-8 is written \xNN.
std::string Printable(std::string_view text);

}  // namespace kpbidi_tool
