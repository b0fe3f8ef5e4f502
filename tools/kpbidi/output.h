// How the kpbidi tool reports: readable lines by default, one JSON object
// per command with --json, and failures with their code and name.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>

#include "bidi/capi/kpbidi.h"

namespace kpbidi_tool {

class Output {
public:
    explicit Output(bool json) : json_(json) {}

    bool json() const { return json_; }

    // A result: `text` for people, `document` for scripts.
    void Result(const std::string& text, const nlohmann::json& document) const;

    // Where a result too large to build as one text is written, in the form
    // json() asks for.
    std::ostream& Stream() const;

    // Prints the failure of a library call; returns the process exit status.
    int Failure(const kpbidi_error_tag& error) const;

    // A failure of the tool's own work (a file it cannot write); exit status 1.
    // The message is shown with its control characters escaped.
    int Problem(const std::string& message) const;

    // A usage or input problem of the tool itself (exit status 2).
    int UsageError(const std::string& message) const;

private:
    bool json_;
};

// Compact JSON in which text that is not valid UTF-8 (a printer's bytes, a
// file name) is written with U+FFFD instead of failing.
std::string Dump(const nlohmann::json& document);

// "InvalidResponse" for a library code, "printer status" for any other.
std::string CodeName(std::int32_t code);

}  // namespace kpbidi_tool
