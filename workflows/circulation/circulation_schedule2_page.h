// White-ink circulation, step 2 (template 311): up to eight start times,
// one of them marked as the enhanced circulation. Next checks that at
// least six distinct times cover the day with gaps of one to six hours,
// sets the printer's clock and writes the schedule; the boxes then show the
// times sorted.
//
// The boxes keep the keyboard to themselves: Tab and Enter move to the next
// box, Shift+Tab to the one before (round from the last to the first), each
// time putting the box left into "HH:MM"; Enter never presses Next. Right at
// the end of a box moves to its enhanced radio and Left back; from a radio,
// Tab and Enter go on to the next box and Shift+Tab back to its own.
#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include "workflows/circulation/circulation_ids.h"
#include "workflows/common/local_time.h"
#include "workflows/common/step_page.h"

class QEvent;

class CCirculationSchedule2Page : public kpm::workflows::StepPage {
public:
    static constexpr int kBoxCount = 8;
    static constexpr int kBoxLength = 5;

    CCirculationSchedule2Page();

    void SetClock(kpm::workflows::ClockSource clock) { time_.SetClock(std::move(clock)); }

    bool OnSetActive() override;
    int OnWizardBack() override;
    int OnWizardNext() override;

protected:
    void OnInitDialog() override;
    void OnTimer(int id) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int Box(int k) { return kpm::ids::IDC_CIRCULATION_SCHEDULE2_BOX1 + k; }
    static int Radio(int k) { return kpm::ids::IDC_CIRCULATION_SCHEDULE2_ENHANCED1 + k; }
    // The box (0..7) or radio (8..15) that `watched` is, or -1.
    int ControlIndex(const QObject* watched) const;
    bool OnKey(int index, QEvent* event);
    // Puts box k into "HH:MM", or empties it (with the range message when
    // its time is out of range); true when it held a valid time.
    bool Normalise(int k);
    void NormaliseAll();
    void OnBoxEdited(int k);
    void UpdateButtons();
    void ShowWorkingList();

    kpm::workflows::TimeOfDayDisplay time_{kpm::ids::IDC_CIRCULATION_SCHEDULE2_TIME};
    bool loaded_ = false;
    QStringList list_;
    QString enhanced_ = QStringLiteral("*");
};
