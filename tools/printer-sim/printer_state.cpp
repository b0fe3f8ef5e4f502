#include "tools/printer-sim/printer_state.h"

#include "tools/printer-sim/replace_file.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kpm::sim {
namespace {

using nlohmann::json;

const char* const kResolutionNames[2] = {"600dpi", "1200dpi"};
const char* const kHeadNames[2] = {"color", "white"};

[[noreturn]] void Bad(const std::string& member, const std::string& why) {
    throw std::invalid_argument("state member \"" + member + "\": " + why);
}

// Reads an integer member within [low, high].
template <class T>
void ReadInt(const json& object, const char* name, const std::string& path, T& out,
             std::int64_t low, std::int64_t high) {
    if (!object.contains(name)) {
        return;
    }
    const json& v = object.at(name);
    const std::string member = path + name;
    if (!v.is_number_integer()) {
        Bad(member, "expected an integer");
    }
    const auto n = v.get<std::int64_t>();
    if (n < low || n > high) {
        Bad(member, "expected " + std::to_string(low) + " to " + std::to_string(high));
    }
    out = static_cast<T>(n);
}

void ReadString(const json& object, const char* name, const std::string& path, std::string& out,
                std::size_t maxBytes) {
    if (!object.contains(name)) {
        return;
    }
    const json& v = object.at(name);
    if (!v.is_string()) {
        Bad(path + name, "expected a string");
    }
    std::string s = v.get<std::string>();
    if (s.size() > maxBytes) {
        Bad(path + name, "longer than " + std::to_string(maxBytes) + " bytes");
    }
    out = std::move(s);
}

void ReadBool(const json& object, const char* name, const std::string& path, bool& out) {
    if (!object.contains(name)) {
        return;
    }
    if (!object.at(name).is_boolean()) {
        Bad(path + name, "expected true or false");
    }
    out = object.at(name).get<bool>();
}

void ReadAddress(const json& object, const char* name, const std::string& path,
                 std::uint32_t& out) {
    std::string text;
    ReadString(object, name, path, text, 15);
    if (!object.contains(name)) {
        return;
    }
    const auto parsed = ParseIPv4(text);
    if (!parsed) {
        Bad(path + name, "expected a dotted IPv4 address");
    }
    out = *parsed;
}

template <std::size_t N>
void ReadSignedBytes(const json& object, const char* name, const std::string& path,
                     std::array<std::int8_t, N>& out) {
    if (!object.contains(name)) {
        return;
    }
    const json& v = object.at(name);
    if (!v.is_array() || v.size() != N) {
        Bad(path + name, "expected an array of " + std::to_string(N) + " integers");
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (!v[i].is_number_integer() || v[i].get<std::int64_t>() < -128 ||
            v[i].get<std::int64_t>() > 127) {
            Bad(path + name, "expected integers from -128 to 127");
        }
        out[i] = static_cast<std::int8_t>(v[i].get<std::int64_t>());
    }
}

const json& Object(const json& parent, const char* name, const std::string& path) {
    static const json empty = json::object();
    if (!parent.contains(name)) {
        return empty;
    }
    if (!parent.at(name).is_object()) {
        Bad(path + name, "expected an object");
    }
    return parent.at(name);
}

}  // namespace

PrinterState FactoryState() {
    PrinterState s;
    s.digits18Code = "BKPM735H0000012345";
    s.serialNumber = "A7350142";
    s.mac = {0x02, 0x4B, 0x50, 0x4D, 0x07, 0x35};
    s.ipMode = 1;
    s.ipAddress = 0xC0A80032;   // 192.168.0.50
    s.subnetMask = 0xFFFFFF00;  // 255.255.255.0
    s.gateway = 0xC0A80001;     // 192.168.0.1
    s.hostName = "KPM735-0142";
    s.heads[ColorHead] = {"C4170331", 6};
    s.heads[WhiteHead] = {"W4170332", 9};
    return s;
}

std::string DeviceId(const PrinterState& state) {
    if (!state.deviceId.empty()) {
        return state.deviceId;
    }
    return "MFG:Corvane;MDL:KPM pro;CMD:KPM;CLS:PRINTER;DES:Corvane KPM pro;SN:" +
           state.serialNumber + ";";
}

json ToJson(const PrinterState& s) {
    json j;
    j["identity"] = {{"digits_18_code", s.digits18Code},
                     {"serial_number", s.serialNumber},
                     {"mac_address", FormatMac(s.mac)}};
    j["device_id"] = s.deviceId;
    j["network"] = {{"ip_mode", s.ipMode},
                    {"ip_address", FormatIPv4(s.ipAddress)},
                    {"subnet_mask", FormatIPv4(s.subnetMask)},
                    {"gateway", FormatIPv4(s.gateway)},
                    {"host_name", s.hostName}};
    json firing = json::object();
    json alignment = json::object();
    for (std::size_t r = 0; r < 2; ++r) {
        for (std::size_t h = 0; h < 2; ++h) {
            firing[kResolutionNames[r]][kHeadNames[h]] = s.firing[r][h];
        }
        alignment[kResolutionNames[r]] = {{"x", s.alignment[r].x}, {"y", s.alignment[r].y}};
    }
    j["firing"] = firing;
    j["alignment"] = alignment;
    j["platen_rolling"] = s.platenRolling;
    j["feed_adjustment"] = s.feed;
    for (std::size_t h = 0; h < 2; ++h) {
        j["heads"][kHeadNames[h]] = {{"serial", s.heads[h].serial},
                                     {"v_rating", s.heads[h].vRating}};
    }
    if (s.clockSeconds) {
        j["clock"] = {{"seconds_since_2000", *s.clockSeconds},
                      {"as_text", FormatSecondsSince2000(*s.clockSeconds)}};
    } else {
        j["clock"] = {{"seconds_since_2000", nullptr}};
    }
    json schedule = json::array();
    for (const ScheduleEntry& e : s.schedule) {
        char time[8];
        std::snprintf(time, sizeof time, "%02u:%02u", e.hour, e.minute);
        schedule.push_back({{"time", time}, {"kind", e.kind == 2 ? "long" : "normal"}});
    }
    j["circulation_schedule"] = schedule;
    j["log"] = {{"size", s.log.size},
                {"block_size", s.log.blockSize},
                {"order", LogOrderName(s.log.order)},
                {"seed", s.log.seed}};
    if (s.log.text) {
        j["log"]["text"] = *s.log.text;
    }
    j["firmware_too_old"] = s.firmwareTooOld;
    return j;
}

PrinterState StateFromJson(const json& j) {
    if (!j.is_object()) {
        throw std::invalid_argument("state: expected a JSON object");
    }
    PrinterState s = FactoryState();

    const json& identity = Object(j, "identity", "");
    ReadString(identity, "digits_18_code", "identity.", s.digits18Code, kIdentityFieldSize);
    ReadString(identity, "serial_number", "identity.", s.serialNumber, kIdentityFieldSize);
    if (identity.contains("mac_address")) {
        std::string mac;
        ReadString(identity, "mac_address", "identity.", mac, 17);
        unsigned b[6];
        char tail = 0;
        if (std::sscanf(mac.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4],
                        &b[5], &tail) != 6) {
            Bad("identity.mac_address", "expected six hexadecimal octets joined by ':'");
        }
        for (int i = 0; i < 6; ++i) {
            s.mac[i] = static_cast<std::uint8_t>(b[i]);
        }
    }
    ReadString(j, "device_id", "", s.deviceId, 1023);

    const json& network = Object(j, "network", "");
    ReadInt(network, "ip_mode", "network.", s.ipMode, 0, 1);
    ReadAddress(network, "ip_address", "network.", s.ipAddress);
    ReadAddress(network, "subnet_mask", "network.", s.subnetMask);
    ReadAddress(network, "gateway", "network.", s.gateway);
    ReadString(network, "host_name", "network.", s.hostName, kHostNameSize);

    const json& firing = Object(j, "firing", "");
    const json& alignment = Object(j, "alignment", "");
    for (std::size_t r = 0; r < 2; ++r) {
        const std::string rpath = std::string(kResolutionNames[r]) + ".";
        const json& fr = Object(firing, kResolutionNames[r], "firing.");
        for (std::size_t h = 0; h < 2; ++h) {
            ReadSignedBytes(fr, kHeadNames[h], "firing." + rpath, s.firing[r][h]);
        }
        const json& ar = Object(alignment, kResolutionNames[r], "alignment.");
        ReadInt(ar, "x", "alignment." + rpath, s.alignment[r].x, -32768, 32767);
        ReadInt(ar, "y", "alignment." + rpath, s.alignment[r].y, -32768, 32767);
    }
    ReadSignedBytes(j, "platen_rolling", "", s.platenRolling);
    ReadSignedBytes(j, "feed_adjustment", "", s.feed);

    const json& heads = Object(j, "heads", "");
    for (std::size_t h = 0; h < 2; ++h) {
        const std::string hpath = std::string("heads.") + kHeadNames[h] + ".";
        const json& head = Object(heads, kHeadNames[h], "heads.");
        ReadString(head, "serial", hpath, s.heads[h].serial, kHeadSerialSize);
        ReadInt(head, "v_rating", hpath, s.heads[h].vRating, 0, kMaxVRating);
    }

    const json& clock = Object(j, "clock", "");
    if (clock.contains("seconds_since_2000") && !clock.at("seconds_since_2000").is_null()) {
        std::uint32_t seconds = 0;
        ReadInt(clock, "seconds_since_2000", "clock.", seconds, 0, 0xFFFFFFFFll);
        s.clockSeconds = seconds;
    } else if (clock.contains("seconds_since_2000")) {
        s.clockSeconds.reset();
    }

    if (j.contains("circulation_schedule")) {
        const json& list = j.at("circulation_schedule");
        if (!list.is_array() || list.size() > kMaxScheduleEntries) {
            Bad("circulation_schedule", "expected an array of at most 8 entries");
        }
        s.schedule.clear();
        for (const json& e : list) {
            std::string time;
            std::string kind;
            if (!e.is_object()) {
                Bad("circulation_schedule", "expected objects {\"time\", \"kind\"}");
            }
            ReadString(e, "time", "circulation_schedule[].", time, 5);
            ReadString(e, "kind", "circulation_schedule[].", kind, 6);
            unsigned hour = 0;
            unsigned minute = 0;
            char tail = 0;
            if (std::sscanf(time.c_str(), "%2u:%2u%c", &hour, &minute, &tail) != 2 || hour > 23 ||
                minute > 59) {
                Bad("circulation_schedule[].time", "expected HH:MM");
            }
            if (kind != "normal" && kind != "long") {
                Bad("circulation_schedule[].kind", "expected \"normal\" or \"long\"");
            }
            s.schedule.push_back({static_cast<std::uint8_t>(hour),
                                  static_cast<std::uint8_t>(minute), kind == "long" ? 2 : 1});
        }
    }

    const json& log = Object(j, "log", "");
    ReadInt(log, "size", "log.", s.log.size, 0, std::int64_t{1} << 40);
    ReadInt(log, "block_size", "log.", s.log.blockSize, 1, 16 << 20);
    ReadInt(log, "seed", "log.", s.log.seed, 0, 0xFFFFFFFFll);
    if (log.contains("order")) {
        std::string order;
        ReadString(log, "order", "log.", order, 16);
        const auto parsed = ParseLogOrder(order);
        if (!parsed) {
            Bad("log.order", "expected in-order, reverse, pairs or shuffle");
        }
        s.log.order = *parsed;
    }
    if (log.contains("text")) {
        std::string text;
        ReadString(log, "text", "log.", text, std::size_t{1} << 30);
        s.log.text = std::move(text);
    }

    ReadBool(j, "firmware_too_old", "", s.firmwareTooOld);
    return s;
}

void SaveState(const PrinterState& state, const std::filesystem::path& path) {
    ReplaceFile(path, ToJson(state).dump(2) + "\n");
}

PrinterState LoadState(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read state file " + path.string());
    }
    json j;
    try {
        in >> j;
    } catch (const json::parse_error& e) {
        // Only where it failed: the library's message quotes the file.
        throw std::runtime_error("state file " + path.string() + " is not JSON (byte " +
                                 std::to_string(e.byte) + ")");
    } catch (const json::exception&) {
        throw std::runtime_error("state file " + path.string() + " is not JSON");
    }
    try {
        return StateFromJson(j);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(path.string() + ": " + e.what());
    }
}

std::string FormatIPv4(std::uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." +
           std::to_string((a >> 8) & 0xFF) + "." + std::to_string(a & 0xFF);
}

std::optional<std::uint32_t> ParseIPv4(const std::string& text) {
    unsigned o[4];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u%c", &o[0], &o[1], &o[2], &o[3], &tail) != 4) {
        return std::nullopt;
    }
    std::uint32_t a = 0;
    for (const unsigned v : o) {
        if (v > 255) {
            return std::nullopt;
        }
        a = (a << 8) | v;
    }
    return a;
}

std::string FormatMac(const std::array<std::uint8_t, 6>& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

const char* LogOrderName(LogOrder order) {
    switch (order) {
        case LogOrder::InOrder:
            return "in-order";
        case LogOrder::Reverse:
            return "reverse";
        case LogOrder::Pairs:
            return "pairs";
        case LogOrder::Shuffle:
            return "shuffle";
    }
    return "in-order";
}

std::optional<LogOrder> ParseLogOrder(const std::string& name) {
    for (const LogOrder o :
         {LogOrder::InOrder, LogOrder::Reverse, LogOrder::Pairs, LogOrder::Shuffle}) {
        if (name == LogOrderName(o)) {
            return o;
        }
    }
    return std::nullopt;
}

std::string FormatSecondsSince2000(std::uint32_t seconds) {
    constexpr std::int64_t kDays1970To2000 = 10957;
    const std::int64_t days = kDays1970To2000 + seconds / 86400;
    const std::uint32_t rest = seconds % 86400;
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02u:%02u:%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  rest / 3600, rest / 60 % 60, rest % 60);
    return text;
}

}  // namespace kpm::sim
