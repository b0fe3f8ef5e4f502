#include "tools/printer-sim/control.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/printer-sim/simulator.h"

namespace kpm::sim {
namespace {

using nlohmann::json;

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    for (std::string w; in >> w;) {
        words.push_back(w);
    }
    return words;
}

json PanelJson(const PanelView& p) {
    return {{"text", p.text},
            {"status", p.status},
            {"jobs_waiting", p.jobsWaiting},
            {"operating", p.operating}};
}

json JobsJson(const std::vector<JobRecord>& jobs) {
    json list = json::array();
    for (const JobRecord& j : jobs) {
        list.push_back({{"number", j.number},
                        {"size", j.size},
                        {"decoded", j.decoded},
                        {"kind", j.kind},
                        {"subkind", j.subkind},
                        {"title", j.title},
                        {"platen", j.platen},
                        {"printed", j.printed}});
    }
    return list;
}

// Sets the member at a dotted path of the state's JSON form; the value is
// taken as JSON when it parses as JSON, else as a string.
void SetMember(Simulator& sim, const std::string& path, const std::string& text) {
    json value = json::parse(text, nullptr, false);
    if (value.is_discarded()) {
        value = text;
    }
    json state = ToJson(sim.state());
    json* at = &state;
    std::istringstream in(path);
    std::vector<std::string> keys;
    for (std::string key; std::getline(in, key, '.');) {
        keys.push_back(key);
    }
    if (keys.empty()) {
        throw std::invalid_argument("set needs a member path, e.g. network.host_name");
    }
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        if (!at->is_object() || !at->contains(keys[i])) {
            throw std::invalid_argument("no state member \"" + path + "\"");
        }
        at = &(*at)[keys[i]];
    }
    // log.text is the one member that a state may lack and still take.
    const bool logText = keys.size() == 2 && keys[0] == "log" && keys[1] == "text";
    if (!at->is_object() || (!at->contains(keys.back()) && !logText)) {
        throw std::invalid_argument("no state member \"" + path + "\"");
    }
    (*at)[keys.back()] = value;
    sim.SetState(StateFromJson(state));
}

std::string Rest(const std::vector<std::string>& words, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) {
        text += (i > from ? " " : "") + words[i];
    }
    return text;
}

// The file `name` in `folder`, for a file command; throws
// std::invalid_argument for anything but a plain name there.
std::filesystem::path FileIn(const std::filesystem::path& folder, const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        throw std::invalid_argument(
            "a file command takes a plain file name in the folder of "
            "--control-folder, not \"" +
            name + "\"");
    }
    std::filesystem::path path = folder / name;
    std::error_code error;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
        throw std::invalid_argument(name + " is a symbolic link");
    }
    return path;
}

}  // namespace

std::string ControlHelp() {
    return "Control commands:\n"
           "  state                 the printer's state as JSON\n"
           "  panel                 what the panel shows, as JSON\n"
           "  print                 press Print on the panel (prints the waiting job)\n"
           "  jobs                  the print jobs received, as JSON\n"
           "  requests [clear]      the request log, one line per request\n"
           "  faults                the faults in force\n"
           "  fault FAULT...        add faults (see below); fault clear removes all\n"
           "  set MEMBER VALUE      change one state member, e.g. set network.host_name KPM-2,\n"
           "                        set firmware_too_old true, set log.size 67108864\n"
           "  reset                 back to factory state\n"
           "  busy SECONDS          adjustment writes answer 14 this long after a job\n"
           "  save FILE | load FILE the state as a JSON file\n"
           "  device-id             the IEEE 1284 device identifier\n"
           "  snmpd-config FILE [PORT]  write an snmpd configuration serving it\n"
           "File commands take a file name in the folder of --control-folder and are\n"
           "refused without it.\n"
           "Faults:\n" +
           FaultHelp();
}

ControlReply RunControlCommand(Simulator& sim, std::string_view line,
                               const std::filesystem::path& fileFolder) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) {
        return {false, "empty command; try help"};
    }
    const std::string& command = words[0];
    const std::size_t args = words.size() - 1;
    if (fileFolder.empty() &&
        (command == "save" || command == "load" || command == "snmpd-config")) {
        return {false,
                "file commands are taken only by a simulator on a loopback address started "
                "with --control-folder"};
    }
    try {
        if (command == "help") {
            return {true, ControlHelp()};
        }
        if (command == "state" && args == 0) {
            return {true, ToJson(sim.state()).dump(2) + "\n"};
        }
        if (command == "panel" && args == 0) {
            return {true, PanelJson(sim.panel()).dump(2) + "\n"};
        }
        if (command == "print" && args == 0) {
            std::string reason;
            if (!sim.PressPrint(&reason)) {
                return {false, reason};
            }
            return {true, PanelJson(sim.panel()).dump(2) + "\n"};
        }
        if (command == "jobs" && args == 0) {
            return {true, JobsJson(sim.jobs()).dump(2) + "\n"};
        }
        if (command == "requests" && args == 0) {
            return {true, sim.RequestLog()};
        }
        if (command == "requests" && args == 1 && words[1] == "clear") {
            sim.ClearRequests();
            return {true, ""};
        }
        if (command == "faults" && args == 0) {
            json list = json::array();
            for (const Fault& f : sim.faults()) {
                list.push_back(FormatFault(f));
            }
            return {true, list.dump() + "\n"};
        }
        if (command == "fault" && args == 1 && words[1] == "clear") {
            sim.ClearFaults();
            return {true, ""};
        }
        if (command == "fault" && args >= 1) {
            std::vector<Fault> parsed;
            for (std::size_t i = 1; i < words.size(); ++i) {
                parsed.push_back(ParseFault(words[i]));
            }
            for (const Fault& f : parsed) {
                sim.AddFault(f);
            }
            return {true, ""};
        }
        if (command == "set" && args >= 2) {
            SetMember(sim, words[1], Rest(words, 2));
            return {true, ""};
        }
        if (command == "reset" && args == 0) {
            sim.SetState(FactoryState());
            return {true, ""};
        }
        if (command == "busy" && args == 1) {
            std::size_t used = 0;
            double seconds = -1;
            try {
                seconds = std::stod(words[1], &used);
            } catch (const std::exception&) {
            }
            if (used != words[1].size() || seconds < 0 || seconds > 3600) {
                return {false, "busy takes seconds from 0 to 3600"};
            }
            sim.SetBusyAfterJob(std::chrono::milliseconds(static_cast<long>(seconds * 1000)));
            return {true, ""};
        }
        if (command == "save" && args == 1) {
            SaveState(sim.state(), FileIn(fileFolder, words[1]));
            return {true, ""};
        }
        if (command == "load" && args == 1) {
            sim.SetState(LoadState(FileIn(fileFolder, words[1])));
            return {true, ""};
        }
        if (command == "device-id" && args == 0) {
            return {true, sim.DeviceId() + "\n"};
        }
        if (command == "snmpd-config" && (args == 1 || args == 2)) {
            unsigned long port = 161;
            if (args == 2) {
                port = std::stoul(words[2]);
                if (port == 0 || port > 65535) {
                    return {false, "port must be 1 to 65535"};
                }
            }
            sim.WriteSnmpdConfig(FileIn(fileFolder, words[1]), static_cast<std::uint16_t>(port));
            return {true, ""};
        }
    } catch (const std::exception& e) {
        return {false, e.what()};
    }
    return {false, "unknown command or wrong arguments: \"" + std::string(line) + "\"; try help"};
}

void ServeControlConnection(Simulator& sim, UniqueFd connection, const StopSignal& stop) {
    const int fd = connection.get();
    std::string line;
    char buffer[1024];
    try {
        while (line.find('\n') == std::string::npos) {
            if (line.size() > 64 * 1024 || !WaitReadable(fd, stop, std::chrono::seconds(10))) {
                return;
            }
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;  // a line without its newline still counts
            }
            line.append(buffer, static_cast<std::size_t>(n));
        }
        line = line.substr(0, line.find('\n'));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const bool loopback = sim.address().rfind("127.", 0) == 0;
        const ControlReply reply =
            RunControlCommand(sim, line, loopback ? sim.controlFolder() : std::filesystem::path());
        const std::string text = reply.ok ? "ok\n" + reply.body : "error: " + reply.body + "\n";
        WriteAll(fd, reinterpret_cast<const unsigned char*>(text.data()), text.size(), stop);
        ::shutdown(fd, SHUT_WR);
    } catch (const Stopped&) {
    } catch (const std::exception&) {
    }
}

ControlReply SendControlCommand(const std::string& address, std::uint16_t port,
                                const std::string& line, std::chrono::milliseconds timeout) {
    UniqueFd fd = ConnectTcp(address, port);
    StopSignal never;
    const std::string request = line + "\n";
    WriteAll(fd.get(), reinterpret_cast<const unsigned char*>(request.data()), request.size(),
             never);
    std::string answer;
    char buffer[4096];
    for (;;) {
        if (!WaitReadable(fd.get(), never, timeout)) {
            throw std::runtime_error("the simulator did not answer within " +
                                     std::to_string(timeout.count()) + " ms");
        }
        const ssize_t n = ::recv(fd.get(), buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    if (answer.rfind("ok\n", 0) == 0) {
        return {true, answer.substr(3)};
    }
    if (answer.rfind("error: ", 0) == 0) {
        std::string message = answer.substr(7);
        if (!message.empty() && message.back() == '\n') {
            message.pop_back();
        }
        return {false, message};
    }
    throw std::runtime_error("not a simulator's answer: \"" + answer.substr(0, 80) + "\"");
}

}  // namespace kpm::sim
