// The templates of the IP address pages, for the moves between them.
#pragma once

namespace kpm::workflows::ip {

inline constexpr int kMethodPage = 307;
inline constexpr int kAddressPage = 135;
inline constexpr int kHostNamePage = 308;
inline constexpr int kDonePage = 136;

}  // namespace kpm::workflows::ip
