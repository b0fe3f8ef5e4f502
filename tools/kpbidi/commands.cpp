#include "tools/kpbidi/commands.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "bidi/capi/kpbidi_owned.h"
#include "tools/kpbidi/discover.h"
#include "tools/kpbidi/log_file.h"
#include "tools/kpbidi/printable.h"

namespace kpbidi_tool {
namespace {

using nlohmann::json;

using kpbidi::Text;
using Data = kpbidi::DataRecord;

std::optional<long> ParseInt(const std::string& text, long low, long high) {
    if (text.empty()) {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// Head names as technicians say them.
std::optional<int> ParseHead(const std::string& text) {
    if (text == "colour" || text == "color" || text == "0") {
        return 0;
    }
    if (text == "white" || text == "1") {
        return 1;
    }
    return std::nullopt;
}

// 1200 dpi is the high-resolution flag 1, 600 dpi the flag 0.
std::optional<int> ParseResolution(const std::string& text) {
    if (text == "1200") {
        return 1;
    }
    if (text == "600") {
        return 0;
    }
    return std::nullopt;
}

int Done(const Invocation& in, const kpbidi_error_tag& error, const std::string& text) {
    if (error.code != 0) {
        return in.output->Failure(error);
    }
    in.output->Result(text, json{{"ok", true}});
    return 0;
}

int WrongArguments(const Invocation& in, const char* name) {
    const Subcommand* sub = FindSubcommand(name);
    return in.output->UsageError(std::string("usage: kpbidi ") + name + " " + sub->usage);
}

// Reads a data block and checks it reaches byte `last`.
Data ReadBlock(const Invocation& in, int id, std::size_t last, kpbidi_error_tag& error) {
    Data data(kpbidi_read_data(in.printer, id, &error));
    if (data && data->size <= last) {
        error = {KPBIDI_INVALID_RESPONSE, "data block shorter than expected"};
        data.reset();
    }
    return data;
}

std::uint32_t Be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

std::int16_t Be16(const unsigned char* p) {
    return static_cast<std::int16_t>((p[0] << 8) | p[1]);
}

std::string Dotted(std::uint32_t address) {
    char text[INET_ADDRSTRLEN];
    const std::uint32_t network = htonl(address);
    inet_ntop(AF_INET, &network, text, sizeof text);
    return text;
}

int Info(const Invocation& in) {
    if (!in.args.empty()) {
        return WrongArguments(in, "info");
    }
    kpbidi_error_tag error{};
    Text text(kpbidi_get_printer_info(in.printer, &error));
    if (!text) {
        return in.output->Failure(error);
    }
    const json doc = json::parse(text.get());
    std::ostringstream out;
    out << "18-digit code:  " << Printable(doc.value("digits_18_code", "")) << '\n'
        << "Serial number:  " << Printable(doc.value("serial_number", "")) << '\n'
        << "MAC address:    " << Printable(doc.value("mac_address", ""));
    in.output->Result(out.str(), doc);
    return 0;
}

int IpMode(const Invocation& in) {
    kpbidi_error_tag error{};
    if (in.args.empty()) {
        const int mode = kpbidi_get_ip_mode(in.printer, &error);
        if (error.code != 0) {
            return in.output->Failure(error);
        }
        const char* name = mode == 1 ? "automatic" : "static";
        in.output->Result(std::string("IP address: ") + name,
                          json{{"ip_mode", mode}, {"name", name}});
        return 0;
    }
    if (in.args.size() != 1) {
        return WrongArguments(in, "ip-mode");
    }
    int mode = -1;
    if (in.args[0] == "static" || in.args[0] == "0") {
        mode = 0;
    } else if (in.args[0] == "auto" || in.args[0] == "automatic" || in.args[0] == "1") {
        mode = 1;
    } else {
        return WrongArguments(in, "ip-mode");
    }
    kpbidi_set_ip_mode(in.printer, mode, &error);
    return Done(in, error,
                mode == 1 ? "IP address now obtained automatically." : "IP address now static.");
}

int IpSettings(const Invocation& in) {
    kpbidi_error_tag error{};
    if (in.args.empty()) {
        // Bytes 84-95 of the network data block.
        Data data = ReadBlock(in, 0x8011, 95, error);
        if (!data) {
            return in.output->Failure(error);
        }
        const std::string address = Dotted(Be32(data->data + 84));
        const std::string mask = Dotted(Be32(data->data + 88));
        const std::string gateway = Dotted(Be32(data->data + 92));
        in.output->Result("Address:  " + address + "\nMask:     " + mask + "\nGateway:  " + gateway,
                          json{{"address", address}, {"subnet_mask", mask}, {"gateway", gateway}});
        return 0;
    }
    if (in.args.size() != 3) {
        return WrongArguments(in, "ip-settings");
    }
    kpbidi_ip_settings_tag settings{};
    unsigned char* fields[] = {settings.address, settings.subnet_mask, settings.gateway};
    for (int i = 0; i < 3; ++i) {
        if (inet_pton(AF_INET, in.args[i].c_str(), fields[i]) != 1) {
            return in.output->UsageError("not an IPv4 address: " + in.args[i]);
        }
    }
    kpbidi_set_ip_settings(in.printer, &settings, &error);
    return Done(in, error, "Network settings written.");
}

int HostName(const Invocation& in) {
    kpbidi_error_tag error{};
    if (in.args.empty()) {
        Text text(kpbidi_get_host_name(in.printer, &error));
        if (!text) {
            return in.output->Failure(error);
        }
        in.output->Result("Host name: " + Printable(text.get()), json{{"host_name", text.get()}});
        return 0;
    }
    if (in.args.size() != 1) {
        return WrongArguments(in, "host-name");
    }
    if (in.args[0].size() > 32) {
        return in.output->UsageError("a host name has at most 32 bytes");
    }
    kpbidi_set_host_name(in.printer, in.args[0].c_str(), &error);
    return Done(in, error, "Host name written.");
}

int HeadSerial(const Invocation& in) {
    if (in.args.size() != 2 || !ParseHead(in.args[0])) {
        return WrongArguments(in, "head-serial");
    }
    if (in.args[1].size() > 8) {
        return in.output->UsageError("a head serial number has at most 8 characters");
    }
    kpbidi_error_tag error{};
    kpbidi_set_head_serial(in.printer, *ParseHead(in.args[0]), in.args[1].c_str(), &error);
    return Done(in, error, "Head serial number written.");
}

int VRating(const Invocation& in) {
    kpbidi_error_tag error{};
    if (in.args.empty()) {
        // Bytes 432 and 433 of the head data block.
        Data data = ReadBlock(in, 0x8016, 433, error);
        if (!data) {
            return in.output->Failure(error);
        }
        const int colour = data->data[432];
        const int white = data->data[433];
        in.output->Result("Colour head V-rating: " + std::to_string(colour) +
                              "\nWhite head V-rating:  " + std::to_string(white),
                          json{{"colour", colour}, {"white", white}});
        return 0;
    }
    const auto value = in.args.size() == 2 ? ParseInt(in.args[1], 0, 17) : std::nullopt;
    if (!value || !ParseHead(in.args[0])) {
        return WrongArguments(in, "v-rating");
    }
    kpbidi_set_head_v_rating(in.printer, *ParseHead(in.args[0]), static_cast<int>(*value), &error);
    return Done(in, error, "V-rating written.");
}

int Firing(const Invocation& in) {
    if (in.args.size() < 3 || !ParseHead(in.args[0]) || !ParseResolution(in.args[1])) {
        return WrongArguments(in, "firing");
    }
    const bool white = *ParseHead(in.args[0]) == 1;
    const int resolution = *ParseResolution(in.args[1]);
    kpbidi_error_tag error{};
    if (in.args.size() == 3 && in.args[2] == "reset") {
        if (white) {
            kpbidi_reset_white_firing(in.printer, resolution, &error);
        } else {
            kpbidi_reset_color_firing(in.printer, resolution, &error);
        }
        return Done(in, error, "Firing values reset.");
    }
    if (in.args.size() != 6) {
        return WrongArguments(in, "firing");
    }
    int v[4];
    for (int i = 0; i < 4; ++i) {
        const auto value = ParseInt(in.args[2 + i], -128, 255);
        if (!value) {
            return WrongArguments(in, "firing");
        }
        v[i] = static_cast<int>(*value);
    }
    if (white) {
        kpbidi_set_white_firing(in.printer, resolution, v[0], v[1], v[2], v[3], &error);
    } else {
        kpbidi_set_color_firing(in.printer, resolution, v[0], v[1], v[2], v[3], &error);
    }
    return Done(in, error, "Firing values written.");
}

int Alignment(const Invocation& in) {
    kpbidi_error_tag error{};
    if (in.args.empty()) {
        // Bytes 50-51 and 42-43 of the alignment data block, signed.
        Data data = ReadBlock(in, 0x8013, 51, error);
        if (!data) {
            return in.output->Failure(error);
        }
        const int first = Be16(data->data + 50);
        const int currentX = Be16(data->data + 42);
        in.output->Result("First value:      " + std::to_string(first) +
                              "\nCurrent X offset: " + std::to_string(currentX),
                          json{{"first", first}, {"current_x", currentX}});
        return 0;
    }
    if (in.args.size() < 2 || !ParseResolution(in.args[0])) {
        return WrongArguments(in, "alignment");
    }
    const int resolution = *ParseResolution(in.args[0]);
    if (in.args.size() == 2 && in.args[1] == "reset") {
        kpbidi_reset_alignment(in.printer, resolution, &error);
        return Done(in, error, "Alignment reset.");
    }
    const auto v1 = in.args.size() == 3 ? ParseInt(in.args[1], -128, 255) : std::nullopt;
    const auto v2 = in.args.size() == 3 ? ParseInt(in.args[2], -128, 255) : std::nullopt;
    if (!v1 || !v2) {
        return WrongArguments(in, "alignment");
    }
    kpbidi_set_alignment(in.printer, resolution, static_cast<int>(*v1), static_cast<int>(*v2),
                         &error);
    return Done(in, error, "Alignment written.");
}

int PlatenRolling(const Invocation& in) {
    kpbidi_error_tag error{};
    if (in.args.size() == 1 && in.args[0] == "reset") {
        kpbidi_reset_platen_rolling(in.printer, &error);
        return Done(in, error, "Platen-rolling values reset.");
    }
    const auto v1 = in.args.size() == 2 ? ParseInt(in.args[0], -128, 255) : std::nullopt;
    const auto v2 = in.args.size() == 2 ? ParseInt(in.args[1], -128, 255) : std::nullopt;
    if (!v1 || !v2) {
        return WrongArguments(in, "platen-rolling");
    }
    kpbidi_set_platen_rolling(in.printer, static_cast<int>(*v1), static_cast<int>(*v2), &error);
    return Done(in, error, "Platen-rolling values written.");
}

int Feed(const Invocation& in) {
    if (in.args.size() != 4) {
        return WrongArguments(in, "feed");
    }
    int v[4];
    for (int i = 0; i < 4; ++i) {
        const auto value = ParseInt(in.args[i], -128, 255);
        if (!value) {
            return WrongArguments(in, "feed");
        }
        v[i] = static_cast<int>(*value);
    }
    kpbidi_error_tag error{};
    kpbidi_set_feed_adjustment(in.printer, v[0], v[1], v[2], v[3], &error);
    return Done(in, error, "Feed adjustment written.");
}

int Clock(const Invocation& in) {
    if (in.args.size() > 1) {
        return WrongArguments(in, "clock");
    }
    std::uint64_t seconds = 0;
    if (in.args.empty() || in.args[0] == "now") {
        seconds = static_cast<std::uint64_t>(std::time(nullptr));
    } else if (const auto value = ParseInt(in.args[0], 0, 0x7FFFFFFFFFFFFFFF)) {
        seconds = static_cast<std::uint64_t>(*value);
    } else {
        // Local wall-clock time, as the printer shows it.
        std::tm tm{};
        const char* end = strptime(in.args[0].c_str(), "%Y-%m-%dT%H:%M:%S", &tm);
        if (end == nullptr || *end != '\0') {
            return WrongArguments(in, "clock");
        }
        tm.tm_isdst = -1;
        const std::time_t t = std::mktime(&tm);
        if (t < 0) {
            return in.output->UsageError("time out of range: " + in.args[0]);
        }
        seconds = static_cast<std::uint64_t>(t);
    }
    kpbidi_error_tag error{};
    kpbidi_set_clock(in.printer, seconds, &error);
    if (error.code != 0) {
        return in.output->Failure(error);
    }
    char shown[64];
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    std::strftime(shown, sizeof shown, "%Y-%m-%d %H:%M:%S", &local);
    in.output->Result(std::string("Printer clock set to ") + shown + ".",
                      json{{"ok", true}, {"time", seconds}});
    return 0;
}

// "HH:MM" or "HH:MM=normal" / "HH:MM=long".
bool ParseEntry(const std::string& text, kpbidi_schedule_entry_tag& entry) {
    unsigned hour = 0, minute = 0;
    char kind[16] = "normal";
    int used = 0;
    const int got =
        std::sscanf(text.c_str(), "%2u:%2u%n=%15s%n", &hour, &minute, &used, kind, &used);
    if (got < 2 || static_cast<std::size_t>(used) != text.size() || hour > 23 || minute > 59) {
        return false;
    }
    const std::string k(kind);
    if (k != "normal" && k != "long") {
        return false;
    }
    entry.hour = static_cast<std::uint8_t>(hour);
    entry.minute = static_cast<std::uint8_t>(minute);
    entry.kind = k == "long" ? 2 : 1;
    return true;
}

int Schedule(const Invocation& in) {
    kpbidi_error_tag error{};
    const std::string action = in.args.empty() ? "get" : in.args[0];
    if (action == "get" && in.args.size() <= 1) {
        Text text(kpbidi_get_circulation_schedule(in.printer, &error));
        if (!text) {
            return in.output->Failure(error);
        }
        const json doc = json::parse(text.get());
        std::string shown = doc.empty() ? "No circulation scheduled." : "";
        for (const auto& [time, kind] : doc.items()) {
            shown += time + "  " + kind.get<std::string>() + " circulation\n";
        }
        in.output->Result(shown, doc);
        return 0;
    }
    kpbidi_schedule_tag schedule{};
    if (action == "cancel" && in.args.size() == 1) {
        kpbidi_set_circulation_schedule(in.printer, &schedule, &error);
        return Done(in, error, "Circulation schedule cancelled.");
    }
    if (action != "set" || in.args.size() < 2 || in.args.size() > 9) {
        return WrongArguments(in, "schedule");
    }
    for (std::size_t i = 1; i < in.args.size(); ++i) {
        if (!ParseEntry(in.args[i], schedule.entries[schedule.count])) {
            return in.output->UsageError("not a schedule entry (HH:MM[=normal|long]): " +
                                         in.args[i]);
        }
        ++schedule.count;
    }
    kpbidi_set_circulation_schedule(in.printer, &schedule, &error);
    return Done(in, error, "Circulation schedule written.");
}

constexpr char kHexDigits[] = "0123456789abcdef";

// A block may be megabytes: its dump is written as it is formatted, never
// built whole (the readable dump is 3.5 times the block, its hex twice).
void WriteHexDump(std::ostream& out, const kpbidi_data_tag& data) {
    char line[128];
    std::snprintf(line, sizeof line,
                  "value1: 0x%08" PRIx32 "  value2: 0x%08" PRIx32 "  size: %zu\n", data.value1,
                  data.value2, data.size);
    out << line;
    for (std::size_t i = 0; i < data.size; i += 16) {
        auto at = static_cast<std::size_t>(std::snprintf(line, sizeof line, "%06zx ", i));
        for (std::size_t j = i; j < i + 16 && j < data.size; ++j) {
            line[at++] = ' ';
            line[at++] = kHexDigits[data.data[j] >> 4];
            line[at++] = kHexDigits[data.data[j] & 0xF];
        }
        line[at++] = '\n';
        out.write(line, static_cast<std::streamsize>(at));
    }
}

// The same document as json{{"value1", ...}, {"value2", ...}, {"size", ...},
// {"data", hex}}.dump(), in its member order, with the hex written in pieces.
void WriteJsonBlock(std::ostream& out, const kpbidi_data_tag& data) {
    out << "{\"data\":\"";
    char hex[8192];
    std::size_t used = 0;
    for (std::size_t i = 0; i < data.size; ++i) {
        hex[used++] = kHexDigits[data.data[i] >> 4];
        hex[used++] = kHexDigits[data.data[i] & 0xF];
        if (used == sizeof hex) {
            out.write(hex, static_cast<std::streamsize>(used));
            used = 0;
        }
    }
    out.write(hex, static_cast<std::streamsize>(used));
    out << "\",\"size\":" << data.size << ",\"value1\":" << data.value1
        << ",\"value2\":" << data.value2 << "}\n";
}

int ReadData(const Invocation& in) {
    const auto id = in.args.size() == 1 ? ParseInt(in.args[0], 0, 0x7FFFFFFF) : std::nullopt;
    if (!id) {
        return WrongArguments(in, "read-data");
    }
    kpbidi_error_tag error{};
    Data data(kpbidi_read_data(in.printer, static_cast<int>(*id), &error));
    if (!data) {
        return in.output->Failure(error);
    }
    std::ostream& out = in.output->Stream();
    if (in.output->json()) {
        WriteJsonBlock(out, *data);
    } else {
        WriteHexDump(out, *data);
    }
    out.flush();
    return 0;
}

int FetchLog(const Invocation& in) {
    if (in.args.size() != 1 || in.args[0].empty()) {
        return WrongArguments(in, "fetch-log");
    }
    const LogFileResult result =
        FetchLogToFile(in.printer, in.args[0], !in.output->json() && isatty(STDERR_FILENO));
    if (result.error.code != 0) {
        return in.output->Failure(result.error);
    }
    if (!result.problem.empty()) {
        return in.output->Problem(result.problem);
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", result.seconds);
    in.output->Result(
        "Saved " + std::to_string(result.bytes) + " bytes of log to " + Printable(in.args[0]) +
            " in " + seconds + " s.",
        json{{"file", in.args[0]}, {"bytes", result.bytes}, {"seconds", result.seconds}});
    return 0;
}

int DeviceId(const Invocation& in) {
    if (!in.args.empty()) {
        return WrongArguments(in, "device-id");
    }
    kpbidi_error_tag error{};
    const Text text(kpbidi_get_device_id(in.printer, &error));
    if (!text) {
        return in.output->Failure(error);
    }
    const std::string id(text.get());
    in.output->Result(Printable(id), json{{"device_id", id}});
    return 0;
}

}  // namespace

const std::vector<Subcommand>& Subcommands() {
    static const std::vector<Subcommand> table = {
        {"info", "", "show the printer's 18-digit code, serial number and MAC address", "", Info},
        {"ip-mode", "[static|auto]", "show or set how the printer gets its IP address", "", IpMode},
        {"ip-settings", "[ADDRESS MASK GATEWAY]", "show or set the static IP address settings",
         "Without arguments the current settings are read from the printer.", IpSettings},
        {"host-name", "[NAME]", "show or set the printer's host name (at most 32 bytes)", "",
         HostName},
        {"head-serial", "colour|white SERIAL", "register a replaced head's serial number",
         "SERIAL has at most 8 characters.", HeadSerial},
        {"v-rating", "[colour|white VALUE]", "show or set a head's V-rating (0..17)", "", VRating},
        {"firing", "colour|white 1200|600 (V1 V2 V3 V4 | reset)",
         "write or reset the firing adjustment of the colour or white heads",
         "Values -128..255 are sent as bytes, in the order the printer's panel lists them.",
         Firing},
        {"alignment", "[1200|600 (X Y | reset)]", "show, write or reset the white/colour alignment",
         "Without arguments the current values are read from the printer.", Alignment},
        {"platen-rolling", "V1 V2 | reset", "write or reset the platen-rolling adjustment", "",
         PlatenRolling},
        {"feed", "V1 V2 V3 V4", "write the feed adjustment", "", Feed},
        {"clock", "[now|SECONDS|YYYY-MM-DDTHH:MM:SS]", "set the printer's clock (default: now)",
         "SECONDS counts from 1970-01-01 UTC; a date and time is local time.", Clock},
        {"schedule", "get | set HH:MM[=normal|long]... | cancel",
         "show, set (up to 8 times) or cancel the white-ink circulation schedule", "", Schedule},
        {"read-data", "ID", "read a numbered data block (for example 0x8011) and dump it", "",
         ReadData},
        {"fetch-log", "FILE", "save the printer's log to FILE",
         "The log is written beside FILE and renamed into place only when complete;\n"
         "an interrupted or failed fetch leaves no file behind. FILE must be new or\n"
         "a regular file of yours; a device, FIFO, folder, symbolic link or another\n"
         "user's file is refused. A printer that sends no whole log block for 30 s\n"
         "ends the fetch with error 1005 (Timeout).",
         FetchLog},
        {"device-id", "", "show the printer's IEEE 1284 device identifier", "", DeviceId},
        {"discover", "",
         "find KPM printers on the networks and USB, and the queues the wizard lists",
         "Needs no printer. Network printers are found by one SNMP broadcast per\n"
         "network interface and confirmed by the printer protocol, within 3 s.",
         Discover, false},
    };
    return table;
}

const Subcommand* FindSubcommand(const std::string& name) {
    for (const Subcommand& sub : Subcommands()) {
        if (name == sub.name) {
            return &sub;
        }
    }
    return nullptr;
}

}  // namespace kpbidi_tool
