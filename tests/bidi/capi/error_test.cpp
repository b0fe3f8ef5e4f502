#include "bidi/capi/error.h"

#include <gtest/gtest.h>

#include "spooler/errors.h"

namespace {

TEST(Error, MessageIsKeptAsTheSamePointerAndWhatIsFixed) {
    static const char kSend[] = "Connection::Send";
    const KpBidi::Error withMessage(KpBidi::CommunicationError, kSend);
    EXPECT_EQ(withMessage.code, 1011);
    EXPECT_EQ(withMessage.message, kSend);
    EXPECT_STREQ(withMessage.what(), "KpBidi error");

    const KpBidi::Error status(19);
    EXPECT_EQ(status.code, 19);
    EXPECT_EQ(status.message, nullptr);
    EXPECT_STREQ(status.what(), "KpBidi error");

    const KpBidi::Error copy = withMessage;
    EXPECT_EQ(copy.code, 1011);
    EXPECT_EQ(copy.message, kSend);

    try {
        throw KpBidi::Error(KpBidi::Timeout);
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "KpBidi error");
    }
}

TEST(Error, CodeValuesAndNames) {
    EXPECT_EQ(KpBidi::InvalidArgument, 1000);
    EXPECT_EQ(KpBidi::CommunicationError, 1011);
    EXPECT_EQ(KpBidi::Unexpected, -1);
    EXPECT_STREQ(KpBidi::ErrorCodeName(1009), "UsbPortBusy");
    EXPECT_STREQ(KpBidi::ErrorCodeName(-1), "Unexpected");
    EXPECT_EQ(KpBidi::ErrorCodeName(19), nullptr);  // a printer status word
}

TEST(Error, SystemErrorsMapByOneRule) {
    using KpBidi::CodeFromSystemError;
    EXPECT_EQ(CodeFromSystemError(std::make_error_code(std::errc::permission_denied)), 1004);
    EXPECT_EQ(CodeFromSystemError(std::make_error_code(std::errc::operation_not_permitted)), 1004);
    EXPECT_EQ(CodeFromSystemError(spooler::Errc::AccessDenied), 1004);
    EXPECT_EQ(CodeFromSystemError(spooler::Errc::NoSuchPrinter), 1001);
    EXPECT_EQ(CodeFromSystemError(spooler::Errc::Unavailable), 1008);
    EXPECT_EQ(CodeFromSystemError(std::make_error_code(std::errc::no_such_file_or_directory)),
              1008);
    EXPECT_EQ(CodeFromSystemError(std::make_error_code(std::errc::io_error)), 1008);

    try {
        KpBidi::ThrowSystemError(spooler::Errc::NoSuchPrinter);
        FAIL() << "no exception";
    } catch (const KpBidi::Error& e) {
        EXPECT_EQ(e.code, 1001);
        EXPECT_EQ(e.message, nullptr);
    }
}

}  // namespace
