// The check patterns of the maintenance procedures and the jobs that print
// them: which resource id holds which pattern, its panel title and its size.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "drawing.h"

namespace patterns {

struct PatternJob {
    int id;
    std::size_t size;   // bytes of the whole job
    std::string title;  // what the printer's panel shows while the job waits
    Drawing drawing;
};

// The seven jobs, in id order.
std::vector<PatternJob> AllPatternJobs();

// How a firing pattern is laid out, and how the printer's state shows in
// it. The jobs use the defaults; pictures of prints on screen use coarser
// combs so that a shift is visible at screen size.
struct FiringLayout {
    int lines = 12;       // lines of each comb
    double pitch = 0.08;  // between the lines of a comb
    double lineWidth = 0.012;
    double stepShift = 0.012;  // extra shift of the return comb per step
    int alignedStep = 5;       // the step whose two combs line up
    double aLineShift = 0.0;   // how far the A line's return halves land off
};

// How the alignment matrix is laid out, and which cell of it prints clean.
struct AlignmentLayout {
    double unit = 0.02;  // the colour's shift from one cell to the next
    int cleanX = 0;      // the cell whose colour covers its white exactly
    int cleanY = 0;
    double labelDot = 0.025;  // dot size of the X and Y numbers
};

// Where the feeding pattern puts its bands: numbers -kFeedingBands to
// +kFeedingBands from the top, the FWD bands on the left, RVS on the right.
inline constexpr int kFeedingBands = 10;
inline constexpr double kFeedingTop = 1.8;
inline constexpr double kFeedingPitch = 0.66;
inline constexpr double kFeedingFwdLeft = 1.4;
inline constexpr double kFeedingRvsLeft = 8.4;
inline constexpr double kFeedingWidth = 5.0;
constexpr double FeedingBandTop(int band) {
    return kFeedingTop + (band + kFeedingBands) * kFeedingPitch;
}

// How the feeding pattern's bands are drawn, and how the printer's feed
// shows in them. The jobs use an exact feed; pictures of prints on screen
// use steps coarse enough to see.
struct FeedingLayout {
    double stepInches = 0.01;  // feed correction from one band to the next
    double stripe = 0.22;      // height of each stripe
    double labelDot = 0.025;   // dot size of the band numbers
    int smoothFwd = 0;         // the band whose stripes meet, per section
    int smoothRvs = 0;
};

// The patterns themselves.
Drawing FiringPattern(const std::string& title, bool whiteHeads, const FiringLayout& layout = {});
Drawing AlignmentPattern(const std::string& title, const AlignmentLayout& layout = {});
Drawing FeedingPattern(const std::string& title, const FeedingLayout& layout = {});
Drawing SixteenInchLine(const std::string& title);

}  // namespace patterns
