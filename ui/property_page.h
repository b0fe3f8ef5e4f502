// One page of a wizard sheet, built from its dialog template the first time
// it is shown. Pages override the handlers they need:
//   OnInitDialog   once, after the template's controls exist;
//   OnSetActive    every time the page becomes the active one;
//   OnWizardNext / OnWizardBack: 0 moves to the next or previous page in the
//                  sheet's order, -1 stays, a template id moves to the page
//                  built from that template.
#pragma once

#include <QWidget>

#include "ui/dialog_items.h"
#include "ui/window_timers.h"

namespace ui {

class PropertySheet;

class PropertyPage : public QWidget, public DialogItems {
    Q_OBJECT
public:
    explicit PropertyPage(int templateId, QWidget* parent = nullptr);

    int TemplateId() const { return templateId_; }
    PropertySheet* Sheet() const { return sheet_; }
    bool IsCreated() const { return created_; }

    // Builds the controls from the template and runs OnInitDialog, once.
    void Create();

    virtual bool OnSetActive() { return true; }
    virtual bool OnKillActive() { return true; }
    virtual int OnWizardNext() { return 0; }
    virtual int OnWizardBack() { return 0; }
    virtual bool OnWizardFinish() { return true; }
    // Cancel pressed on this page; false keeps the sheet open.
    virtual bool OnQueryCancel() { return true; }

    // A page whose controls take Enter for themselves (moving between
    // boxes, say) calls this: while it is active, Enter does not press the
    // sheet's Next or Finish and neither shows as the default button.
    void SetConsumesEnter(bool consumes = true);
    bool ConsumesEnter() const { return consumesEnter_; }

    // Window timers of the page (see WindowTimers).
    void SetTimer(int id, int periodMs) { timers_.Set(id, periodMs); }
    void KillTimer(int id) { timers_.Kill(id); }

protected:
    virtual void OnInitDialog() {}
    virtual void OnTimer(int /*id*/) {}

private:
    friend class PropertySheet;
    int templateId_;
    PropertySheet* sheet_ = nullptr;
    bool created_ = false;
    bool consumesEnter_ = false;
    WindowTimers timers_;
};

}  // namespace ui
