// The embedded check-pattern jobs, as the program would send them.
#include "resources/patterns/patterns.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <string>

#include "bidi/protocol/decode.h"
#include "bidi/protocol/wire.h"

namespace {

struct Expected {
    std::size_t size;
    std::string title;
};

const std::map<int, Expected> kJobs = {
    {210, {473088, "FIRING CHK COLOR"}},   {211, {147456, "FIRING CHK COLOR"}},
    {212, {477184, "FIRING CHK WHITE"}},   {214, {3305472, "ALIGN CHK"}},
    {267, {423936, "FEEDING PATTERN(1)"}}, {287, {2129920, "16inchLine"}},
    {300, {808960, "FEEDING PATTERN(2)"}},
};

std::string Text(const std::vector<unsigned char>& data) {
    return {data.begin(), data.end()};
}

const KpBidi::Command* Find(const KpBidi::Packet& packet, std::uint16_t code) {
    const auto it = std::find_if(packet.commands.begin(), packet.commands.end(),
                                 [&](const KpBidi::Command& c) { return c.code == code; });
    return it == packet.commands.end() ? nullptr : &*it;
}

// Checks a PNG's signature, chunk CRCs and that its one IDAT inflates to
// exactly the rows its header announces; returns width and height.
std::pair<std::uint32_t, std::uint32_t> CheckPng(const std::vector<unsigned char>& png) {
    using KpBidi::wire::GetU32;
    const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(png.size() > 8 && std::equal(signature, signature + 8, png.begin()));
    std::size_t at = 8;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<unsigned char> idat;
    std::string last;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = GetU32(&png[at]);
        const std::string type(png.begin() + static_cast<long>(at) + 4,
                               png.begin() + static_cast<long>(at) + 8);
        EXPECT_LE(at + 12 + length, png.size());
        const uLong crc = crc32(0L, &png[at + 4], length + 4);
        EXPECT_EQ(GetU32(&png[at + 8 + length]), crc) << type;
        if (type == "IHDR") {
            width = GetU32(&png[at + 8]);
            height = GetU32(&png[at + 12]);
            EXPECT_EQ(png[at + 16], 8);  // bits
            EXPECT_EQ(png[at + 17], 2);  // RGB
        } else if (type == "IDAT") {
            idat.insert(idat.end(), &png[at + 8], &png[at + 8 + length]);
        }
        last = type;
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(last, "IEND");
    uLongf rawSize = (width * 3 + 1) * height + 1;
    std::vector<unsigned char> raw(rawSize);
    EXPECT_EQ(uncompress(raw.data(), &rawSize, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    EXPECT_EQ(rawSize, (width * 3 + 1) * height);
    return {width, height};
}

TEST(PatternJobs, OnlyTheSevenIdsExist) {
    for (int id = 0; id < 1000; ++id) {
        EXPECT_EQ(kpm::resources::FindPatternJob(id).has_value(), kJobs.count(id) == 1) << id;
    }
}

TEST(PatternJobs, EachIsOnePrintJobPacketOfItsExactSize) {
    for (const auto& [id, expected] : kJobs) {
        SCOPED_TRACE(id);
        const auto job = kpm::resources::FindPatternJob(id);
        ASSERT_TRUE(job.has_value());
        ASSERT_EQ(job->size(), expected.size);

        // 2432 zero bytes, then the header of a print job.
        EXPECT_TRUE(std::all_of(job->begin(), job->begin() + 2432, [](auto b) { return b == 0; }));
        const unsigned char header[] = {0x1B, 0x7C, 0x31, 0x30, 0x40, 0x0C, 0x50};
        EXPECT_TRUE(std::equal(header, header + 7, job->begin() + 2432));

        const char* first = reinterpret_cast<const char*>(job->data());
        const auto [packet, end] = KpBidi::ParsePacket(first, first + job->size());
        EXPECT_EQ(packet.header.kind, 0x0C);
        EXPECT_EQ(packet.header.subkind, 0x50);
        EXPECT_EQ(packet.header.id, static_cast<std::uint32_t>(id));
        EXPECT_EQ(packet.footer.id, static_cast<std::uint32_t>(id));
        // Only zero padding after the footer, at least one whole block.
        const std::size_t rest = static_cast<std::size_t>(first + job->size() - end);
        EXPECT_GE(rest, 2048u);
        EXPECT_TRUE(std::all_of(end, first + job->size(), [](char b) { return b == 0; }));

        const KpBidi::Command* title = Find(packet, 34);
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(Text(title->data), expected.title);
        const KpBidi::Command* platen = Find(packet, 52);
        ASSERT_NE(platen, nullptr);
        EXPECT_EQ(Text(platen->data), "14x16");
    }
}

TEST(PatternJobs, CarryAPreviewAndARasterOfTheWholePlaten) {
    for (const auto& [id, expected] : kJobs) {
        SCOPED_TRACE(id);
        const auto job = kpm::resources::FindPatternJob(id);
        ASSERT_TRUE(job.has_value());
        const char* first = reinterpret_cast<const char*>(job->data());
        const KpBidi::Packet packet = KpBidi::ParsePacket(first, first + job->size()).first;

        const KpBidi::Command* preview = Find(packet, 60);
        ASSERT_NE(preview, nullptr);
        const auto [width, height] = CheckPng(preview->data);
        EXPECT_EQ(width * 16, height * 14);  // the 14 x 16 inch platen

        const KpBidi::Command* raster = Find(packet, 70);
        ASSERT_NE(raster, nullptr);
        ASSERT_GE(raster->data.size(), 16u);
        const std::uint32_t dots = KpBidi::wire::GetU32(&raster->data[0]);
        const std::uint32_t rows = KpBidi::wire::GetU32(&raster->data[4]);
        const std::uint16_t dpi = KpBidi::wire::GetU16(&raster->data[8]);
        EXPECT_EQ(KpBidi::wire::GetU16(&raster->data[10]), dpi);
        EXPECT_EQ(raster->data.size(), 16u + dots / 8 * rows);
        EXPECT_GE(dots, 14u * dpi);
        EXPECT_GE(rows, 16u * dpi);
        // Something is printed, and not everything.
        const auto begin = raster->data.begin() + 16;
        EXPECT_TRUE(std::any_of(begin, raster->data.end(), [](auto b) { return b != 0; }));
        EXPECT_TRUE(std::any_of(begin, raster->data.end(), [](auto b) { return b == 0; }));
    }
}

TEST(PatternJobs, SixteenInchLineRunsTheWholePlatenLength) {
    const auto job = kpm::resources::FindPatternJob(287);
    ASSERT_TRUE(job.has_value());
    const char* first = reinterpret_cast<const char*>(job->data());
    const KpBidi::Packet packet = KpBidi::ParsePacket(first, first + job->size()).first;
    const KpBidi::Command* raster = Find(packet, 70);
    ASSERT_NE(raster, nullptr);
    const std::uint32_t bytesPerRow = KpBidi::wire::GetU32(&raster->data[0]) / 8;
    const std::uint16_t dpi = KpBidi::wire::GetU16(&raster->data[8]);
    // The line is at 7 inches: every row of the 16 inches has its dot.
    const std::uint32_t column = 7u * dpi;
    for (std::uint32_t row = 0; row < 16u * dpi; ++row) {
        const unsigned char byte = raster->data[16 + row * bytesPerRow + column / 8];
        ASSERT_NE(byte & (0x80 >> (column % 8)), 0) << "row " << row;
    }
}

}  // namespace
