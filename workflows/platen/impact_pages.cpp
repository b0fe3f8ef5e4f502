#include "workflows/platen/impact_pages.h"

#include "app/tovik_sheet.h"
#include "workflows/platen/feed_value.h"
#include "workflows/platen/send_pattern.h"

using namespace kpm::workflows::platen;

namespace {

constexpr int kBackNext = ui::kWizBack | ui::kWizNext;
constexpr int kNoBack = -1;

// Texts both phases share.
constexpr int kPatternSent = 128;
constexpr int kSendAndWait = 137;
constexpr int kPatternPrinted = 139;
constexpr int kAfterPrinting = 141;
constexpr int kSettingsChanged = 147;
constexpr int kCancelNote = 260;
constexpr int kReprint = 272;
constexpr int kAutoErase = 305;

}  // namespace

CImpact1Page::CImpact1Page()
    : StepPage(kImpact1, {.caption = 1157,
                          .texts = {{1157, 193},
                                    {1158, kPatternSent},
                                    {1159, 268},
                                    {1160, kSendAndWait},
                                    {1161, kCancelNote},
                                    {1250, kAutoErase}},
                          .buttons = kBackNext,
                          .next = kImpact2,
                          .back = kPreCheck}) {}

int CImpact1Page::OnWizardNext() {
    if (!PrepareAndSendPattern(
            *TheSheet(), [](CTovikSheet& sheet) { return sheet.ResetPlatenRolling(); },
            kFeedingPattern)) {
        return -1;
    }
    return StepPage::OnWizardNext();
}

CImpact2Page::CImpact2Page()
    : StepPage(
          kImpact2,
          {.caption = 1157,
           .texts = {{1157, 194}, {1162, kPatternPrinted}, {1163, 261}, {1164, kAfterPrinting}},
           .buttons = kBackNext,
           .next = kImpact3,
           .back = kImpact1,
           .marker = kImpact2}) {}

CImpact4Page::CImpact4Page()
    : StepPage(kImpact4, {.caption = 1173,
                          .texts = {{1173, 196},
                                    {1174, kSettingsChanged},
                                    {1175, kReprint},
                                    {1176, kAfterPrinting}},
                          .buttons = ui::kWizNext,
                          .next = kImpact5,
                          .back = kNoBack,
                          .marker = kImpact4}) {}

CImpact6Page::CImpact6Page()
    : StepPage(kImpact6, {.caption = 1201,
                          .texts = {{1201, 276},
                                    {1195, kPatternSent},
                                    {1200, 299},
                                    {1194, kSendAndWait},
                                    {1196, kCancelNote},
                                    {1251, kAutoErase}},
                          .buttons = ui::kWizNext,
                          .next = kImpact7,
                          .back = kNoBack}) {}

int CImpact6Page::OnWizardNext() {
    if (!PrepareAndSendPattern(
            *TheSheet(),
            [](CTovikSheet& sheet) {
                const int neutral = FeedByte(0);
                return sheet.WriteFeedAdjustment(neutral, neutral, neutral, neutral);
            },
            kSixteenInchLine)) {
        return -1;
    }
    return StepPage::OnWizardNext();
}

CImpact7Page::CImpact7Page()
    : StepPage(
          kImpact7,
          {.caption = 1213,
           .texts = {{1213, 277}, {1197, kPatternPrinted}, {1214, 293}, {1202, kAfterPrinting}},
           .buttons = kBackNext,
           .next = kImpact8,
           .back = kImpact6,
           .marker = kImpact7}) {}

CImpact9Page::CImpact9Page()
    : StepPage(kImpact9, {.caption = 1219,
                          .texts = {{1219, 279},
                                    {1220, kSettingsChanged},
                                    {1221, kReprint},
                                    {1222, kAfterPrinting}},
                          .buttons = kBackNext,
                          .next = kImpact10,
                          .back = kImpact8}) {}
