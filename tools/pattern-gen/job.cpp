#include "job.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "bidi/protocol/packet.h"
#include "bidi/protocol/serialize.h"
#include "bidi/protocol/wire.h"
#include "png.h"
#include "render.h"

namespace patterns {
namespace {

constexpr int kPreviewPixelsPerInch = 40;
constexpr std::size_t kRasterHeaderSize = 16;
constexpr const char kHost[] = "KPM maintenance 2.0";

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    KpBidi::wire::PutU16(out, static_cast<std::uint16_t>(v));
}

KpBidi::PacketCommand MakeCommand(std::uint16_t code, std::vector<std::uint8_t> data) {
    KpBidi::PacketCommand command;
    command.code = code;
    command.data = std::move(data);
    return command;
}

}  // namespace

std::vector<std::uint8_t> BuildPreview(const PatternJob& job) {
    return EncodePng(RenderPreview(job.drawing, kPreviewPixelsPerInch));
}

std::vector<std::uint8_t> BuildJob(const PatternJob& job) {
    KpBidi::Packet packet;
    packet.header.kind = kJobKind;
    packet.header.subkind = kJobSubkind;
    packet.header.id = static_cast<std::uint32_t>(job.id);
    packet.footer.kind = 0x00;
    packet.footer.id = packet.header.id;

    std::vector<std::uint8_t> host(32, 0);
    std::copy(std::begin(kHost), std::end(kHost) - 1, host.begin());
    std::vector<std::uint8_t> preview = BuildPreview(job);

    // Everything but the raster's dots, to find out how many dots fit.
    const std::size_t jobInformationSize = 16;
    std::size_t fixed =
        KpBidi::wire::kLeadingZeros + KpBidi::wire::kHeaderSize + KpBidi::wire::kFooterSize;
    for (const std::size_t n : {jobInformationSize, host.size(), job.title.size(), std::size_t{5},
                                preview.size(), kRasterHeaderSize}) {
        fixed += KpBidi::wire::kCommandPrefixSize + n;
    }
    // The packet ends with padding to a whole block of 2048 bytes and one
    // more block; the size comes out exactly when the bytes up to the footer
    // end within the last block but two.
    const std::size_t block = KpBidi::wire::kPaddingBlock;
    if (job.size % block != 0 || job.size < fixed + 2 * block) {
        throw std::runtime_error("job " + std::to_string(job.id) + ": size " +
                                 std::to_string(job.size) + " cannot hold the pattern");
    }
    const std::size_t dots = job.size - 2 * block - fixed;
    // The finest square resolution d whose raster covers the whole platen:
    // rows of ceil(14 d / 8) bytes, at least 16 d of them.
    int dpi = static_cast<int>(std::sqrt(static_cast<double>(dots) / 28.0));
    auto rowBytes = [](int d) { return static_cast<std::size_t>((14 * d + 7) / 8); };
    while (dpi > 1 && rowBytes(dpi) * (16 * static_cast<std::size_t>(dpi) + 1) > dots) {
        --dpi;
    }
    const std::size_t bytesPerRow = rowBytes(dpi);
    if (dpi < 10 || bytesPerRow > block) {
        throw std::runtime_error("job " + std::to_string(job.id) + ": no raster fits");
    }
    const std::size_t rows = (dots + bytesPerRow - 1) / bytesPerRow;

    std::vector<std::uint8_t> information;
    KpBidi::wire::PutU32(information, static_cast<std::uint32_t>(job.id));
    KpBidi::wire::PutU32(information, 1);  // copies
    PutU16(information, static_cast<std::uint32_t>(dpi));
    PutU16(information, static_cast<std::uint32_t>(dpi));
    information.resize(jobInformationSize, 0);

    std::vector<std::uint8_t> raster;
    raster.reserve(kRasterHeaderSize + rows * bytesPerRow);
    KpBidi::wire::PutU32(raster, static_cast<std::uint32_t>(bytesPerRow * 8));  // dots per row
    KpBidi::wire::PutU32(raster, static_cast<std::uint32_t>(rows));
    PutU16(raster, static_cast<std::uint32_t>(dpi));
    PutU16(raster, static_cast<std::uint32_t>(dpi));
    raster.push_back(1);  // planes
    raster.push_back(1);  // bits per dot
    raster.resize(kRasterHeaderSize, 0);
    const std::vector<std::uint8_t> bits =
        RenderRaster(job.drawing, dpi, static_cast<int>(bytesPerRow), static_cast<int>(rows));
    raster.insert(raster.end(), bits.begin(), bits.end());

    packet.commands.push_back(MakeCommand(kJobInformation, std::move(information)));
    packet.commands.push_back(MakeCommand(kHostInformation, std::move(host)));
    packet.commands.push_back(
        MakeCommand(kJobTitle, std::vector<std::uint8_t>(job.title.begin(), job.title.end())));
    packet.commands.push_back(MakeCommand(kPlatenSize, {'1', '4', 'x', '1', '6'}));
    packet.commands.push_back(MakeCommand(kPreview, std::move(preview)));
    packet.commands.push_back(MakeCommand(kRaster, std::move(raster)));

    std::vector<std::uint8_t> bytes = KpBidi::SerializePacket(packet);
    if (bytes.size() != job.size) {
        throw std::runtime_error("job " + std::to_string(job.id) + " came out " +
                                 std::to_string(bytes.size()) + " bytes instead of " +
                                 std::to_string(job.size));
    }
    return bytes;
}

}  // namespace patterns
