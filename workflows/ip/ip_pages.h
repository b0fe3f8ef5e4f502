// The templates of the IP address pages, for the moves between them.
#pragma once

class CTovikSheet;

namespace kpm::workflows::ip {

inline constexpr int kMethodPage = 307;
inline constexpr int kAddressPage = 135;
inline constexpr int kHostNamePage = 308;
inline constexpr int kDonePage = 136;

// Back from the page of template `from` to the method page, which shows
// the mode read from the printer anew: the template to go to, or -1 to
// stay after a failed read (already shown).
int BackToMethodPage(CTovikSheet& sheet, int from);

}  // namespace kpm::workflows::ip
