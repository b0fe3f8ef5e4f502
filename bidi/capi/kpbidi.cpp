// The flat interface: the only place where the library's exceptions are
// caught. Each function checks its handle, clears the error record, runs one
// operation and turns whatever it raised into the record.
#include "bidi/capi/kpbidi.h"

#include <cstring>
#include <new>
#include <system_error>

#include "bidi/capi/documents.h"
#include "bidi/capi/error.h"
#include "bidi/capi/handle.h"
#include "bidi/capi/utf8.h"
#include "bidi/protocol/log_fetch.h"

namespace {

using KpBidi::Printer;

void Report(kpbidi_error_tag* error, std::int32_t code, const char* message) noexcept {
    if (error != nullptr) {
        error->code = code;
        error->message = message;
    }
}

// Runs `body` on the handle's printer with the handler order of the
// interface; returns its result, or `failed` after anything was raised.
template <class Result, class Body>
Result Run(kpbidi_printer_tag* printer, kpbidi_error_tag* error, Result failed, Body&& body) {
    if (printer == nullptr) {
        Report(error, KpBidi::InvalidArgument, "printer");
        return failed;
    }
    Report(error, KpBidi::Success, nullptr);
    try {
        return body(*printer->printer);
    } catch (const std::bad_alloc&) {
        Report(error, KpBidi::OutOfMemory, nullptr);
    } catch (const KpBidi::Error& e) {
        Report(error, e.code, e.message);
    } catch (const std::system_error&) {
        Report(error, KpBidi::SystemError, nullptr);
    } catch (...) {
        Report(error, KpBidi::Unexpected, "Unexpected exception was thrown");
    }
    return failed;
}

template <class Body>
void RunVoid(kpbidi_printer_tag* printer, kpbidi_error_tag* error, Body&& body) {
    Run(printer, error, 0, [&](Printer& p) {
        body(p);
        return 0;
    });
}

// A non-zero printer status becomes the call's error code.
void Check(std::int32_t status) {
    if (status != 0) {
        throw KpBidi::Error(status);
    }
}

// The argument NULL checks the interface adds: reported like a NULL handle,
// with the parameter's name, before anything is looked up or sent.
void Require(const void* argument, const char* name) {
    if (argument == nullptr) {
        throw KpBidi::Error(KpBidi::InvalidArgument, name);
    }
}

// A caller-owned copy of `text` up to its first NUL byte.
char* CopyText(const std::string& text) {
    const std::size_t length = std::strlen(text.c_str());
    char* copy = new char[length + 1];
    std::memcpy(copy, text.c_str(), length);
    copy[length] = '\0';
    return copy;
}

unsigned char Low8(int value) {
    return static_cast<unsigned char>(value);
}

}  // namespace

namespace KpBidi::capi {

kpbidi_printer_tag* AdoptPrinter(std::unique_ptr<Printer> printer, kpbidi_error_tag* error) {
    if (!printer) {
        Report(error, InvalidArgument, "printer");
        return nullptr;
    }
    auto* handle = new (std::nothrow) kpbidi_printer_tag;
    if (handle == nullptr) {
        Report(error, OutOfMemory, nullptr);
        return nullptr;
    }
    handle->printer = std::move(printer);
    Report(error, Success, nullptr);
    return handle;
}

std::string GetDeviceId(kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
    return Run(printer, error, std::string(),
               [](Printer& p) { return p.CreateConnector()->GetDeviceId(); });
}

}  // namespace KpBidi::capi

extern "C" {

void kpbidi_close_printer(kpbidi_printer_tag* printer) {
    delete printer;
}

char* kpbidi_get_printer_info(kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
    return Run(printer, error, static_cast<char*>(nullptr), [](Printer& p) {
        const KpBidi::PrinterInfo info = p.GetPrinterInfo();
        Check(info.status);
        return CopyText(KpBidi::PrinterInfoDocument(info));
    });
}

int kpbidi_get_ip_mode(kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
    return Run(printer, error, 0, [](Printer& p) {
        const KpBidi::IpModeResult result = p.GetIpMode();
        Check(result.status);
        return static_cast<int>(result.mode);
    });
}

void kpbidi_set_ip_mode(kpbidi_printer_tag* printer, int mode, kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) { Check(p.SetIpMode(mode)); });
}

void kpbidi_set_ip_settings(kpbidi_printer_tag* printer, const kpbidi_ip_settings_tag* settings,
                            kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Require(settings, "settings");
        std::array<unsigned char, 12> bytes{};
        std::memcpy(bytes.data(), settings->address, 4);
        std::memcpy(bytes.data() + 4, settings->subnet_mask, 4);
        std::memcpy(bytes.data() + 8, settings->gateway, 4);
        Check(p.SetIpSettings(bytes));
    });
}

char* kpbidi_get_host_name(kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
    return Run(printer, error, static_cast<char*>(nullptr), [](Printer& p) {
        const KpBidi::HostNameResult result = p.GetHostName();
        Check(result.status);
        // The printer's bytes are not trusted to be the UTF-8 promised.
        return CopyText(KpBidi::ValidUtf8(result.text.c_str()));
    });
}

char* kpbidi_get_device_id(kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
    return Run(printer, error, static_cast<char*>(nullptr),
               [](Printer& p) { return CopyText(p.CreateConnector()->GetDeviceId()); });
}

void kpbidi_set_host_name(kpbidi_printer_tag* printer, const char* host_name,
                          kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Require(host_name, "host_name");
        Check(p.SetHostName(host_name, std::strlen(host_name)));
    });
}

void kpbidi_set_head_serial(kpbidi_printer_tag* printer, int head, const char* serial,
                            kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Require(serial, "serial");
        Check(p.SetHeadSerial(head, serial, std::strlen(serial)));
    });
}

void kpbidi_set_head_v_rating(kpbidi_printer_tag* printer, int head, int v_rating,
                              kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) { Check(p.SetHeadVRating(head, v_rating)); });
}

void kpbidi_set_color_firing(kpbidi_printer_tag* printer, int resolution_flag, int value1,
                             int value2, int value3, int value4, kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendFiring(
            {Low8(resolution_flag), 0, 0, Low8(value4), Low8(value2), Low8(value1), Low8(value3)}));
    });
}

void kpbidi_reset_color_firing(kpbidi_printer_tag* printer, int resolution_flag,
                               kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendFiring({Low8(resolution_flag), 0, 1, 0, 0, 0, 0}));
    });
}

void kpbidi_set_white_firing(kpbidi_printer_tag* printer, int resolution_flag, int value1,
                             int value2, int value3, int value4, kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendFiring(
            {Low8(resolution_flag), 1, 0, Low8(value1), Low8(value4), Low8(value3), Low8(value2)}));
    });
}

void kpbidi_reset_white_firing(kpbidi_printer_tag* printer, int resolution_flag,
                               kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendFiring({Low8(resolution_flag), 1, 1, 0, 0, 0, 0}));
    });
}

void kpbidi_set_alignment(kpbidi_printer_tag* printer, int resolution_flag, int value1, int value2,
                          kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendAlignment({0, Low8(resolution_flag), Low8(value1), Low8(value2)}));
    });
}

void kpbidi_reset_alignment(kpbidi_printer_tag* printer, int resolution_flag,
                            kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendAlignment({1, Low8(resolution_flag), 0, 0}));
    });
}

void kpbidi_set_platen_rolling(kpbidi_printer_tag* printer, int value1, int value2,
                               kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendPlatenRolling({0, Low8(value1), Low8(value2)}));
    });
}

void kpbidi_reset_platen_rolling(kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) { Check(p.SendPlatenRolling({1, 0, 0})); });
}

void kpbidi_set_feed_adjustment(kpbidi_printer_tag* printer, int value1, int value2, int value3,
                                int value4, kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Check(p.SendFeedAdjustment({Low8(value1), Low8(value2), Low8(value3), Low8(value4)}));
    });
}

void kpbidi_set_clock(kpbidi_printer_tag* printer, uint64_t time, kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) { Check(p.SetClock(time)); });
}

void kpbidi_set_circulation_schedule(kpbidi_printer_tag* printer,
                                     const kpbidi_schedule_tag* schedule, kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Require(schedule, "schedule");
        KpBidi::ScheduleEntries entries;
        entries.count = schedule->count;
        for (std::size_t i = 0; i < entries.entries.size(); ++i) {
            entries.entries[i] = KpBidi::ScheduleEntry{
                schedule->entries[i].hour, schedule->entries[i].minute, schedule->entries[i].kind};
        }
        Check(p.SetCirculationSchedule(entries));
    });
}

char* kpbidi_get_circulation_schedule(kpbidi_printer_tag* printer, kpbidi_error_tag* error) {
    return Run(printer, error, static_cast<char*>(nullptr), [](Printer& p) {
        const KpBidi::CirculationSchedule schedule = p.GetCirculationSchedule();
        Check(schedule.status);
        return CopyText(KpBidi::CirculationScheduleDocument(schedule));
    });
}

void kpbidi_fetch_log(kpbidi_printer_tag* printer, kpbidi_log_callback callback, void* context,
                      kpbidi_error_tag* error) {
    RunVoid(printer, error, [&](Printer& p) {
        Require(reinterpret_cast<const void*>(callback), "callback");
        KpBidi::Bidi bidi(p);
        bidi.FetchLog([callback, context](const unsigned char* data, std::size_t size) {
            return callback(context, data, size);
        });
    });
}

kpbidi_data_tag* kpbidi_read_data(kpbidi_printer_tag* printer, int data_id,
                                  kpbidi_error_tag* error) {
    return Run(printer, error, static_cast<kpbidi_data_tag*>(nullptr), [&](Printer& p) {
        KpBidi::DataBlock block = p.ReadData(data_id);
        // The record takes the block's bytes over; they are not copied again.
        auto storage = std::make_unique<std::vector<unsigned char>>(std::move(block.data));
        auto* record = new kpbidi_data_tag{};
        record->value1 = block.value1;
        record->value2 = block.value2;
        record->size = storage->size();
        record->data = storage->data();
        record->storage_ = storage.release();
        return record;
    });
}

void kpbidi_free_data(kpbidi_data_tag* data) {
    if (data != nullptr) {
        delete static_cast<std::vector<unsigned char>*>(data->storage_);
        delete data;
    }
}

void kpbidi_free_string(char* text) {
    delete[] text;
}

}  // extern "C"
