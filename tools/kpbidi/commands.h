// The subcommands of the kpbidi tool: one per function of the flat
// interface, plus the device identifier.
#pragma once

#include <string>
#include <vector>

#include "bidi/capi/kpbidi.h"
#include "tools/kpbidi/output.h"

namespace kpbidi_tool {

struct Invocation {
    kpbidi_printer_tag* printer = nullptr;
    const Output* output = nullptr;
    std::vector<std::string> args;  // after the subcommand's name
};

struct Subcommand {
    const char* name;
    const char* usage;    // arguments, as shown after the name
    const char* summary;  // one line
    const char* details;  // further lines of --help, may be empty
    int (*run)(const Invocation&);
    // false: the command names no printer (Invocation::printer is null).
    bool needsPrinter = true;
};

const std::vector<Subcommand>& Subcommands();
const Subcommand* FindSubcommand(const std::string& name);

}  // namespace kpbidi_tool
