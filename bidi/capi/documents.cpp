#include "bidi/capi/documents.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace KpBidi {

// nlohmann::json keeps object members in a std::map, so they serialize in
// ascending byte order of their names; dump() without indent is compact.

std::string PrinterInfoDocument(const PrinterInfo& info) {
    nlohmann::json document = nlohmann::json::object();
    document["digits_18_code"] = info.digits18Code;
    document["mac_address"] = info.macAddress;
    document["serial_number"] = info.serialNumber;
    return document.dump();
}

std::string CirculationScheduleDocument(const CirculationSchedule& schedule) {
    nlohmann::json document = nlohmann::json::object();
    for (std::size_t i = 0; i < schedule.count && i < schedule.entries.size(); ++i) {
        const ScheduleEntry& entry = schedule.entries[i];
        char name[16];
        std::snprintf(name, sizeof name, "%02d:%02d", entry.hour, entry.minute);
        document[name] = entry.kind == 2 ? "long" : "normal";
    }
    return document.dump();
}

}  // namespace KpBidi
