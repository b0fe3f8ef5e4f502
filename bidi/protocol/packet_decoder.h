// The decoding steps shared by the range and the stream decoders. Internal
// to the protocol layer; callers use decode.h.
//
// A Source offers two operations:
//   std::span<const unsigned char> Window()  bytes available now (reads more
//                                            when none; empty at the end)
//   void Consume(std::size_t count)          marks bytes of Window() as read
// Every step works on whole windows, so the zero padding is skipped and the
// command data copied a chunk at a time, never a byte per call.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "bidi/capi/error.h"
#include "bidi/protocol/packet.h"
#include "bidi/protocol/wire.h"

namespace KpBidi::detail {

[[noreturn]] inline void Malformed() {
    throw Error(InvalidResponse);
}

template <class Source>
class PacketDecoder {
public:
    static constexpr std::size_t kCredibleShare = 8;

    explicit PacketDecoder(Source& source) : source_(source) {}

    // Steps 1 and 2: everything before the header marker is skipped; the 27
    // bytes after it are the rest of the header.
    PacketHeader ReadHeader() {
        taken_ = 0;
        FindMarker();
        std::array<unsigned char, wire::kHeaderSize - wire::kHeaderMarker.size()> rest{};
        if (!ReadExactly(rest.data(), rest.size())) {
            Malformed();
        }
        PacketHeader header;
        header.kind = rest[0];
        header.subkind = rest[1];
        header.id = wire::GetU32(&rest[3]);
        return header;
    }

    // Steps 3 and 4: skips zero bytes, then reads the prefix of the next
    // command. false when the next byte does not start a command.
    bool NextCommand(std::uint16_t& code, std::uint32_t& length) {
        SkipZeros();
        const auto window = source_.Window();
        if (window.empty() || window[0] != wire::kCommandTag) {
            return false;
        }
        std::array<unsigned char, wire::kCommandPrefixSize> prefix{};
        if (!ReadExactly(prefix.data(), prefix.size()) || prefix[1] != wire::kCommandTag) {
            Malformed();
        }
        code = wire::GetU16(&prefix[2]);
        length = wire::GetU32(&prefix[4]);
        return true;
    }

    // Reads a command's data. The vector grows only with the bytes that
    // arrive: a peer that announces gigabytes and sends a few costs a few.
    void ReadData(std::vector<unsigned char>& out, std::uint32_t length) {
        out.clear();
        std::size_t remaining = length;
        while (remaining > 0) {
            const auto window = source_.Window();
            if (window.empty()) {
                Malformed();
            }
            const std::size_t take = std::min(remaining, window.size());
            if (out.size() + take > out.capacity()) {
                out.reserve(
                    GrownCapacity(out.size() + take, out.capacity(), length, taken_ + take));
            }
            out.insert(out.end(), window.data(), window.data() + take);
            Take(take);
            remaining -= take;
        }
        taken_ = 0;
    }

    // The capacity for `needed` bytes of a command of `length`, when the
    // peer has sent `received` bytes for it so far (counting what came since
    // the previous command: for the first, the packet's padding and header):
    // doubling, and the whole length at once as soon as what arrived makes
    // it credible (an eighth of it). Every doubling copies what came before,
    // so a large command is taken whole early, and one whose first read
    // brings an eighth of it is never copied. Memory stays within eight
    // times the bytes received, never beyond the announced length.
    static std::size_t GrownCapacity(std::size_t needed, std::size_t capacity, std::size_t length,
                                     std::size_t received) {
        if (received >= length / kCredibleShare) {
            return length;
        }
        return std::min(std::max(needed, 2 * capacity), length);
    }

    // Hands `use` a command's data: in place when the bytes at hand hold all
    // of it (consumed once `use` returns), else gathered in `scratch`.
    template <class Use>
    void UseData(std::uint32_t length, std::vector<unsigned char>& scratch, Use&& use) {
        if (length == 0) {
            use(std::span<const unsigned char>());
            return;
        }
        const auto window = source_.Window();
        if (window.size() >= length) {
            use(window.first(length));
            Take(length);
            taken_ = 0;
            return;
        }
        ReadData(scratch, length);
        use(std::span<const unsigned char>(scratch));
    }

    void SkipData(std::uint32_t length) {
        std::size_t remaining = length;
        while (remaining > 0) {
            const auto window = source_.Window();
            if (window.empty()) {
                Malformed();
            }
            const std::size_t take = std::min(remaining, window.size());
            Take(take);
            remaining -= take;
        }
        taken_ = 0;
    }

    // Step 5. With allowShort (byte ranges only) a footer cut short after its
    // marker is accepted and its missing bytes count as zero.
    PacketFooter ReadFooter(bool allowShort) {
        std::array<unsigned char, wire::kFooterSize> footer{};
        const std::size_t got = ReadUpTo(footer.data(), footer.size());
        if (got < footer.size() && !(allowShort && got >= wire::kFooterMarker.size())) {
            Malformed();
        }
        if (!std::equal(wire::kFooterMarker.begin(), wire::kFooterMarker.end(), footer.begin())) {
            Malformed();
        }
        PacketFooter result;
        result.kind = footer[5];
        result.id = wire::GetU32(&footer[8]);
        return result;
    }

    // Envelope steps 1 to 3: skips to two consecutive 0x40 bytes, then 2
    // unexamined bytes, and returns the payload length that follows.
    std::uint32_t ReadEnvelopeHeader() {
        bool previousWasTag = false;
        for (;;) {
            const auto window = source_.Window();
            if (window.empty()) {
                Malformed();
            }
            std::size_t i = 0;
            for (; i < window.size(); ++i) {
                const bool isTag = window[i] == wire::kEnvelopeTag;
                if (isTag && previousWasTag) {
                    break;
                }
                previousWasTag = isTag;
            }
            if (i < window.size()) {
                Take(i + 1);
                break;
            }
            Take(window.size());
        }
        std::array<unsigned char, 6> rest{};
        if (!ReadExactly(rest.data(), rest.size())) {
            Malformed();
        }
        return wire::GetU32(&rest[2]);
    }

private:
    void FindMarker() {
        const auto& marker = wire::kHeaderMarker;
        std::size_t matched = 0;
        for (;;) {
            const auto window = source_.Window();
            if (window.empty()) {
                Malformed();
            }
            std::size_t i = 0;
            while (i < window.size()) {
                if (matched == 0) {
                    // Fast path over padding and noise.
                    const void* hit = std::memchr(window.data() + i, marker[0], window.size() - i);
                    if (hit == nullptr) {
                        i = window.size();
                        break;
                    }
                    i = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) -
                                                 window.data()) +
                        1;
                    matched = 1;
                    continue;
                }
                const unsigned char byte = window[i];
                if (byte == marker[matched]) {
                    ++i;
                    if (++matched == marker.size()) {
                        Take(i);
                        return;
                    }
                } else {
                    // The byte that broke the match may start a new one; the
                    // marker's first byte occurs nowhere else in it.
                    matched = 0;
                }
            }
            Take(window.size());
        }
    }

    void SkipZeros() {
        for (;;) {
            const auto window = source_.Window();
            if (window.empty()) {
                return;
            }
            const auto it =
                std::find_if(window.begin(), window.end(), [](unsigned char b) { return b != 0; });
            const auto skipped = static_cast<std::size_t>(it - window.begin());
            Take(skipped);
            if (skipped < window.size()) {
                return;
            }
        }
    }

    std::size_t ReadUpTo(unsigned char* out, std::size_t count) {
        std::size_t got = 0;
        while (got < count) {
            const auto window = source_.Window();
            if (window.empty()) {
                break;
            }
            const std::size_t take = std::min(count - got, window.size());
            std::memcpy(out + got, window.data(), take);
            Take(take);
            got += take;
        }
        return got;
    }

    bool ReadExactly(unsigned char* out, std::size_t count) {
        return ReadUpTo(out, count) == count;
    }

    void Take(std::size_t count) {
        source_.Consume(count);
        taken_ += count;
    }

    Source& source_;
    // Bytes taken from the source since the previous command's data ended
    // or, before the first command, since the packet's header was sought.
    std::size_t taken_ = 0;
};

}  // namespace KpBidi::detail
