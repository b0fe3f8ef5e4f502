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
    // The installed program holds CAP_NET_RAW for the echo's raw socket,
    // which is used only where no ping socket is allowed. Elsewhere it goes
    // before Qt loads any plugin the user's environment names.
    if (const std::error_code error = platform::DropNetRawCapabilityUnlessNeeded()) {
        std::fprintf(stderr, "kpm-wizard: cannot give up CAP_NET_RAW: %s\n",
                     error.message().c_str());
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
