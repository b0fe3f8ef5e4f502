#include "tools/kpbidi/output.h"

#include <cstdio>
#include <iostream>

#include "tools/kpbidi/printable.h"

namespace kpbidi_tool {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::string Dump(const nlohmann::json& document) {
    return document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string CodeName(std::int32_t code) {
    if (const char* name = kpbidi_error_name(code)) {
        return name;
    }
    return "printer status";
}

void Output::Result(const std::string& text, const nlohmann::json& document) const {
    if (json_) {
        std::cout << Dump(document) << '\n';
    } else if (!text.empty()) {
        std::cout << text << (text.back() == '\n' ? "" : "\n");
    }
    std::cout.flush();
}

std::ostream& Output::Stream() const {
    return std::cout;
}

int Output::Failure(const kpbidi_error_tag& error) const {
    const std::string name = CodeName(error.code);
    if (json_) {
        nlohmann::json message = nullptr;
        if (error.message != nullptr) {
            message = error.message;
        }
        const nlohmann::json document = {
            {"error", {{"code", error.code}, {"name", name}, {"message", message}}}};
        std::cout << Dump(document) << std::endl;
    } else {
        std::cerr << "kpbidi: error " << error.code << " (" << name << ")";
        if (error.message != nullptr) {
            std::cerr << ": " << error.message;
        }
        std::cerr << std::endl;
    }
    return kFailed;
}

int Output::Problem(const std::string& message) const {
    if (json_) {
        std::cout << Dump({{"error", {{"message", message}}}}) << std::endl;
    }
    std::cerr << "kpbidi: " << Printable(message) << std::endl;
    return kFailed;
}

int Output::UsageError(const std::string& message) const {
    if (json_) {
        std::cout << Dump({{"error", {{"usage", message}}}}) << std::endl;
    }
    std::cerr << "kpbidi: " << Printable(message) << "\nTry 'kpbidi --help'." << std::endl;
    return kUsage;
}

}  // namespace kpbidi_tool
