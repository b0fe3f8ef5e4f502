#include "app/tovik_tool_app.h"

#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>

#include "app/app_ids.h"
#include "app/language.h"
#include "app/texts.h"
#include "app/tovik_sheet.h"
#include "platform/settings_file.h"

using namespace kpm::ids;

namespace {

CTovikToolApp* theApp = nullptr;

// What the start-up decided, for a technician (or a test) checking what an
// invoked name or the settings file chose: QT_LOGGING_RULES=kpm.startup.info=true
Q_LOGGING_CATEGORY(lcStartup, "kpm.startup", QtWarningMsg)

}  // namespace

CTovikToolApp::CTovikToolApp(ui::MessageService& messages, std::uint16_t languageId)
    : m_wLanguageId(languageId),
      messages_(messages),
      strings_(languageId),
      title_(QStringLiteral("kpm-wizard")) {
    Q_ASSERT_X(theApp == nullptr, "CTovikToolApp", "one application object per process");
    theApp = this;
}

CTovikToolApp::~CTovikToolApp() {
    theApp = nullptr;
}

CTovikToolApp& CTovikToolApp::Instance() {
    Q_ASSERT_X(theApp != nullptr, "CTovikToolApp", "no application object");
    return *theApp;
}

bool CTovikToolApp::HasInstance() {
    return theApp != nullptr;
}

void CTovikToolApp::SetLanguage(std::uint16_t languageId) {
    m_wLanguageId = languageId;
    strings_ = app::StringTable(languageId);
}

QString CTovikToolApp::ProgramNamePart(const QString& programPath) {
    const qsizetype slash = programPath.lastIndexOf(QLatin1Char('/'));
    return slash > 0 ? programPath.mid(slash) : programPath;
}

int CTovikToolApp::InitInstance(const QStringList& arguments) {
    // The invoked name, not the resolved file: a symlink named like
    // "kpm-wizard-demo" or "kpm-wizard-jpn" chooses the mode and language.
    const QString programPath = arguments.value(0);
    title_ = QFileInfo(programPath).completeBaseName();
    if (title_.isEmpty()) {
        title_ = QStringLiteral("kpm-wizard");
    }
    const QString namePart = ProgramNamePart(programPath);

    m_bDemoMode = namePart.contains(QLatin1String("demo")) ? 1 : 0;

    std::error_code error;
    const auto setup = platform::SettingsFile::Load(platform::SettingsFile::Path(), error);
    SetLanguage(app::SelectLanguage(namePart, setup));

    // The whole command line, program name included, as the Windows tool
    // searched it.
    if (arguments.join(QLatin1Char(' ')).contains(QLatin1String("-demo"))) {
        m_bDemoMode = 1;
    }
    qCInfo(lcStartup, "language %u, demo mode %d", unsigned{m_wLanguageId}, m_bDemoMode);

    switch (instanceLock_.TryAcquire(kInstanceLockName, error)) {
        case platform::NamedLock::Result::Acquired:
            break;
        case platform::NamedLock::Result::HeldElsewhere:
            ShowMessage(IDS_ALREADY_STARTED, 0);
            return 0;
        case platform::NamedLock::Result::Failed:
            // No lock, no wizard; there is nothing useful to tell the user in
            // a window, but a technician looking at the terminal sees why.
            std::fprintf(stderr, "%s: cannot create the instance lock: %s\n", qPrintable(title_),
                         error.message().c_str());
            return 1;
    }
    return RunSheet();
}

int CTovikToolApp::RunSheet() {
    CTovikSheet sheet(messages_, pages_);
    sheet.DoModal();
    return 0;
}
