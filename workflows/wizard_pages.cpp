#include "workflows/wizard_pages.h"

#include "app/tovik_sheet.h"

#include "workflows/alignment/alignment_ids.h"
#include "workflows/alignment/pos2_page.h"
#include "workflows/alignment/pos3_page.h"
#include "workflows/alignment/pos4_page.h"
#include "workflows/alignment/pos5_page.h"
#include "workflows/alignment/pos6_page.h"
#include "workflows/alignment/pos_exam1_dlg.h"
#include "workflows/alignment/pos_exam2_dlg.h"
#include "workflows/circulation/circulation_schedule1_page.h"
#include "workflows/circulation/circulation_schedule2_page.h"
#include "workflows/clock/local_time_setting1_page.h"
#include "workflows/firing/fire1_page.h"
#include "workflows/firing/fire2_page.h"
#include "workflows/firing/fire3_page.h"
#include "workflows/firing/fire4_page.h"
#include "workflows/firing/fire5_page.h"
#include "workflows/firing/fire6_page.h"
#include "workflows/firing/fire_exam1_dlg.h"
#include "workflows/firing/fire_exam2_dlg.h"
#include "workflows/head/vrating1_page.h"
#include "workflows/head/vrating2_page.h"
#include "workflows/ip/ip1_page.h"
#include "workflows/ip/ip2_page.h"
#include "workflows/ip/ip3_page.h"
#include "workflows/ip/ip4_page.h"
#include "workflows/log/log1_page.h"
#include "workflows/log/log2_page.h"
#include "workflows/platen/impact_confirmation_pages.h"
#include "workflows/platen/impact_exam_dialogs.h"
#include "workflows/platen/impact_pages.h"
#include "workflows/platen/impact_precheck_page.h"
#include "workflows/platen/impact_selector_pages.h"
#include "workflows/platen/platen_ids.h"

using namespace kpm::ids;

namespace kpm::workflows {

namespace {

template <typename Page>
ui::PropertyPage* Make() {
    return new Page;
}

// Every page after the main page, in the order that fixes their indices.
// The three pages no navigation reaches keep their places as templates
// alone.
constexpr PageEntry kWizardPages[] = {
    // Firing adjustment.
    {IDD_FIRE1, &Make<CFire1Page>},
    {IDD_FIRE2, &Make<CFire2Page>},
    {IDD_FIRE3, &Make<CFire3Page>},
    {IDD_FIRE4, &Make<CFire4Page>},
    {IDD_FIRE5, &Make<CFire5Page>},
    {IDD_FIRE6, &Make<CFire6Page>},
    // White/colour alignment.
    {IDD_POS1},
    {IDD_POS2, &Make<CPos2Page>},
    {IDD_POS3, &Make<CPos3Page>},
    {IDD_POS4, &Make<CPos4Page>},
    {IDD_POS5, &Make<CPos5Page>},
    {IDD_POS6, &Make<CPos6Page>},
    // IP address.
    {IDD_IP1, &Make<CIp1Page>},
    {IDD_IP2, &Make<CIp2Page>},
    {IDD_IP3, &Make<CIp3Page>},
    {IDD_IP4, &Make<CIp4Page>},
    // Log retrieval.
    {IDD_LOG1, &Make<CLog1Page>},
    {IDD_LOG2, &Make<CLog2Page>},
    // Head replacement.
    {IDD_VRATING1, &Make<CVRating1Page>},
    {IDD_VRATING2, &Make<CVRating2Page>},
    {IDD_NEW_VRATING1},
    // Platen-rolling adjustment, both phases.
    {IDD_IMPACT1, &Make<CImpact1Page>},
    {IDD_IMPACT2, &Make<CImpact2Page>},
    {IDD_IMPACT3, &Make<CImpact3Page>},
    {IDD_IMPACT4, &Make<CImpact4Page>},
    {IDD_IMPACT5, &Make<CImpact5Page>},
    {IDD_IMPACT6, &Make<CImpact6Page>},
    {IDD_IMPACT7, &Make<CImpact7Page>},
    {IDD_IMPACT8, &Make<CImpact8Page>},
    {IDD_IMPACT9, &Make<CImpact9Page>},
    {IDD_IMPACT10, &Make<CImpact10Page>},
    {IDD_IMPACT11},
    {IDD_IMPACT_PRECHECK, &Make<CImpactPreCheckPage>},
    // Nozzle-check clock, white-ink circulation schedule.
    {IDD_LOCAL_TIME_SETTING1, &Make<CLocalTimeSetting1Page>},
    {IDD_CIRCULATION_SCHEDULE1, &Make<CCirculationSchedule1Page>},
    {IDD_CIRCULATION_SCHEDULE2, &Make<CCirculationSchedule2Page>},
};

constexpr ExampleEntry kExamples[] = {
    {IDD_FIRE_EXAM1, [](CTovikSheet* sheet) -> ui::Dialog* { return new CFireExam1Dlg(sheet); }},
    {IDD_FIRE_EXAM2, [](CTovikSheet* sheet) -> ui::Dialog* { return new CFireExam2Dlg(sheet); }},
    {IDD_POS_EXAM1, [](CTovikSheet* sheet) -> ui::Dialog* { return new CPosExam1Dlg(sheet); }},
    {IDD_POS_EXAM2, [](CTovikSheet* sheet) -> ui::Dialog* { return new CPosExam2Dlg(sheet); }},
    {IDD_IMPACT_EXAM1,
     [](CTovikSheet* sheet) -> ui::Dialog* { return new CImpactExam1Dlg(sheet); }},
    {IDD_IMPACT_EXAM2,
     [](CTovikSheet* sheet) -> ui::Dialog* { return new CImpactExam2Dlg(sheet, sheet); }},
};

}  // namespace

PageTable WizardPages() {
    return kWizardPages;
}

std::span<const ExampleEntry> ExampleDialogs() {
    return kExamples;
}

}  // namespace kpm::workflows
