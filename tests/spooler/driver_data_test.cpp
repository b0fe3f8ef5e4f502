#include "spooler/driver_data.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

TEST(DriverData, NumbersReadAsFourLittleEndianBytes) {
    EXPECT_EQ(spooler::DriverDataFromText("0"), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(spooler::DriverDataFromText("1"), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(spooler::DriverDataFromText("256"), (Bytes{0, 1, 0, 0}));
    EXPECT_EQ(spooler::DriverDataFromText("4294967295"), (Bytes{255, 255, 255, 255}));
}

TEST(DriverData, OtherTextIsItsOwnBytes) {
    // Too large for 32 bits: not a number the driver could have stored.
    EXPECT_EQ(spooler::DriverDataFromText("4294967296"),
              (Bytes{'4', '2', '9', '4', '9', '6', '7', '2', '9', '6'}));
    EXPECT_EQ(spooler::DriverDataFromText("-1"), (Bytes{'-', '1'}));
    EXPECT_EQ(spooler::DriverDataFromText(" 0"), (Bytes{' ', '0'}));
    EXPECT_EQ(spooler::DriverDataFromText("yes"), (Bytes{'y', 'e', 's'}));
    EXPECT_EQ(spooler::DriverDataFromText(""), Bytes{});
}

}  // namespace
