#include "workflows/platen/impact_pages.h"

#include "app/tovik_sheet.h"
#include "workflows/common/reported_operation.h"
#include "workflows/platen/feed_value.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::ids;
using namespace kpm::workflows;
using namespace kpm::workflows::platen;

// Of the pictures the steps ask for, only the feeding pattern's panel is
// drawn: where the film goes needs no picture, and the printer's panel font
// has no lower case for "16inchLine". Step 10 reprints the line, not the
// feeding pattern, and asks for none (0).

void PictureStepPage::OnInitDialog() {
    StepPage::OnInitDialog();
    ShowPicture(pictureId_);
}

CImpact1Page::CImpact1Page()
    : PictureStepPage({IDD_IMPACT1,
                       {{IDC_IMPACT1_CAPTION, IDS_STEP2},
                        {IDC_IMPACT1_TITLE, IDS_PATTERN_WILL_BE_SENT},
                        {IDC_IMPACT1_SEND_FILM, IDS_IMPACT_SEND_FILM},
                        {IDC_IMPACT1_CLICK_NEXT, IDS_CLICK_NEXT_AND_WAIT},
                        {IDC_IMPACT1_NOTE, IDS_IMPACT_CANCEL_NOTE},
                        {IDC_IMPACT1_AUTO_ERASE, IDS_AUTO_ERASE_OFF}},
                       {IDC_IMPACT1_CAPTION}},
                      IDB_PLATEN_FILM) {}

int CImpact1Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const bool sent = PrepareAndSendPattern(
        sheet, [&] { return sheet.ResetPlatenRolling(); }, IDR_FEEDING_PATTERN);
    return sent ? IDD_IMPACT2 : -1;
}

int CImpact1Page::OnWizardBack() {
    return IDD_IMPACT_PRECHECK;
}

CImpact2Page::CImpact2Page()
    : PictureStepPage({IDD_IMPACT2,
                       {{IDC_IMPACT2_CAPTION, IDS_STEP3},
                        {IDC_IMPACT2_TITLE, IDS_PATTERN_WILL_BE_PRINTED},
                        {IDC_IMPACT2_PANEL, IDS_IMPACT_PANEL_FEEDING},
                        {IDC_IMPACT2_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                       {IDC_IMPACT2_CAPTION}},
                      IDB_PANEL_FEEDING) {}

int CImpact2Page::OnWizardNext() {
    TheSheet()->SetReturnPage(IDD_IMPACT2);
    return IDD_IMPACT3;
}

int CImpact2Page::OnWizardBack() {
    return IDD_IMPACT1;
}

CImpact4Page::CImpact4Page()
    : PictureStepPage({IDD_IMPACT4,
                       {{IDC_IMPACT4_CAPTION, IDS_STEP5},
                        {IDC_IMPACT4_TITLE, IDS_SETTINGS_CHANGED},
                        {IDC_IMPACT4_REPRINT, IDS_IMPACT_REPRINT},
                        {IDC_IMPACT4_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                       {IDC_IMPACT4_CAPTION},
                       ui::kWizNext},
                      IDB_PANEL_FEEDING) {}

int CImpact4Page::OnWizardNext() {
    TheSheet()->SetReturnPage(IDD_IMPACT4);
    return IDD_IMPACT5;
}

int CImpact4Page::OnWizardBack() {
    return -1;
}

CImpact6Page::CImpact6Page()
    : PictureStepPage({IDD_IMPACT6,
                       {{IDC_IMPACT6_CAPTION, IDS_STEP7},
                        {IDC_IMPACT6_TITLE, IDS_PATTERN_WILL_BE_SENT},
                        {IDC_IMPACT6_SEND_FILM, IDS_IMPACT_SEND_FILM_LINE},
                        {IDC_IMPACT6_CLICK_NEXT, IDS_CLICK_NEXT_AND_WAIT},
                        {IDC_IMPACT6_NOTE, IDS_IMPACT_CANCEL_NOTE},
                        {IDC_IMPACT6_AUTO_ERASE, IDS_AUTO_ERASE_OFF}},
                       {IDC_IMPACT6_CAPTION},
                       ui::kWizNext},
                      IDB_PLATEN_FILM_LINE) {}

int CImpact6Page::OnWizardNext() {
    CTovikSheet& sheet = *TheSheet();
    const int neutral = FeedByte(0);
    const bool sent = PrepareAndSendPattern(
        sheet, [&] { return sheet.WriteFeedAdjustment(neutral, neutral, neutral, neutral); },
        IDR_SIXTEEN_INCH_LINE);
    return sent ? IDD_IMPACT7 : -1;
}

int CImpact6Page::OnWizardBack() {
    return -1;
}

CImpact7Page::CImpact7Page()
    : PictureStepPage({IDD_IMPACT7,
                       {{IDC_IMPACT7_CAPTION, IDS_STEP8},
                        {IDC_IMPACT7_TITLE, IDS_PATTERN_WILL_BE_PRINTED},
                        {IDC_IMPACT7_PANEL, IDS_IMPACT_PANEL_LINE},
                        {IDC_IMPACT7_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                       {IDC_IMPACT7_CAPTION}},
                      IDB_PANEL_LINE) {}

int CImpact7Page::OnWizardNext() {
    TheSheet()->SetReturnPage(IDD_IMPACT7);
    return IDD_IMPACT8;
}

int CImpact7Page::OnWizardBack() {
    return IDD_IMPACT6;
}

CImpact9Page::CImpact9Page()
    : PictureStepPage({IDD_IMPACT9,
                       {{IDC_IMPACT9_CAPTION, IDS_STEP10},
                        {IDC_IMPACT9_TITLE, IDS_SETTINGS_CHANGED},
                        {IDC_IMPACT9_REPRINT, IDS_IMPACT_REPRINT},
                        {IDC_IMPACT9_AFTER_PRINTING, IDS_AFTER_PRINTING}},
                       {IDC_IMPACT9_CAPTION}},
                      0) {}

int CImpact9Page::OnWizardNext() {
    return IDD_IMPACT10;
}

int CImpact9Page::OnWizardBack() {
    return IDD_IMPACT8;
}
