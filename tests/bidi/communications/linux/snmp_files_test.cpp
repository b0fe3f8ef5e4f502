// The SNMP library must not read MIB files or SNMP configuration, nor keep
// persistent state: the query runs in a process whose environment points
// net-snmp's MIB, configuration and state folders at watched folders full of
// bait, and nothing there may be opened or created. (Persistent state would
// go to SNMP_PERSISTENT_DIR instead of /var/lib/snmp, so the bait covers it;
// /var/lib/snmp itself is not watched, as other programs on this machine may
// use it meanwhile.)
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "tests/support/process.h"
#include "tests/support/snmp_printer.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDeviceIdOid = ".1.3.6.1.4.1.2699.1.2.1.2.1.1.3.1";

class Watch {
public:
    Watch() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~Watch() { ::close(fd_); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    void Add(const fs::path& dir) {
        const int wd = ::inotify_add_watch(fd_, dir.c_str(),
                                           IN_OPEN | IN_ACCESS | IN_CREATE | IN_MODIFY | IN_DELETE);
        ASSERT_GE(wd, 0) << dir;
        dirs_[wd] = dir;
    }

    // Every event since the last call, as "folder/name".
    std::vector<std::string> Events() {
        std::vector<std::string> out;
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) {
                return out;
            }
            for (char* p = buffer; p < buffer + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                out.push_back((dirs_[e->wd] / (e->len > 0 ? e->name : "")).string());
                p += sizeof(inotify_event) + e->len;
            }
        }
    }

private:
    int fd_;
    std::map<int, fs::path> dirs_;
};

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

TEST(SnmpFiles, NoMibConfigurationOrPersistentFileIsTouched) {
    kpm::test::SnmpPrinter printer;

    const fs::path bait = printer.folder() / "bait";
    WriteFile(bait / "mibs" / "KPM-BAIT-MIB.txt",
              "KPM-BAIT-MIB DEFINITIONS ::= BEGIN\nkpmBait OBJECT IDENTIFIER ::= { 1 3 }\nEND\n");
    WriteFile(bait / "conf" / "snmp.conf", "mibs +ALL\n");
    WriteFile(bait / "home" / ".snmp" / "snmp.conf", "mibs +ALL\n");
    fs::create_directories(bait / "persist");

    Watch watch;
    for (const char* dir : {"mibs", "conf", "home", "home/.snmp", "persist"}) {
        watch.Add(bait / dir);
    }

    // Our environment, with net-snmp's folders pointed at the bait.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string s(*e);
        if (s.rfind("MIB", 0) != 0 && s.rfind("SNMP", 0) != 0 && s.rfind("HOME=", 0) != 0) {
            env.push_back(s);
        }
    }
    env.push_back("MIBS=ALL");
    env.push_back("MIBDIRS=" + (bait / "mibs").string());
    env.push_back("SNMPCONFPATH=" + (bait / "conf").string());
    env.push_back("SNMP_PERSISTENT_DIR=" + (bait / "persist").string());
    env.push_back("HOME=" + (bait / "home").string());
    std::vector<char*> envp = kpm::test::ArgvOf(env);

    // The bait works: net-snmp's own client, in the same environment, reads it.
    const std::string snmpget = kpm::test::FindProgram("snmpget");
    ASSERT_FALSE(snmpget.empty()) << "snmpget (package snmp) is missing";
    ASSERT_EQ(kpm::test::RunProcess({snmpget, "-v2c", "-c", "vortel", "-t", "1", "-r", "0",
                                     printer.address(), kDeviceIdOid},
                                    envp.data()),
              0);
    EXPECT_FALSE(watch.Events().empty()) << "the bait was not taken; this test proves nothing";

    ASSERT_EQ(kpm::test::RunProcess({KPBIDI_SNMP_GET, printer.address()}, envp.data()), 0);
    const std::vector<std::string> touched = watch.Events();
    EXPECT_TRUE(touched.empty()) << "first: " << touched.front();
}

}  // namespace
