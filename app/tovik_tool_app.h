// The application object: decides the mode and the language, refuses a
// second instance and runs the wizard sheet. There is exactly one per
// process while it lives; texts and messages reach it through Instance().
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <utility>

#include "app/page_factory.h"
#include "app/string_table.h"
#include "platform/named_lock.h"

namespace ui {
class MessageService;
}

class CTovikToolApp {
public:
    // The lock that keeps a second wizard from starting.
    static constexpr const char* kInstanceLockName = "ZEDoraMAINTENANCE";

    explicit CTovikToolApp(ui::MessageService& messages, std::uint16_t languageId = 1033);
    virtual ~CTovikToolApp();
    CTovikToolApp(const CTovikToolApp&) = delete;
    CTovikToolApp& operator=(const CTovikToolApp&) = delete;

    static CTovikToolApp& Instance();
    static bool HasInstance();

    // The start-up routine. `arguments` is the command line, the invoked
    // program name first (a symlink's own name when started through one).
    // Returns the process's exit status.
    int InitInstance(const QStringList& arguments);

    // The pages of the procedures for the sheet that RunSheet shows.
    void SetPages(PageTable pages) { pages_ = pages; }

    int IsDemoMode() const { return m_bDemoMode; }
    void SetDemoMode() { m_bDemoMode = 1; }
    std::uint16_t GetLanguageId() const { return m_wLanguageId; }

    const app::StringTable& Strings() const { return strings_; }
    ui::MessageService& Messages() const { return messages_; }
    // The program's name without folder and extension: the error box's caption.
    QString ApplicationTitle() const { return title_; }

    // The part of the program path that the mode and language rules search:
    // from the last '/' on, or the whole path when there is none past the
    // first character.
    static QString ProgramNamePart(const QString& programPath);

protected:
    // Runs the wizard sheet modally (step 8); returns the exit status.
    virtual int RunSheet();

private:
    void SetLanguage(std::uint16_t languageId);

    int m_bDemoMode = 0;
    std::uint16_t m_wLanguageId = 1033;
    ui::MessageService& messages_;
    app::StringTable strings_;
    QString title_;
    PageTable pages_;
    platform::NamedLock instanceLock_;
};
