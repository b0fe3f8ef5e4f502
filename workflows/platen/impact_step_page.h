// The pages of the platen-rolling chain that show their texts and hand on:
// each says only its texts, its buttons and where Next and Back lead.
#pragma once

#include <utility>
#include <vector>

#include "ui/property_page.h"

class CTovikSheet;

namespace kpm::workflows::platen {

// Template ids of the chain.
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

// Check-pattern jobs of the two phases.
inline constexpr int kFeedingPattern = 267;
inline constexpr int kSixteenInchLine = 287;

// Control and string id pairs.
using TextList = std::vector<std::pair<int, int>>;

struct Step {
    int caption = 0;  // the step caption's control (bold)
    TextList texts;   // caption first
    int buttons = 0;  // wizard buttons on activation
    int next = 0;     // template of Next
    int back = 0;     // template of Back
    int marker = 0;   // return marker set by Next, 0 for none
};

// Sets each control's text from the string table.
void SetTexts(ui::DialogItems& items, const TextList& texts);

class StepPage : public ui::PropertyPage {
    Q_OBJECT
public:
    StepPage(int templateId, Step step);

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;

protected:
    CTovikSheet* TheSheet() const;
    void OnInitDialog() override;

private:
    Step step_;
};

}  // namespace kpm::workflows::platen
