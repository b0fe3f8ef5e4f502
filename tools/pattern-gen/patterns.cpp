#include "patterns.h"

#include <string>

namespace patterns {
namespace {

constexpr double kTitleDot = 0.035;
constexpr double kLabelDot = 0.025;

void Title(Drawing& d, const std::string& title) {
    d.Text(0.5, 0.4, kTitleDot, title, Ink::Black);
    d.Text(0.5, 0.75, kLabelDot, "PLATEN 14X16", Ink::Black);
}

std::string Signed(int v) {
    return (v > 0 ? "+" : "") + std::to_string(v);
}

}  // namespace

// Firing steps 1 to 9 for each head: the head prints a comb of lines on
// its forward pass (upper half of a cell) and again on its return pass
// (lower half) with the firing timing of the step; the step whose two
// combs line up is the one to choose. The A line beside the steps is
// printed in the same halves with the printer's own timing: it is one
// straight line only when the platen is at the height the timing expects.
Drawing FiringPattern(const std::string& title, bool whiteHeads, const FiringLayout& layout) {
    Drawing d;
    Title(d, title);
    struct Head {
        const char* label;
        Ink ink;
    };
    const std::vector<Head> heads =
        whiteHeads
            ? std::vector<Head>{{"W1", Ink::White}, {"W2", Ink::White}}
            : std::vector<Head>{
                  {"C", Ink::Cyan}, {"M", Ink::Magenta}, {"Y", Ink::Yellow}, {"K", Ink::Black}};
    const double left = 1.6;
    const double cellWidth = 1.25;
    const double cellHeight = 1.6;
    const double aLine = left + 9 * cellWidth + 0.45;
    double top = 1.6;
    for (int step = 1; step <= 9; ++step) {
        const std::string n = std::to_string(step);
        const double x = left + (step - 1) * cellWidth;
        d.Text(x + 0.45, top - 0.35, kLabelDot * 1.4, n, Ink::Black);
    }
    d.Text(aLine - 0.05, top - 0.35, kLabelDot * 1.4, "A", Ink::Black);
    for (const Head& head : heads) {
        d.Text(0.5, top + cellHeight / 2 - 0.1, kLabelDot * 1.4, head.label, Ink::Black);
        for (int step = 1; step <= 9; ++step) {
            const double x = left + (step - 1) * cellWidth;
            const double shift = (step - layout.alignedStep) * layout.stepShift;
            for (int line = 0; line < layout.lines; ++line) {
                const double lx = x + 0.05 + line * layout.pitch;
                d.Fill(lx, top, layout.lineWidth, cellHeight / 2, head.ink);
                d.Fill(lx + shift, top + cellHeight / 2, layout.lineWidth, cellHeight / 2,
                       head.ink);
            }
        }
        d.Fill(aLine, top, layout.lineWidth, cellHeight / 2, head.ink);
        d.Fill(aLine + layout.aLineShift, top + cellHeight / 2, layout.lineWidth, cellHeight / 2,
               head.ink);
        top += cellHeight + 0.6;
    }
    return d;
}

// The 13 x 13 alignment matrix: in each cell a white square with a colour
// square of the same size printed over it, the colour shifted by the
// cell's X and Y offsets. Where the shift cancels the printer's own
// misalignment the colour covers its white exactly; every other cell shows
// white lines along two edges. That clean cell is the reading.
Drawing AlignmentPattern(const std::string& title, const AlignmentLayout& layout) {
    Drawing d;
    Title(d, title);
    const double left = 1.5;
    const double top = 2.0;
    const double cell = 0.85;
    const double white = 0.6;
    for (int i = 0; i < 13; ++i) {
        const std::string label = Signed(i - 6);
        const double dot = layout.labelDot;
        d.Text(left + i * cell + (cell - Drawing::TextWidth(label, dot)) / 2, top - 0.15 - 7 * dot,
               dot, label, Ink::Black);
        d.Text(left - 0.2 - Drawing::TextWidth(label, dot), top + i * cell + (cell - 7 * dot) / 2,
               dot, label, Ink::Black);
    }
    // The axis letters close their rows of numbers: X after the last
    // column's, Y below the last row's.
    const double letterDot = layout.labelDot * 1.4;
    d.Text(left + 13 * cell + 0.1, top - 0.15 - 7 * letterDot, letterDot, "X", Ink::Black);
    d.Text(left - 0.2 - Drawing::TextWidth("Y", letterDot), top + 13 * cell + 0.1, letterDot, "Y",
           Ink::Black);
    for (int row = 0; row < 13; ++row) {
        for (int col = 0; col < 13; ++col) {
            const double x = left + col * cell + (cell - white) / 2;
            const double y = top + row * cell + (cell - white) / 2;
            d.Fill(x, y, white, white, Ink::White);
            const double cx = x + (col - 6 - layout.cleanX) * layout.unit;
            const double cy = y + (row - 6 - layout.cleanY) * layout.unit;
            d.Fill(cx, cy, white, white, Ink::Black);
        }
    }
    return d;
}

// Banding bands for the platen's forward (FWD) and reverse (RVS) feed: each
// band is two solid stripes printed on consecutive feeds with the feed
// corrected by the band's value; the band with neither a gap nor a dark
// overlap between its stripes is the reading.
Drawing FeedingPattern(const std::string& title, double stepInches) {
    Drawing d;
    Title(d, title);
    struct Section {
        const char* label;
        Ink ink;
        double top;
    };
    const Section sections[] = {{"FWD", Ink::Black, 1.6}, {"RVS", Ink::Cyan, 8.6}};
    const double left = 2.0;
    const double width = 10.5;
    const double stripe = 0.22;
    const double bandPitch = 0.62;
    for (const Section& s : sections) {
        d.Text(0.5, s.top, kTitleDot, s.label, Ink::Black);
        for (int band = 0; band < 11; ++band) {
            const int value = band - 5;
            const double y = s.top + band * bandPitch;
            const std::string label = Signed(value);
            d.Text(left - 0.2 - Drawing::TextWidth(label, kLabelDot), y + stripe - 0.09, kLabelDot,
                   label, Ink::Black);
            d.Fill(left, y, width, stripe, s.ink);
            d.Fill(left, y + stripe + value * stepInches, width, stripe, s.ink);
        }
    }
    return d;
}

// One line down the whole 16 inches of the platen, with a tick and its
// number every inch and bars at both ends; the technician measures the
// printed line against a rule to correct the feed length.
Drawing SixteenInchLine(const std::string& title) {
    Drawing d;
    d.Text(0.5, 0.4, kTitleDot, title, Ink::Black);
    const double x = 7.0;
    const double width = 0.02;
    d.Fill(x - width / 2, 0.0, width, kPlatenHeight, Ink::Black);
    d.Fill(x - 1.0, 0.0, 2.0, width, Ink::Black);
    d.Fill(x - 1.0, kPlatenHeight - width, 2.0, width, Ink::Black);
    for (int inch = 1; inch < 16; ++inch) {
        const double y = inch;
        d.Fill(x, y - width / 2, 0.3, width, Ink::Black);
        d.Text(x + 0.4, y - 3.5 * kLabelDot, kLabelDot, std::to_string(inch), Ink::Black);
    }
    return d;
}

std::vector<PatternJob> AllPatternJobs() {
    std::vector<PatternJob> jobs;
    jobs.push_back({210, 473088, "FIRING CHK COLOR", {}});
    jobs.back().drawing = FiringPattern(jobs.back().title, false);
    jobs.push_back({211, 147456, "FIRING CHK COLOR", {}});
    jobs.back().drawing = FiringPattern(jobs.back().title, false);
    jobs.push_back({212, 477184, "FIRING CHK WHITE", {}});
    jobs.back().drawing = FiringPattern(jobs.back().title, true);
    jobs.push_back({214, 3305472, "ALIGN CHK", {}});
    jobs.back().drawing = AlignmentPattern(jobs.back().title);
    jobs.push_back({267, 423936, "FEEDING PATTERN(1)", {}});
    jobs.back().drawing = FeedingPattern(jobs.back().title, 0.01);
    jobs.push_back({287, 2129920, "16inchLine", {}});
    jobs.back().drawing = SixteenInchLine(jobs.back().title);
    jobs.push_back({300, 808960, "FEEDING PATTERN(2)", {}});
    jobs.back().drawing = FeedingPattern(jobs.back().title, 0.004);
    return jobs;
}

}  // namespace patterns
