// The templates and check patterns of the platen-rolling chain.
#pragma once

namespace kpm::workflows::platen {

enum Template : int {
    kPreCheck = 252,
    kImpact1 = 230,
    kImpact2 = 231,
    kImpact3 = 233,
    kImpact4 = 234,
    kImpact5 = 237,
    kImpact6 = 280,
    kImpact7 = 281,
    kImpact8 = 276,
    kImpact9 = 282,
    kImpact10 = 283,
    kExam1 = 235,
    kExam2 = 236,
};

inline constexpr int kFeedingPattern = 267;
inline constexpr int kSixteenInchLine = 287;

}  // namespace kpm::workflows::platen
