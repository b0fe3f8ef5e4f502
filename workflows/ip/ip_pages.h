// The moves between the IP address pages.
#pragma once

class CTovikSheet;

namespace kpm::workflows::ip {

// Back from the page of template `from` to the method page, which shows
// the mode read from the printer anew: the template to go to, or -1 to
// stay after a failed read (already shown).
int BackToMethodPage(CTovikSheet& sheet, int from);

}  // namespace kpm::workflows::ip
