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

// The patterns themselves.
Drawing FiringPattern(const std::string& title, bool whiteHeads, const FiringLayout& layout = {});
Drawing AlignmentPattern(const std::string& title, const AlignmentLayout& layout = {});
Drawing FeedingPattern(const std::string& title, double stepInches);
Drawing SixteenInchLine(const std::string& title);

}  // namespace patterns
