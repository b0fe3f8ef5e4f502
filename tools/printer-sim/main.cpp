// kpm-printer-sim: a simulated KPM printer for tests, demos and training.
#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tools/printer-sim/control.h"
#include "tools/printer-sim/simulator.h"
#include "tools/printer-sim/snmpd.h"

namespace {

using namespace kpm::sim;

const char* const kUsage =
    "Usage: kpm-printer-sim [OPTIONS]\n"
    "       kpm-printer-sim ctl [--port PORT] ADDRESS COMMAND [ARGS...]\n"
    "\n"
    "Runs a simulated KPM printer until Ctrl+C: the command protocol on TCP port\n"
    "48000, RAW print jobs on 9100 (CUPS device URI socket://ADDRESS:9100) and a\n"
    "control channel on 48100, all on one IPv4 address. Every request is logged\n"
    "on standard output.\n"
    "\n"
    "Options:\n"
    "  -a, --address ADDR     listen on ADDR (default: a random free 127.x.y.z)\n"
    "  --state FILE           load the printer's state from FILE when it exists,\n"
    "                         and save it there on exit\n"
    "  --fault FAULT          start with a fault (repeatable; see below)\n"
    "  --busy SECONDS         adjustment writes answer 14 this long after a job\n"
    "                         arrives or Print is pressed (default 0)\n"
    "  --log-size BYTES       size of the generated log (default 5376512)\n"
    "  --log-block BYTES      bytes per log block (default 512)\n"
    "  --log-order ORDER      in-order, reverse, pairs or shuffle\n"
    "  --protocol-port PORT, --job-port PORT, --control-port PORT\n"
    "                         other ports than 48000, 9100, 48100\n"
    "  --control-folder DIR   let the control channel's save, load and snmpd-config\n"
    "                         read and write files in DIR (by name only); without\n"
    "                         it they are refused, since any local user can reach\n"
    "                         the channel\n"
    "  --snmpd                also run snmpd on ADDRESS:161 serving the printer's\n"
    "                         IEEE 1284 device identifier (community \"vortel\")\n"
    "  --snmpd-config FILE    write that snmpd configuration to FILE\n"
    "  --usb                  also answer on a USB device node (a pseudo-terminal\n"
    "                         standing in for /dev/usb/lp0)\n"
    "  --usb-record FILE      with --usb: write the matching USB device, in\n"
    "                         umockdev's record format, to FILE\n"
    "  --usb-gadget DIR       also be the USB printer of the FunctionFS function\n"
    "                         mounted at DIR (a configfs gadget; bind it to its\n"
    "                         controller once this has started)\n"
    "  -q, --quiet            do not log requests\n"
    "  -h, --help             this text\n"
    "\n"
    "ctl talks to a running simulator; `ctl ADDRESS help` lists its commands.\n"
    "\n"
    "Faults (FAULT):\n";

int Fail(const std::string& message) {
    std::cerr << "kpm-printer-sim: " << message << "\n";
    return 2;
}

std::optional<unsigned long long> Number(const std::string& text, unsigned long long max) {
    try {
        std::size_t used = 0;
        const unsigned long long n = std::stoull(text, &used);
        if (used == text.size() && n <= max) {
            return n;
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

int RunCtl(int argc, char** argv) {
    std::uint16_t port = kControlPort;
    int i = 2;
    if (i + 1 < argc && std::strcmp(argv[i], "--port") == 0) {
        const auto p = Number(argv[i + 1], 65535);
        if (!p || *p == 0) {
            return Fail("--port needs a port number");
        }
        port = static_cast<std::uint16_t>(*p);
        i += 2;
    }
    if (argc - i < 2) {
        std::cerr << "Usage: kpm-printer-sim ctl [--port PORT] ADDRESS COMMAND [ARGS...]\n"
                  << ControlHelp();
        return 2;
    }
    const std::string address = argv[i++];
    std::string line;
    for (; i < argc; ++i) {
        line += (line.empty() ? "" : " ") + std::string(argv[i]);
    }
    try {
        const ControlReply reply = SendControlCommand(address, port, line);
        if (!reply.ok) {
            std::cerr << "kpm-printer-sim: " << reply.body << "\n";
            return 1;
        }
        std::cout << reply.body;
        return 0;
    } catch (const std::exception& e) {
        return Fail("no simulator answers on " + address + ":" + std::to_string(port) + " (" +
                    e.what() + ")");
    }
}

struct TempDir {
    std::filesystem::path path;
    ~TempDir() {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "ctl") == 0) {
        return RunCtl(argc, argv);
    }

    Options options;
    // Log options given on the command line win over the state file's.
    std::optional<std::uint64_t> logSize;
    std::optional<std::uint32_t> logBlock;
    std::optional<LogOrder> logOrder;
    std::optional<std::filesystem::path> stateFile;
    std::optional<std::filesystem::path> snmpdConfig;
    std::optional<std::filesystem::path> usbRecord;
    bool snmpd = false;
    bool quiet = false;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            return args[++i];
        };
        auto port = [&](std::uint16_t& out) {
            const auto v = value();
            const auto n = v ? Number(*v, 65535) : std::nullopt;
            if (!n || *n == 0) {
                return false;
            }
            out = static_cast<std::uint16_t>(*n);
            return true;
        };
        if (a == "-h" || a == "--help") {
            std::cout << kUsage << FaultHelp();
            return 0;
        } else if (a == "-a" || a == "--address") {
            const auto v = value();
            if (!v) {
                return Fail(a + " needs an IPv4 address");
            }
            options.address = *v;
        } else if (a == "--state") {
            const auto v = value();
            if (!v) {
                return Fail("--state needs a file name");
            }
            stateFile = *v;
        } else if (a == "--fault") {
            const auto v = value();
            if (!v) {
                return Fail("--fault needs a fault, e.g. --fault status:14@46");
            }
            try {
                options.faults.push_back(ParseFault(*v));
            } catch (const std::invalid_argument& e) {
                return Fail(e.what());
            }
        } else if (a == "--busy") {
            const auto v = value();
            double seconds = -1;
            try {
                seconds = v ? std::stod(*v) : -1;
            } catch (const std::exception&) {
            }
            if (seconds < 0 || seconds > 3600) {
                return Fail("--busy needs seconds from 0 to 3600");
            }
            options.busyAfterJob = std::chrono::milliseconds(static_cast<long>(seconds * 1000));
        } else if (a == "--log-size") {
            const auto v = value();
            const auto n = v ? Number(*v, 1ull << 40) : std::nullopt;
            if (!n) {
                return Fail("--log-size needs a byte count");
            }
            logSize = *n;
        } else if (a == "--log-block") {
            const auto v = value();
            const auto n = v ? Number(*v, 16u << 20) : std::nullopt;
            if (!n || *n == 0) {
                return Fail("--log-block needs a byte count from 1 to 16777216");
            }
            logBlock = static_cast<std::uint32_t>(*n);
        } else if (a == "--log-order") {
            const auto v = value();
            const auto order = v ? ParseLogOrder(*v) : std::nullopt;
            if (!order) {
                return Fail("--log-order needs in-order, reverse, pairs or shuffle");
            }
            logOrder = *order;
        } else if (a == "--protocol-port") {
            if (!port(options.protocolPort)) {
                return Fail("--protocol-port needs a port number");
            }
        } else if (a == "--job-port") {
            if (!port(options.jobPort)) {
                return Fail("--job-port needs a port number");
            }
        } else if (a == "--control-port") {
            if (!port(options.controlPort)) {
                return Fail("--control-port needs a port number");
            }
        } else if (a == "--control-folder") {
            const auto v = value();
            std::error_code error;
            if (!v || !std::filesystem::is_directory(*v, error)) {
                return Fail("--control-folder needs an existing folder");
            }
            options.controlFolder = std::filesystem::absolute(*v);
        } else if (a == "--snmpd") {
            snmpd = true;
        } else if (a == "--snmpd-config") {
            const auto v = value();
            if (!v) {
                return Fail("--snmpd-config needs a file name");
            }
            snmpdConfig = *v;
        } else if (a == "--usb") {
            options.usb = true;
        } else if (a == "--usb-gadget") {
            const auto v = value();
            std::error_code error;
            if (!v || !std::filesystem::exists(std::filesystem::path(*v) / "ep0", error)) {
                return Fail("--usb-gadget needs the folder where a FunctionFS function is mounted");
            }
            options.usbGadget = *v;
        } else if (a == "--usb-record") {
            const auto v = value();
            if (!v) {
                return Fail("--usb-record needs a file name");
            }
            usbRecord = *v;
        } else if (a == "-q" || a == "--quiet") {
            quiet = true;
        } else {
            return Fail("unknown option \"" + a + "\" (try --help)");
        }
    }

    if (usbRecord && !options.usb) {
        return Fail("--usb-record needs --usb");
    }

    if (stateFile && std::filesystem::exists(*stateFile)) {
        try {
            options.state = LoadState(*stateFile);
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
    }
    if (logSize) {
        options.state.log.size = *logSize;
        options.state.log.text.reset();
    }
    if (logBlock) {
        options.state.log.blockSize = *logBlock;
    }
    if (logOrder) {
        options.state.log.order = *logOrder;
    }

    // Signals are taken by sigwait below; every thread inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::mutex outputLock;
    if (!quiet) {
        options.onLogLine = [&outputLock](const std::string& line) {
            std::lock_guard lock(outputLock);
            std::fputs((line + "\n").c_str(), stdout);
            std::fflush(stdout);
        };
    }

    std::unique_ptr<Simulator> sim;
    try {
        sim = std::make_unique<Simulator>(options);
    } catch (const std::exception& e) {
        return Fail(std::string("cannot start: ") + e.what());
    }
    const std::string& address = sim->address();

    TempDir snmpdDir;
    std::unique_ptr<SnmpAgent> agent;
    try {
        if (snmpdConfig) {
            sim->WriteSnmpdConfig(*snmpdConfig);
        }
        if (usbRecord) {
            std::ofstream out(*usbRecord);
            out << UsbDeviceRecord(sim->UsbDescription());
            if (!out) {
                return Fail("cannot write " + usbRecord->string());
            }
        }
        if (snmpd) {
            char pattern[] = "/tmp/kpm-printer-sim-snmpd-XXXXXX";
            if (::mkdtemp(pattern) == nullptr) {
                return Fail("cannot create a folder for snmpd");
            }
            snmpdDir.path = pattern;
            SnmpdSettings settings;
            settings.address = address;
            settings.deviceId = sim->DeviceId();
            agent = std::make_unique<SnmpAgent>(settings, snmpdDir.path);
        }
    } catch (const std::exception& e) {
        return Fail(e.what());
    }

    {
        std::lock_guard lock(outputLock);
        std::printf("kpm-printer-sim: listening on %s\n", address.c_str());
        std::printf("  printer protocol  %s:%u\n", address.c_str(), sim->protocolPort());
        std::printf("  print jobs        %s (CUPS device URI)\n", sim->JobDeviceUri().c_str());
        if (sim->controlPort() != 0) {
            std::printf("  control           kpm-printer-sim ctl %s%s help\n", address.c_str(),
                        sim->controlPort() == kControlPort
                            ? ""
                            : (" --port " + std::to_string(sim->controlPort())).c_str());
        }
        if (!sim->UsbNodePath().empty()) {
            std::printf("  USB device node   %s (stands in for %s, serial number %s)\n",
                        sim->UsbNodePath().c_str(), sim->UsbDescription().NodePath().c_str(),
                        sim->UsbDescription().serial.value_or("").c_str());
        }
        if (!options.usbGadget.empty()) {
            std::printf("  USB gadget        %s (FunctionFS)\n", options.usbGadget.c_str());
        }
        if (usbRecord) {
            std::printf("  USB device record %s (umockdev)\n", usbRecord->c_str());
        }
        if (agent) {
            std::printf("  SNMP              %s:161, community \"%s\", OID %s\n", address.c_str(),
                        kSnmpCommunity, kDeviceIdOid);
        }
        if (stateFile) {
            std::printf("  state file        %s (saved on exit)\n", stateFile->c_str());
        }
        std::printf("Press Ctrl+C to stop.\n");
        std::fflush(stdout);
    }

    int received = 0;
    sigwait(&signals, &received);

    int status = 0;
    if (stateFile) {
        try {
            SaveState(sim->state(), *stateFile);
        } catch (const std::exception& e) {
            std::cerr << "kpm-printer-sim: " << e.what() << "\n";
            status = 1;
        }
    }
    agent.reset();
    sim.reset();
    std::lock_guard lock(outputLock);
    std::printf("kpm-printer-sim: stopped\n");
    return status;
}
