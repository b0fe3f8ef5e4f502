#include "workflows/platen/impact_pages.h"

#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/platen/feed_value.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::workflows;
using namespace kpm::workflows::platen;

namespace {

// Texts both phases share.
constexpr int kPatternSent = 128;
constexpr int kSendAndWait = 137;
constexpr int kPatternPrinted = 139;
constexpr int kAfterPrinting = 141;
constexpr int kSettingsChanged = 147;
constexpr int kCancelNote = 260;
constexpr int kReprint = 272;
constexpr int kAutoErase = 305;

// The pictures the steps ask for. Only the feeding pattern's panel is
// drawn: where the film goes needs no picture, and the printer's panel font
// has no lower case for "16inchLine".
constexpr int kFilmPicture = 268;
constexpr int kFeedingPanelPicture = 269;
constexpr int kFilmLinePicture = 298;
constexpr int kLinePanelPicture = 299;
// Step 10 reprints the line, not the feeding pattern.
constexpr int kNoPicture = 0;

}  // namespace

void PictureStepPage::OnInitDialog() {
    StepPage::OnInitDialog();
    ShowPicture(pictureId_);
}

CImpact1Page::CImpact1Page()
    : PictureStepPage({kImpact1,
                       {{1157, 193},
                        {1158, kPatternSent},
                        {1159, 268},
                        {1160, kSendAndWait},
                        {1161, kCancelNote},
                        {1250, kAutoErase}},
                       {1157}},
                      kFilmPicture) {}

int CImpact1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const bool sent = PrepareAndSendPattern(
        sheet, [&] { return sheet.ResetPlatenRolling(); }, kFeedingPattern);
    return sent ? kImpact2 : -1;
}

int CImpact1Page::OnWizardBack() {
    return kPreCheck;
}

CImpact2Page::CImpact2Page()
    : PictureStepPage({kImpact2,
                       {{1157, 194}, {1162, kPatternPrinted}, {1163, 261}, {1164, kAfterPrinting}},
                       {1157}},
                      kFeedingPanelPicture) {}

int CImpact2Page::OnWizardNext() {
    TheSheet()->SetReturnPage(kImpact2);
    return kImpact3;
}

int CImpact2Page::OnWizardBack() {
    return kImpact1;
}

CImpact4Page::CImpact4Page()
    : PictureStepPage(
          {kImpact4,
           {{1173, 196}, {1174, kSettingsChanged}, {1175, kReprint}, {1176, kAfterPrinting}},
           {1173},
           ui::kWizNext},
          kFeedingPanelPicture) {}

int CImpact4Page::OnWizardNext() {
    TheSheet()->SetReturnPage(kImpact4);
    return kImpact5;
}

int CImpact4Page::OnWizardBack() {
    return -1;
}

CImpact6Page::CImpact6Page()
    : PictureStepPage({kImpact6,
                       {{1201, 276},
                        {1195, kPatternSent},
                        {1200, 299},
                        {1194, kSendAndWait},
                        {1196, kCancelNote},
                        {1251, kAutoErase}},
                       {1201},
                       ui::kWizNext},
                      kFilmLinePicture) {}

int CImpact6Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const int neutral = FeedByte(0);
    const bool sent = PrepareAndSendPattern(
        sheet, [&] { return sheet.WriteFeedAdjustment(neutral, neutral, neutral, neutral); },
        kSixteenInchLine);
    return sent ? kImpact7 : -1;
}

int CImpact6Page::OnWizardBack() {
    return -1;
}

CImpact7Page::CImpact7Page()
    : PictureStepPage({kImpact7,
                       {{1213, 277}, {1197, kPatternPrinted}, {1214, 293}, {1202, kAfterPrinting}},
                       {1213}},
                      kLinePanelPicture) {}

int CImpact7Page::OnWizardNext() {
    TheSheet()->SetReturnPage(kImpact7);
    return kImpact8;
}

int CImpact7Page::OnWizardBack() {
    return kImpact6;
}

CImpact9Page::CImpact9Page()
    : PictureStepPage(
          {kImpact9,
           {{1219, 279}, {1220, kSettingsChanged}, {1221, kReprint}, {1222, kAfterPrinting}},
           {1219}},
          kNoPicture) {}

int CImpact9Page::OnWizardNext() {
    return kImpact10;
}

int CImpact9Page::OnWizardBack() {
    return kImpact8;
}
