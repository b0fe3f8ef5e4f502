// kpm-wizard: the KPM maintenance wizard.
//
// The invoked name decides the mode and language: a name containing "demo"
// starts in demo mode, and one containing a language code ("jpn", "kor",
// ...) starts in that language; so symlinks such as kpm-wizard-demo or
// kpm-wizard-jpn serve as the Windows tool's renamed copies did.
#include <QApplication>
#include <QStringList>

#include <cstdio>

#include "app/tovik_tool_app.h"
#include "platform/net_raw.h"
#include "ui/message_service.h"
#include "workflows/wizard_pages.h"

int main(int argc, char** argv) {
    // The program is installed without capabilities (the echo's raw socket
    // is kpm-echo's). Given some by hand all the same, it drops them before
    // Qt loads any plugin the user's environment names, and refuses to run
    // with them.
    if (const std::error_code error = platform::DropPrivilegesGainedAtStart()) {
        std::fprintf(stderr,
                     "kpm-wizard: cannot give up the capabilities it was started with: %s\n",
                     error.message().c_str());
        return 1;
    }
    // Taken before Qt removes its own options from argv.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QApplication application(argc, argv);
    ui::QtMessageService messages;
    CTovikToolApp app(messages);
    app.SetPages(kpm::workflows::WizardPages());
    return app.InitInstance(arguments);
}
