// A page of an adjustment procedure: its texts from the string table when
// the dialog is initialised, its step caption and other captions in the
// sheet's semi-bold font, the wizard buttons it offers on entry, and its
// picture area. Concrete pages state their tables and add their handlers.
#pragma once

#include <vector>

#include "ui/property_page.h"
#include "ui/property_sheet.h"

class CTovikSheet;

namespace kpm::workflows {

// A control and the id of the text it shows.
struct ControlText {
    int control;
    int text;
};

struct StepPageLayout {
    int templateId;
    // Set when the dialog is initialised.
    std::vector<ControlText> texts;
    // Controls in the sheet's semi-bold caption font.
    std::vector<int> captions;
    // Wizard buttons on every entry.
    int entryButtons = ui::kWizBack | ui::kWizNext;
};

class StepPage : public ui::PropertyPage {
    Q_OBJECT
public:
    explicit StepPage(StepPageLayout layout);

    bool OnSetActive() override;

protected:
    void OnInitDialog() override;

    CTovikSheet* TheSheet() const;
    const StepPageLayout& Layout() const { return layout_; }
    // Shows check picture `pictureId` in the picture area, or leaves the
    // area empty when there is no such picture.
    void ShowPicture(int pictureId);
    // Sets the return marker and activates the page of `templateId`
    // directly, without the Next or Back handlers of this page.
    void JumpTo(int templateId, int returnMarker);

private:
    StepPageLayout layout_;
};

}  // namespace kpm::workflows
