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

// The patterns themselves.
Drawing FiringPattern(const std::string& title, bool whiteHeads);
Drawing AlignmentPattern(const std::string& title);
Drawing FeedingPattern(const std::string& title, double stepInches);
Drawing SixteenInchLine(const std::string& title);

}  // namespace patterns
