#include "ui/property_sheet.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/accessibility.h"
#include "ui/first_focus.h"
#include "ui/message_service.h"
#include "ui/property_page.h"

namespace ui {

PropertySheet::PropertySheet(const QString& caption, MessageService& messages, QWidget* parent,
                             int startPage)
    : QDialog(parent),
      messages_(messages),
      startPage_(startPage),
      stack_(new QStackedWidget(this)),
      back_(new QPushButton(tr("< &Back"), this)),
      next_(new QPushButton(tr("&Next >"), this)),
      finish_(new QPushButton(tr("Finish"), this)),
      cancel_(new QPushButton(tr("Cancel"), this)),
      systemMenuButton_(new QToolButton(this)),
      systemMenu_(new QMenu(this)),
      busyIndicator_(new QProgressBar(this)),
      firstFocus_(new FirstFocus(this)),
      timers_(this, [this](int id) { OnTimer(id); }) {
    InstallAccessibleControls();
    setWindowTitle(caption);
    setObjectName(QStringLiteral("sheet"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    back_->setObjectName(QStringLiteral("wizard_back"));
    next_->setObjectName(QStringLiteral("wizard_next"));
    finish_->setObjectName(QStringLiteral("wizard_finish"));
    cancel_->setObjectName(QStringLiteral("wizard_cancel"));
    // A focused Back (or Next, Finish) takes Enter for itself, as a focused
    // push button of a dialog does; a focused Cancel leaves Enter to Next.
    for (QPushButton* button : {back_, next_, finish_}) {
        button->setAutoDefault(true);
    }
    cancel_->setAutoDefault(false);
    next_->setDefault(true);
    finish_->hide();

    // The system menu: a button at the bottom left, also opened with
    // Alt+Space as the window's own menu is.
    systemMenuButton_->setObjectName(QStringLiteral("system_menu"));
    systemMenuButton_->setMenu(systemMenu_);
    systemMenuButton_->setPopupMode(QToolButton::InstantPopup);
    systemMenuButton_->setText(QStringLiteral("\u2630"));
    systemMenuButton_->setFocusPolicy(Qt::StrongFocus);
    SetSystemMenuName(tr("System menu"));
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(shortcut, &QShortcut::activated, systemMenuButton_, &QToolButton::showMenu);

    // Indeterminate: the sheet cannot know how long a printer takes.
    busyIndicator_->setObjectName(QStringLiteral("busy_indicator"));
    busyIndicator_->setRange(0, 0);
    busyIndicator_->setTextVisible(false);
    busyIndicator_->setMaximumWidth(busyIndicator_->fontMetrics().averageCharWidth() * 12);
    busyIndicator_->setAccessibleName(tr("Waiting for the printer"));
    busyIndicator_->hide();

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(systemMenuButton_);
    buttons->addStretch(1);
    buttons->addWidget(busyIndicator_);
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(finish_);
    buttons->addSpacing(12);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stack_, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);

    // Qt moves the focus of a control that is disabled or hidden on to the
    // next one, which after a page's last control is a button of the sheet,
    // Cancel when the others are disabled. Back to the page instead.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const bool toButton = now == back_ || now == next_ || now == finish_ || now == cancel_;
        const PropertyPage* page = GetActivePage();
        if (toButton && old != nullptr && page != nullptr && page->isAncestorOf(old) &&
            (!old->isEnabled() || !old->isVisibleTo(page))) {
            FocusActivePage();
        }
    });

    connect(back_, &QPushButton::clicked, this, &PropertySheet::PressBack);
    connect(next_, &QPushButton::clicked, this, &PropertySheet::PressNext);
    connect(finish_, &QPushButton::clicked, this, &PropertySheet::PressFinish);
    connect(cancel_, &QPushButton::clicked, this, &PropertySheet::PressCancel);

    SetWizardButtons(0);
}

PropertySheet::~PropertySheet() = default;

void PropertySheet::AddPage(PropertyPage* page) {
    page->sheet_ = this;
    pages_.push_back(page);
    stack_->addWidget(page);
}

void PropertySheet::DeletePages() {
    active_ = -1;
    std::vector<PropertyPage*> pages;
    pages.swap(pages_);
    for (PropertyPage* page : pages) {
        delete page;
    }
}

PropertyPage* PropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount()) {
        return nullptr;
    }
    return pages_[static_cast<std::size_t>(index)];
}

int PropertySheet::GetPageIndex(const PropertyPage* page) const {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (pages_[static_cast<std::size_t>(i)] == page) {
            return i;
        }
    }
    return -1;
}

int PropertySheet::GetPageIndexByTemplate(int templateId) const {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (pages_[static_cast<std::size_t>(i)]->TemplateId() == templateId) {
            return i;
        }
    }
    return -1;
}

bool PropertySheet::SetActivePage(int index) {
    PropertyPage* target = GetPage(index);
    if (target == nullptr) {
        return false;
    }
    if (PropertyPage* current = GetActivePage(); current != nullptr && !current->OnKillActive()) {
        return false;
    }
    firstFocus_->Cancel();
    if (!target->IsCreated()) {
        target->Create();
        PlaceButtonsAfter(target);
    }
    stack_->setCurrentWidget(target);
    const int previous = active_;
    active_ = index;
    if (!target->OnSetActive()) {
        // The page declined: the page before it stays in front.
        active_ = previous;
        if (PropertyPage* back = GetActivePage()) {
            stack_->setCurrentWidget(back);
        }
        return false;
    }
    UpdateDefaultButton();
    // Keyboard users start on the page's first control, not on a button
    // that the page may just have disabled.
    if (isVisible()) {
        FocusActivePage();
    }
    FitHeightToContents();
    return true;
}

void PropertySheet::FocusActivePage() {
    firstFocus_->Give(GetActivePage());
}

// Tab leads from the page's controls to the buttons and round again; the
// controls of a page built late would otherwise come after the buttons.
void PropertySheet::PlaceButtonsAfter(PropertyPage* page) {
    QWidget* last = nullptr;
    for (QWidget* w = nextInFocusChain(); w != nullptr && w != this; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w)) {
            last = w;
        }
    }
    if (last == nullptr) {
        return;
    }
    QWidget* previous = last;
    for (QWidget* w :
         std::initializer_list<QWidget*>{back_, next_, finish_, cancel_, systemMenuButton_}) {
        setTabOrder(previous, w);
        previous = w;
    }
}

bool PropertySheet::Navigate(int result, int step) {
    if (result == -1) {
        return false;
    }
    const int index = result == 0 ? active_ + step : GetPageIndexByTemplate(result);
    if (index < 0 || index >= GetPageCount()) {
        qWarning("wizard: no page for %d", result);
        return false;
    }
    return SetActivePage(index);
}

void PropertySheet::PressBack() {
    if (busy_ || !back_->isEnabled() || GetActivePage() == nullptr) {
        return;
    }
    Navigate(GetActivePage()->OnWizardBack(), -1);
}

void PropertySheet::PressNext() {
    if (busy_ || !next_->isEnabled() || next_->isHidden() || GetActivePage() == nullptr) {
        return;
    }
    Navigate(GetActivePage()->OnWizardNext(), +1);
}

void PropertySheet::PressFinish() {
    if (busy_ || !finish_->isEnabled() || finish_->isHidden()) {
        return;
    }
    if (PropertyPage* page = GetActivePage(); page != nullptr && !page->OnWizardFinish()) {
        return;
    }
    done(kIdOk);
}

void PropertySheet::PressDefault() {
    PropertyPage* page = GetActivePage();
    if (busy_ || page == nullptr || page->ConsumesEnter()) {
        return;
    }
    if (!finish_->isHidden()) {
        PressFinish();
    } else {
        PressNext();
    }
}

void PropertySheet::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // Whatever the focused control did not take. Qt's own handling would
        // press any push button marked default, also one of a hidden page.
        event->accept();
        PressDefault();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PropertySheet::PressCancel() {
    reject();
}

void PropertySheet::reject() {
    // Escape and the window's close button count as Cancel, and like it they
    // do nothing while Cancel is disabled.
    if (busy_ || !cancel_->isEnabled()) {
        return;
    }
    if (PropertyPage* page = GetActivePage(); page != nullptr && !page->OnQueryCancel()) {
        return;
    }
    done(kIdCancel);
}

void PropertySheet::SetWizardButtons(int flags) {
    buttonFlags_ = flags;
    const bool back = (flags & kWizBack) != 0;
    const bool finish = (flags & (kWizFinish | kWizDisabledFinish)) != 0;
    const bool next = !finish && (flags & kWizNext) != 0;
    const bool finishEnabled = (flags & kWizFinish) != 0;
    // A button with the focus that goes away hands the focus back to the
    // page first; Qt would move it on to Cancel.
    const QWidget* focused = focusWidget();
    if ((focused == back_ && !back) || (focused == next_ && !next) ||
        (focused == finish_ && !(finish && finishEnabled))) {
        FocusActivePage();
    }
    back_->setEnabled(back);
    next_->setVisible(!finish);
    next_->setEnabled((flags & kWizNext) != 0);
    finish_->setVisible(finish);
    finish_->setEnabled(finishEnabled);
    UpdateDefaultButton();
}

void PropertySheet::UpdateDefaultButton() {
    const PropertyPage* page = GetActivePage();
    const bool enterIsOurs = page == nullptr || !page->ConsumesEnter();
    const bool finish = !finish_->isHidden();
    next_->setDefault(enterIsOurs && !finish);
    finish_->setDefault(enterIsOurs && finish);
}

void PropertySheet::PostSetWizardButtons(int flags) {
    Post([this, flags] { SetWizardButtons(flags); });
}

void PropertySheet::Post(std::function<void()> request) {
    QMetaObject::invokeMethod(this, std::move(request), Qt::QueuedConnection);
}

void PropertySheet::SetButtonTexts(const QString& back, const QString& next,
                                   const QString& finish) {
    back_->setText(back);
    next_->setText(next);
    finish_->setText(finish);
}

void PropertySheet::SetCancelText(const QString& text) {
    cancel_->setText(text);
}

void PropertySheet::EnableCancel(bool enable) {
    cancel_->setEnabled(enable);
}

void PropertySheet::SetBusy(bool busy) {
    busy_ = busy;
    if (!busy) {
        ShowBusyIndicator(false);
    }
}

bool PropertySheet::IsInBusySheet(const QWidget* widget) {
    const auto* sheet =
        widget != nullptr ? qobject_cast<const PropertySheet*>(widget->window()) : nullptr;
    return sheet != nullptr && sheet->IsBusy();
}

void PropertySheet::ShowBusyIndicator(bool show) {
    busyIndicator_->setVisible(show);
}

QPushButton* PropertySheet::Button(WizardButton which) const {
    switch (which) {
        case WizardButton::Back:
            return back_;
        case WizardButton::Next:
            return next_;
        case WizardButton::Finish:
            return finish_;
        case WizardButton::Cancel:
            return cancel_;
    }
    return nullptr;
}

void PropertySheet::AppendSystemMenuSeparator() {
    systemMenu_->addSeparator();
}

void PropertySheet::AppendSystemMenuItem(const QString& text, int commandId) {
    QAction* action = systemMenu_->addAction(text);
    action->setData(commandId);
    // Posted, as the window's own menu posts its commands: the command
    // (often a modal box) runs after the menu has closed, and a screen
    // reader that chose the entry gets its answer at once. An entry chosen
    // through the accessibility bus while the sheet waits does nothing: its
    // box would run a modal loop inside the wait.
    connect(action, &QAction::triggered, this, [this, commandId] {
        Post([this, commandId] {
            if (!busy_) {
                OnSysCommand(commandId);
            }
        });
    });
}

void PropertySheet::SetSystemMenuName(const QString& accessibleName) {
    systemMenuButton_->setAccessibleName(accessibleName);
    systemMenuButton_->setToolTip(accessibleName);
    systemMenu_->setTitle(accessibleName);
    systemMenu_->setAccessibleName(accessibleName);
}

void PropertySheet::Start() {
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    if (active_ < 0 && GetPageCount() > 0) {
        SetActivePage(startPage_ < GetPageCount() ? startPage_ : 0);
    }
}

void PropertySheet::showEvent(QShowEvent* event) {
    Start();
    // Started before it was shown (DoModal does that): the page's first
    // control has not had the focus yet.
    if (const QWidget* page = GetActivePage();
        page != nullptr && !page->isAncestorOf(focusWidget()) && focusWidget() != page) {
        FocusActivePage();
    }
    QDialog::showEvent(event);
    FitHeightToContents();
}

void PropertySheet::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // A narrower window needs more lines for the same texts.
    if (!fitting_) {
        QMetaObject::invokeMethod(this, &PropertySheet::FitHeightToContents, Qt::QueuedConnection);
    }
}

void PropertySheet::FitHeightToContents() {
    QLayout* sheetLayout = layout();
    if (sheetLayout == nullptr || !sheetLayout->hasHeightForWidth()) {
        return;
    }
    sheetLayout->activate();
    const int needed = sheetLayout->totalHeightForWidth(width());
    if (needed > height()) {
        fitting_ = true;
        resize(width(), needed);
        fitting_ = false;
    }
}

int PropertySheet::DoModal() {
    Start();
    return exec();
}

}  // namespace ui
