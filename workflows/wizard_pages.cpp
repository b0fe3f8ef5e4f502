#include "workflows/wizard_pages.h"

#include "app/tovik_sheet.h"

#include "workflows/alignment/pos2_page.h"
#include "workflows/alignment/pos3_page.h"
#include "workflows/alignment/pos4_page.h"
#include "workflows/alignment/pos5_page.h"
#include "workflows/alignment/pos6_page.h"
#include "workflows/alignment/pos_exam1_dlg.h"
#include "workflows/alignment/pos_exam2_dlg.h"
#include "workflows/firing/fire1_page.h"
#include "workflows/firing/fire2_page.h"
#include "workflows/firing/fire3_page.h"
#include "workflows/firing/fire4_page.h"
#include "workflows/firing/fire5_page.h"
#include "workflows/firing/fire6_page.h"
#include "workflows/firing/fire_exam1_dlg.h"
#include "workflows/firing/fire_exam2_dlg.h"

namespace kpm::workflows {

ui::PropertyPage* CreatePage(int templateId) {
    switch (templateId) {
        // Firing adjustment.
        case 129:
            return new CFire1Page;
        case 130:
            return new CFire2Page;
        case 131:
            return new CFire3Page;
        case 132:
            return new CFire4Page;
        case 133:
            return new CFire5Page;
        case 134:
            return new CFire6Page;
        // White/colour alignment (137 is a page that no navigation reaches).
        case 138:
            return new CPos2Page;
        case 139:
            return new CPos3Page;
        case 140:
            return new CPos4Page;
        case 141:
            return new CPos5Page;
        case 142:
            return new CPos6Page;
        default:
            return nullptr;
    }
}

ui::Dialog* CreateExampleDialog(int templateId, CTovikSheet* sheet) {
    switch (templateId) {
        case 196:
            return new CFireExam1Dlg(sheet);
        case 197:
            return new CFireExam2Dlg(sheet);
        case 304:
            return new CPosExam1Dlg(sheet);
        case 306:
            return new CPosExam2Dlg(sheet);
        default:
            return nullptr;
    }
}

}  // namespace kpm::workflows
