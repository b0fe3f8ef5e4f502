#include "tools/printer-sim/request_log.h"

#include <cstdio>
#include <ctime>

namespace kpm::sim {
namespace {

std::string FormatTime(std::chrono::system_clock::time_point time) {
    const auto since = time.time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since).count();
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(since).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

std::string Hex(const RequestRecord::Sent& sent) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < sent.data.size(); ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += digits[sent.data[i] >> 4];
        text += digits[sent.data[i] & 15];
    }
    if (sent.dataSize > sent.data.size()) {
        text += " ... (" + std::to_string(sent.dataSize) + " bytes)";
    }
    return text;
}

}  // namespace

std::string FormatRequestLine(const RequestRecord& r) {
    std::string line = FormatTime(r.time);
    switch (r.kind) {
        case RequestRecord::Kind::Malformed:
            return line + " malformed: " + r.note;
        case RequestRecord::Kind::Job:
            return line + " job: " + r.note;
        case RequestRecord::Kind::Request:
            break;
    }
    char id[16];
    std::snprintf(id, sizeof id, "%08x", r.id);
    line += " id ";
    line += id;
    for (const RequestRecord::Sent& sent : r.commands) {
        line += "  " + std::to_string(sent.code) + "(" + Hex(sent) + ")";
    }
    line += "  ->";
    if (r.answers.empty()) {
        line += " no answer";
    }
    for (const auto& [code, status] : r.answers) {
        line += " " + std::to_string(code) + ":" + std::to_string(status);
    }
    if (!r.note.empty()) {
        line += "  (" + r.note + ")";
    }
    if (!r.faults.empty()) {
        line += "  [fault";
        for (const std::string& f : r.faults) {
            line += " " + f;
        }
        line += "]";
    }
    return line;
}

}  // namespace kpm::sim
