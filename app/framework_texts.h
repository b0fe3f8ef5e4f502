// The few texts that belong to the window system rather than to the string
// tables (the wizard's buttons, OK, the system menu's name), in each of the
// wizard's languages, so that a Japanese wizard does not show English
// buttons.
#pragma once

#include <QString>

#include <cstdint>

namespace app {

struct FrameworkTexts {
    QString back;
    QString next;
    QString finish;
    QString cancel;
    QString ok;
    QString systemMenu;
};

FrameworkTexts FrameworkTextsFor(std::uint16_t languageId);

}  // namespace app
