// Reply bytes as a printer puts them on the wire, assembled by hand from the
// byte layouts, independently of the library's encoder, so that a test
// cannot share a misreading with the code it checks.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace kpm::test {

using Bytes = std::vector<unsigned char>;

inline void PutBe32(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// 1B 7C 31 30 40, kind, subkind, 00, the id, 20 zero bytes.
inline Bytes HeaderBytes(std::uint32_t id, unsigned char kind = 0x8C,
                         unsigned char subkind = 0x43) {
    Bytes b{0x1B, 0x7C, 0x31, 0x30, 0x40, kind, subkind, 0x00};
    PutBe32(b, id);
    b.resize(32, 0);
    return b;
}

// 23 23, the code, the length, the data.
inline Bytes CommandBytes(std::uint16_t code, const Bytes& data) {
    Bytes b{0x23, 0x23, static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code)};
    PutBe32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// 1B 7C 31 30, `last` (0x24 in a good footer), kind 0, 00 00, the id, 4 zero bytes.
inline Bytes FooterBytes(std::uint32_t id, unsigned char last = 0x24) {
    Bytes b{0x1B, 0x7C, 0x31, 0x30, last, 0x00, 0x00, 0x00};
    PutBe32(b, id);
    b.resize(16, 0);
    return b;
}

// One reply packet carrying `commands`, with zero padding before and after.
inline Bytes ReplyPacketBytes(std::uint32_t id,
                              const std::vector<std::pair<std::uint16_t, Bytes>>& commands) {
    Bytes b = Cat({Bytes(32, 0), HeaderBytes(id)});
    for (const auto& [code, data] : commands) {
        const Bytes command = CommandBytes(code, data);
        b.insert(b.end(), command.begin(), command.end());
    }
    const Bytes footer = FooterBytes(id);
    b.insert(b.end(), footer.begin(), footer.end());
    b.resize(b.size() + 512, 0);
    return b;
}

// 40 40 00 00, the payload length, the payload.
inline Bytes EnvelopeBytes(const Bytes& payload) {
    Bytes b{0x40, 0x40, 0x00, 0x00};
    PutBe32(b, static_cast<std::uint32_t>(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

// A 4-byte big-endian status followed by `rest`.
inline Bytes StatusValue(std::int32_t status, Bytes rest = Bytes(12, 0)) {
    Bytes b;
    PutBe32(b, static_cast<std::uint32_t>(status));
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

}  // namespace kpm::test
