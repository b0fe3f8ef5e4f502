// Owners for what the flat interface hands out, for C++ callers: each
// releases its object with the interface's own function.
#pragma once

#include <memory>

#include "bidi/capi/kpbidi.h"

namespace kpbidi {

struct ClosePrinter {
    void operator()(kpbidi_printer_tag* printer) const { kpbidi_close_printer(printer); }
};
struct FreeString {
    void operator()(char* text) const { kpbidi_free_string(text); }
};
struct FreeData {
    void operator()(kpbidi_data_tag* data) const { kpbidi_free_data(data); }
};

using PrinterHandle = std::unique_ptr<kpbidi_printer_tag, ClosePrinter>;
using Text = std::unique_ptr<char, FreeString>;
using DataRecord = std::unique_ptr<kpbidi_data_tag, FreeData>;

}  // namespace kpbidi
