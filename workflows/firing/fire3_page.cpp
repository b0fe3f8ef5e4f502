#include "workflows/firing/fire3_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"

CFire3Page::CFire3Page() : StepPage({131, {{1085, 194}, {1061, 139}, {1064, 141}}, {1085}}) {}

bool CFire3Page::OnSetActive() {
    StepPage::OnSetActive();
    const bool white = TheSheet()->IsWhiteCombination();
    SetControlText(Item(1062), white ? 142 : 140);
    ShowPicture(white ? 203 : 205);
    return true;
}
