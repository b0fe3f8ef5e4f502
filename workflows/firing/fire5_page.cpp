#include "workflows/firing/fire5_page.h"

#include "app/texts.h"
#include "app/tovik_sheet.h"

CFire5Page::CFire5Page()
    : StepPage({133, {{1087, 196}, {1064, 147}, {1066, 141}}, {1087}, ui::kWizNext}) {}

bool CFire5Page::OnSetActive() {
    StepPage::OnSetActive();
    const bool white = TheSheet()->IsWhiteCombination();
    SetControlText(Item(1065), white ? 183 : 182);
    ShowPicture(white ? 203 : 205);
    return true;
}
