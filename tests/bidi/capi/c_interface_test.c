/* The public header compiles as C11, and its functions are callable from C. */
#include <stdio.h>
#include <string.h>

#include "bidi/capi/kpbidi.h"

static int failures = 0;

#define CHECK(cond)                                                                  \
    do {                                                                             \
        if (!(cond)) {                                                               \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            ++failures;                                                              \
        }                                                                            \
    } while (0)

static bool count_chunks(void* context, const unsigned char* data, size_t size) {
    (void)data;
    (void)size;
    ++*(int*)context;
    return true;
}

int main(void) {
    kpbidi_error_tag error = {0, NULL};
    kpbidi_schedule_tag schedule;
    kpbidi_ip_settings_tag settings = {{192, 168, 0, 10}, {255, 255, 255, 0}, {192, 168, 0, 1}};
    int chunks = 0;

    memset(&schedule, 0, sizeof schedule);
    CHECK(sizeof schedule.entries / sizeof schedule.entries[0] == 8);

    kpbidi_set_ip_settings(NULL, &settings, &error);
    CHECK(error.code == KPBIDI_INVALID_ARGUMENT);
    CHECK(error.message != NULL && strcmp(error.message, "printer") == 0);

    error.code = 0;
    CHECK(kpbidi_get_ip_mode(NULL, &error) == 0);
    CHECK(error.code == 1000);

    kpbidi_set_circulation_schedule(NULL, &schedule, &error);
    CHECK(error.code == 1000);
    kpbidi_fetch_log(NULL, count_chunks, &chunks, &error);
    CHECK(error.code == 1000 && chunks == 0);
    CHECK(kpbidi_read_data(NULL, 0x8011, NULL) == NULL);

    error.code = 0;
    CHECK(kpbidi_open_printer(NULL, &error) == NULL);
    CHECK(error.code == 1000);
    CHECK(error.message != NULL && strcmp(error.message, "printer_name") == 0);

    {
        /* Opening contacts nothing: any name gives a handle. */
        kpbidi_printer_tag* printer = kpbidi_open_printer("no such queue", &error);
        CHECK(printer != NULL);
        CHECK(error.code == 0 && error.message == NULL);
        kpbidi_close_printer(printer);
    }

    error.code = 0;
    CHECK(kpbidi_open_host(NULL, &error) == NULL);
    CHECK(error.code == 1000 && error.message != NULL && strcmp(error.message, "host") == 0);
    {
        kpbidi_printer_tag* printer = kpbidi_open_host("192.0.2.1", &error);
        CHECK(printer != NULL && error.code == 0);
        kpbidi_close_printer(printer);
    }
    CHECK(kpbidi_get_device_id(NULL, &error) == NULL && error.code == 1000);

    CHECK(strcmp(kpbidi_error_name(KPBIDI_PRINTER_NOT_AVAILABLE), "PrinterNotAvailable") == 0);
    CHECK(strcmp(kpbidi_error_name(KPBIDI_UNEXPECTED), "Unexpected") == 0);
    CHECK(kpbidi_error_name(19) == NULL); /* a printer's status word */

    kpbidi_close_printer(NULL);
    kpbidi_free_data(NULL);
    kpbidi_free_string(NULL);

    if (failures == 0) {
        puts("c interface: ok");
    }
    return failures == 0 ? 0 : 1;
}
