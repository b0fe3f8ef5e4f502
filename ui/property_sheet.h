// A property sheet in wizard mode: a page area and the Back, Next, Finish and
// Cancel buttons, with a small menu standing in for the window's system menu.
// The sheet owns its pages (Qt parent) and activates one at a time.
//
// Keyboard: Enter presses Next (Finish where it is shown) from anywhere on
// a page and does nothing while that button is disabled; only a focused
// push button of the page or Back takes Enter for itself, Cancel never. An
// activated page gives the focus to its first input control, and the focus
// never falls onto Cancel by itself when a button it was on goes away.
#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "ui/window_timers.h"

class QMenu;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace ui {

class FirstFocus;
class MessageService;
class PropertyPage;

// Flags of the set-wizard-buttons request.
enum WizardButtonFlags : int {
    kWizBack = 1,
    kWizNext = 2,
    kWizFinish = 4,
    kWizDisabledFinish = 8,
};

enum class WizardButton { Back, Next, Finish, Cancel };

class PropertySheet : public QDialog {
    Q_OBJECT
public:
    PropertySheet(const QString& caption, MessageService& messages, QWidget* parent = nullptr,
                  int startPage = 0);
    ~PropertySheet() override;

    MessageService& Messages() const { return messages_; }

    // Pages, in the order that fixes their indices.
    void AddPage(PropertyPage* page);
    // Deletes every page now rather than with the window. A sheet whose
    // pages use its own members calls this from its destructor, since those
    // members are gone before the window deletes its children.
    void DeletePages();
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    PropertyPage* GetPage(int index) const;
    int GetPageIndex(const PropertyPage* page) const;
    // The index of the page built from that template, or -1.
    int GetPageIndexByTemplate(int templateId) const;
    int GetActiveIndex() const { return active_; }
    PropertyPage* GetActivePage() const { return GetPage(active_); }

    // Activates the page by index (deactivating the current one first),
    // without running any Next or Back handler. False when the index is
    // invalid or a page refused.
    bool SetActivePage(int index);

    // The set-wizard-buttons request, at once or posted behind the requests
    // already queued.
    void SetWizardButtons(int flags);
    void PostSetWizardButtons(int flags);
    int WizardButtons() const { return buttonFlags_; }
    // Runs `request` later on the user-interface thread, after every request
    // posted before it.
    void Post(std::function<void()> request);

    void SetButtonTexts(const QString& back, const QString& next, const QString& finish);
    // Next, or Finish where it is shown, is the default button unless the
    // active page takes Enter itself; pages need not call this.
    void UpdateDefaultButton();
    // Gives the active page's first input control the focus (activation
    // does this).
    void FocusActivePage();

    void SetCancelText(const QString& text);
    void EnableCancel(bool enable);
    QPushButton* Button(WizardButton which) const;

    // While the sheet waits on work that the user must not interrupt (a
    // printer operation), the buttons, Escape and the window's close button
    // do nothing, and neither do the page's buttons (DialogItems::OnClicked),
    // the accessibility actions of check boxes, radio buttons and the system
    // menu's button, and the system menu's commands: none of them may start
    // anything, least of all a modal window, inside the wait. The busy
    // indicator beside the buttons tells the user why.
    void SetBusy(bool busy);
    bool IsBusy() const { return busy_; }
    // Whether `widget` lies in the window of a sheet that is busy.
    static bool IsInBusySheet(const QWidget* widget);
    void ShowBusyIndicator(bool show);
    QProgressBar* BusyIndicator() const { return busyIndicator_; }

    // What the buttons do; also for keyboard-less drivers such as tests.
    // Each does nothing when its button is disabled or hidden.
    void PressBack();
    void PressNext();
    void PressFinish();
    void PressCancel();

    // The system-menu stand-in: entries carry a command id, which reaches
    // OnSysCommand once the menu has closed. Screen readers find the menu
    // and its entries as the child of its button.
    void AppendSystemMenuSeparator();
    void AppendSystemMenuItem(const QString& text, int commandId);
    void SetSystemMenuName(const QString& accessibleName);
    QMenu* SystemMenu() const { return systemMenu_; }
    QToolButton* SystemMenuButton() const { return systemMenuButton_; }

    // Window timers of the sheet.
    void SetTimer(int id, int periodMs) { timers_.Set(id, periodMs); }
    void KillTimer(int id) { timers_.Kill(id); }
    bool IsTimerRunning(int id) const { return timers_.IsRunning(id); }

    // Shows the sheet and runs it until it is closed; returns kIdOk after
    // Finish, kIdCancel after Cancel.
    int DoModal();
    // Activates the start page if no page is active yet (DoModal and the
    // first show do this).
    void Start();
    // Grows the sheet so that wrapped texts of the pages fit its width; Qt
    // does not do this by itself for a window.
    void FitHeightToContents();

protected:
    virtual void OnInitDialog() {}
    virtual void OnTimer(int /*id*/) {}
    // A system-menu command; return false to leave it unhandled.
    virtual bool OnSysCommand(int /*commandId*/) { return false; }

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    bool Navigate(int result, int step);
    void PlaceButtonsAfter(PropertyPage* page);
    void PressDefault();

    MessageService& messages_;
    std::vector<PropertyPage*> pages_;
    int active_ = -1;
    int startPage_;
    int buttonFlags_ = 0;
    bool initialised_ = false;
    bool fitting_ = false;
    bool busy_ = false;
    QStackedWidget* stack_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* finish_;
    QPushButton* cancel_;
    QToolButton* systemMenuButton_;
    QMenu* systemMenu_;
    QProgressBar* busyIndicator_;
    FirstFocus* firstFocus_;
    WindowTimers timers_;
};

}  // namespace ui
