/*
 * kpbidi.h - the flat interface of the KPM printer communication library.
 *
 * A printer is an opaque handle opened by its print-queue name. Every
 * function that talks to the printer performs exactly one request and
 * returns only after the whole exchange; nothing is kept open between calls,
 * so a printer whose connection changed is found anew by the next call.
 *
 * Errors: every function that takes a `kpbidi_error_tag *error` fills it
 * (unless `error` is NULL): `code` 0 and `message` NULL on success, otherwise
 * an error code below and NULL or a static text naming the failing step. The
 * text is owned by the library, stays valid for the life of the process and
 * is never freed by the caller. On failure a function returns 0, NULL or
 * nothing; no function ever throws or prints.
 *
 * Codes common to every function that talks to a printer:
 *   KPBIDI_INVALID_ARGUMENT (1000)     NULL handle ("printer"), NULL pointer
 *                                      argument (its parameter name), or an
 *                                      argument out of range (no message);
 *                                      nothing is sent
 *   KPBIDI_PRINTER_NOT_FOUND (1001)    the print system does not know the name
 *   KPBIDI_UNSUPPORTED_PORT (1002)     the queue is neither USB nor a network
 *                                      socket queue, or the connection was
 *                                      refused
 *   KPBIDI_PRINTER_NOT_AVAILABLE (1003) the printer cannot be reached
 *   KPBIDI_ACCESS_DENIED (1004)        the system refused access
 *   KPBIDI_TIMEOUT (1005)              the printer did not answer in time,
 *                                      or an operation took over 60 s in all
 *   KPBIDI_INVALID_RESPONSE (1006)     the reply is malformed, truncated,
 *                                      fails its checksum or lacks the answer
 *   KPBIDI_OUT_OF_MEMORY (1007)        memory exhausted
 *   KPBIDI_PLATFORM_ERROR (1008)       any other system failure
 *   KPBIDI_USB_PORT_BUSY (1009)        another program or print job holds the
 *                                      USB printer
 *   KPBIDI_SYSTEM_ERROR (1010)         a system call failed
 *   KPBIDI_COMMUNICATION_ERROR (1011)  the request could not be sent, or the
 *                                      host name could not be resolved
 *   KPBIDI_UNEXPECTED (-1)             anything else ("Unexpected exception
 *                                      was thrown")
 *   any other value                    the printer's own status word, passed
 *                                      through with a NULL message
 *
 * Threads: calls on different handles are independent; a handle must not be
 * used by two threads at once. Calls block for the whole exchange, which ends
 * after about 60 s at most for every function but the log fetch; the log
 * fetch may last minutes.
 *
 * Compiles as C11 and as C++.
 */
#ifndef KPBIDI_H
#define KPBIDI_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    KPBIDI_OK = 0,
    KPBIDI_INVALID_ARGUMENT = 1000,
    KPBIDI_PRINTER_NOT_FOUND = 1001,
    KPBIDI_UNSUPPORTED_PORT = 1002,
    KPBIDI_PRINTER_NOT_AVAILABLE = 1003,
    KPBIDI_ACCESS_DENIED = 1004,
    KPBIDI_TIMEOUT = 1005,
    KPBIDI_INVALID_RESPONSE = 1006,
    KPBIDI_OUT_OF_MEMORY = 1007,
    KPBIDI_PLATFORM_ERROR = 1008,
    KPBIDI_USB_PORT_BUSY = 1009,
    KPBIDI_SYSTEM_ERROR = 1010,
    KPBIDI_COMMUNICATION_ERROR = 1011,
    KPBIDI_UNEXPECTED = -1
};

/* An open printer. Holds only the queue name: no socket, device or print
 * system connection is open between calls. */
typedef struct kpbidi_printer_tag kpbidi_printer_tag;

typedef struct kpbidi_error_tag {
    int32_t code;
    const char* message; /* NULL or a static text; never freed */
} kpbidi_error_tag;

/* Sent to the printer unchanged; each field most significant octet first. */
typedef struct kpbidi_ip_settings_tag {
    unsigned char address[4];
    unsigned char subnet_mask[4];
    unsigned char gateway[4];
} kpbidi_ip_settings_tag;

typedef struct kpbidi_schedule_entry_tag {
    uint8_t hour;   /* 0..23 */
    uint8_t minute; /* 0..59 */
    int32_t kind;   /* 1 normal circulation, 2 long (enhanced) circulation */
} kpbidi_schedule_entry_tag;

typedef struct kpbidi_schedule_tag {
    uint8_t count;                        /* 0..8; 0 cancels the schedule */
    kpbidi_schedule_entry_tag entries[8]; /* only the first `count` are read */
} kpbidi_schedule_tag;

/* A numbered data block read from the printer; free with kpbidi_free_data. */
typedef struct kpbidi_data_tag {
    uint32_t value1;
    uint32_t value2;
    size_t size;
    const unsigned char* data; /* valid until the record is freed */
    void* storage_;            /* private: the storage `data` points into */
} kpbidi_data_tag;

/* Receives one log chunk; return true for more, false to stop deliveries. */
typedef bool (*kpbidi_log_callback)(void* context, const unsigned char* data, size_t size);

/*
 * Opens the printer of the print queue `printer_name` (UTF-8). Contacts
 * nothing: a name the print system does not know fails at the first
 * operation (1001).
 * Errors: 1000 "printer_name" (NULL name), 1007.
 * Returns NULL on failure. Close with kpbidi_close_printer.
 */
kpbidi_printer_tag* kpbidi_open_printer(const char* printer_name, kpbidi_error_tag* error);

/*
 * Opens a network printer by its host name or IPv4 address (UTF-8), with no
 * print queue behind it: every operation connects to the printer's command
 * port on that host. Contacts nothing: a host that does not resolve fails at
 * the first operation (1011).
 * Errors: 1000 "host" (NULL host), 1007.
 * Returns NULL on failure. Close with kpbidi_close_printer.
 */
kpbidi_printer_tag* kpbidi_open_host(const char* host, kpbidi_error_tag* error);

/* Destroys the handle. NULL is ignored. */
void kpbidi_close_printer(kpbidi_printer_tag* printer);

/*
 * Reads the printer's identity as the JSON document
 * {"digits_18_code":"...","mac_address":"00:1b:a9:0c:22:f7","serial_number":"..."}
 * (compact, members sorted by name).
 * Errors: the common codes; -1 when the printer's texts are not valid UTF-8.
 * Returns a text to free with kpbidi_free_string, or NULL on failure.
 */
char* kpbidi_get_printer_info(kpbidi_printer_tag* printer, kpbidi_error_tag* error);

/*
 * Reads how the printer gets its address: 0 static, 1 automatic.
 * Errors: the common codes; 1000 when the printer answers another mode.
 * Returns 0 both for mode 0 and on failure: check error->code.
 */
int kpbidi_get_ip_mode(kpbidi_printer_tag* printer, kpbidi_error_tag* error);

/*
 * Sets the address mode: 0 static, 1 automatic.
 * Errors: the common codes; 1000 for any other mode (nothing is sent).
 */
void kpbidi_set_ip_mode(kpbidi_printer_tag* printer, int mode, kpbidi_error_tag* error);

/*
 * Sets the printer's static address, subnet mask and gateway.
 * Errors: the common codes; 1000 "settings" when `settings` is NULL; the
 * printer's status words (for example a refused mask or gateway).
 */
void kpbidi_set_ip_settings(kpbidi_printer_tag* printer, const kpbidi_ip_settings_tag* settings,
                            kpbidi_error_tag* error);

/*
 * Reads the printer's host name (at most 32 bytes from the printer, up to
 * its first zero byte). The text returned is always valid UTF-8: every byte
 * of the printer's that is not part of a well-formed UTF-8 sequence is
 * replaced by U+FFFD (three bytes), so the text may be longer than 32 bytes.
 * Errors: the common codes.
 * Returns a text to free with kpbidi_free_string, or NULL on failure.
 */
char* kpbidi_get_host_name(kpbidi_printer_tag* printer, kpbidi_error_tag* error);

/*
 * Sets the printer's host name; only its first 32 bytes are sent.
 * Errors: the common codes; 1000 "host_name" when `host_name` is NULL.
 */
void kpbidi_set_host_name(kpbidi_printer_tag* printer, const char* host_name,
                          kpbidi_error_tag* error);

/*
 * Registers the serial number of a replaced head: `head` 0 colour, 1 white;
 * `serial` at most 8 bytes.
 * Errors: the common codes; 1000 for another head or a longer serial, 1000
 * "serial" when `serial` is NULL (nothing is sent).
 */
void kpbidi_set_head_serial(kpbidi_printer_tag* printer, int head, const char* serial,
                            kpbidi_error_tag* error);

/*
 * Sets a head's V-rating: `head` 0 colour, 1 white; `v_rating` 0..17.
 * Errors: the common codes; 1000 for values out of range (nothing is sent).
 */
void kpbidi_set_head_v_rating(kpbidi_printer_tag* printer, int head, int v_rating,
                              kpbidi_error_tag* error);

/*
 * Firing adjustment. `resolution_flag` 1 for 1200 dpi, 0 for 600 dpi; the
 * values are the four heads' corrections. Every argument is reduced to its
 * low 8 bits, so negative values travel in two's complement.
 * The reset forms restore the printer's values for the colour or white heads.
 * Errors: the common codes.
 */
void kpbidi_set_color_firing(kpbidi_printer_tag* printer, int resolution_flag, int value1,
                             int value2, int value3, int value4, kpbidi_error_tag* error);
void kpbidi_reset_color_firing(kpbidi_printer_tag* printer, int resolution_flag,
                               kpbidi_error_tag* error);
void kpbidi_set_white_firing(kpbidi_printer_tag* printer, int resolution_flag, int value1,
                             int value2, int value3, int value4, kpbidi_error_tag* error);
void kpbidi_reset_white_firing(kpbidi_printer_tag* printer, int resolution_flag,
                               kpbidi_error_tag* error);

/*
 * White/colour alignment. Arguments are reduced to their low 8 bits.
 * Errors: the common codes; 1000 when the resolution flag's low byte is 2
 * or more (nothing is sent).
 */
void kpbidi_set_alignment(kpbidi_printer_tag* printer, int resolution_flag, int value1, int value2,
                          kpbidi_error_tag* error);
void kpbidi_reset_alignment(kpbidi_printer_tag* printer, int resolution_flag,
                            kpbidi_error_tag* error);

/*
 * Platen-rolling adjustment (forward and reverse values) and its reset.
 * Arguments are reduced to their low 8 bits.
 * Errors: the common codes.
 */
void kpbidi_set_platen_rolling(kpbidi_printer_tag* printer, int value1, int value2,
                               kpbidi_error_tag* error);
void kpbidi_reset_platen_rolling(kpbidi_printer_tag* printer, kpbidi_error_tag* error);

/*
 * Feed adjustment; the four values are reduced to their low 8 bits.
 * Errors: the common codes.
 */
void kpbidi_set_feed_adjustment(kpbidi_printer_tag* printer, int value1, int value2, int value3,
                                int value4, kpbidi_error_tag* error);

/*
 * Sets the printer's clock to `time` (seconds since 1970-01-01 UTC); the
 * printer receives the local wall-clock reading of that moment.
 * Errors: the common codes; 1000 for a time after the year 3000.
 */
void kpbidi_set_clock(kpbidi_printer_tag* printer, uint64_t time, kpbidi_error_tag* error);

/*
 * Sets the white-ink circulation schedule; a count of 0 cancels it.
 * Errors: the common codes; 1000 for a count above 8 or an entry out of
 * range, 1000 "schedule" when `schedule` is NULL (nothing is sent).
 */
void kpbidi_set_circulation_schedule(kpbidi_printer_tag* printer,
                                     const kpbidi_schedule_tag* schedule, kpbidi_error_tag* error);

/*
 * Reads the circulation schedule as the JSON document
 * {"06:30":"long","13:00":"normal"} (one member per time, in time order;
 * {} when empty).
 * Errors: the common codes.
 * Returns a text to free with kpbidi_free_string, or NULL on failure.
 */
char* kpbidi_get_circulation_schedule(kpbidi_printer_tag* printer, kpbidi_error_tag* error);

/*
 * Streams the printer's log: `callback(context, data, size)` is called once
 * per block, in order, while the reply is read; `data` is valid only during
 * the call. Returning false stops the deliveries; the reply is still read to
 * its end. The callback must not throw (C++ callers).
 * Errors: the common codes; 1006 when the log's final block never arrived
 * (some blocks may have been delivered); 1000 "callback" when `callback` is
 * NULL (nothing is sent).
 */
void kpbidi_fetch_log(kpbidi_printer_tag* printer, kpbidi_log_callback callback, void* context,
                      kpbidi_error_tag* error);

/*
 * Reads the numbered data block `data_id` (0x8011 network settings, 0x8013
 * alignment, 0x8016 head data).
 * Errors: the common codes; 1006 when the block fails its checksum.
 * Returns a record to free with kpbidi_free_data, or NULL on failure.
 */
kpbidi_data_tag* kpbidi_read_data(kpbidi_printer_tag* printer, int data_id,
                                  kpbidi_error_tag* error);

/*
 * The printer's IEEE 1284 device identifier ("MFG:...;MDL:...;"), read over
 * SNMP from a network printer and from the USB device otherwise; no command
 * is sent. Returns a text to free with kpbidi_free_string, NULL on failure.
 */
char* kpbidi_get_device_id(kpbidi_printer_tag* printer, kpbidi_error_tag* error);

/* The name of a library error code ("PrinterNotAvailable" for 1003,
 * "Success" for 0), or NULL for a status word of the printer's own. The
 * text is static. */
const char* kpbidi_error_name(int32_t code);

/* Frees a record of kpbidi_read_data. NULL is ignored. */
void kpbidi_free_data(kpbidi_data_tag* data);

/* Frees a text of kpbidi_get_printer_info, kpbidi_get_host_name,
 * kpbidi_get_circulation_schedule or kpbidi_get_device_id. NULL is ignored. */
void kpbidi_free_string(char* text);

#ifdef __cplusplus
}
#endif

#endif /* KPBIDI_H */
