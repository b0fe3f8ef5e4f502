// What every application test needs: a private settings file and runtime
// folder, and an application object whose messages go to a recorder.
#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/app_ids.h"
#include "app/page_factory.h"
#include "app/tovik_tool_app.h"
#include "platform/settings_file.h"
#include "tests/support/recording_message_service.h"

namespace testing_support {

class AppEnvironment {
public:
    AppEnvironment() {
        char dir[] = "/tmp/kpm-app-test-XXXXXX";
        if (mkdtemp(dir) == nullptr) {
            std::abort();
        }
        dir_ = dir;
        setenv(platform::SettingsFile::kPathVariable, SetupPath().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    ~AppEnvironment() {
        unsetenv(platform::SettingsFile::kPathVariable);
        unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(dir_);
    }
    std::string SetupPath() const { return dir_ + "/setup.conf"; }
    const std::string& Dir() const { return dir_; }
    void WriteSetup(const std::string& text) const { std::ofstream(SetupPath()) << text; }
    void RemoveSetup() const { std::filesystem::remove(SetupPath()); }

private:
    std::string dir_;
};

// The first page of every task, each its template alone: where the main
// page leads, without the procedures.
inline constexpr PageEntry kTaskPages[] = {
    {kpm::ids::IDD_FIRE1},
    {kpm::ids::IDD_POS2},
    {kpm::ids::IDD_LOG1},
    {kpm::ids::IDD_VRATING1},
    {kpm::ids::IDD_IMPACT_PRECHECK},
    {kpm::ids::IDD_IP3},
    {kpm::ids::IDD_LOCAL_TIME_SETTING1},
    {kpm::ids::IDD_CIRCULATION_SCHEDULE1},
};

// A test with an application object in one language.
class AppTest : public ::testing::Test {
protected:
    void MakeApp(std::uint16_t languageId) {
        app.reset();
        app = std::make_unique<CTovikToolApp>(messages, languageId);
    }
    void SetUp() override { MakeApp(1033); }
    void TearDown() override { app.reset(); }

    AppEnvironment environment;
    RecordingMessageService messages;
    std::unique_ptr<CTovikToolApp> app;
};

}  // namespace testing_support
