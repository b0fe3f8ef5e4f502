// What the two phases write for the user's readings.
#pragma once

namespace kpm::workflows::platen {

// The banding phase writes the negative of the band the user found
// smoothest: the printer corrects the feed by what the band was off.
constexpr int PlatenRollingValue(int band) {
    return -band;
}

// The length phase's byte for a reading of -14 to +14 steps of 0.01 inch:
// the reading less 13, as a byte. The neutral reading 0 is 243, the value
// the phase starts from; +14 gives 1 and -14 gives 229.
constexpr int FeedByte(int steps) {
    return (steps - 13) & 0xFF;
}

}  // namespace kpm::workflows::platen
