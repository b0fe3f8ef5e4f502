// Records real replies of the printer simulator and writes them as seed
// inputs for the fuzz targets (scripts/fuzz-seeds runs it). Each seed is in
// the framing of tests/fuzz/fuzz_input.h: a transport/chunk byte, a
// selector byte, eight chunk sizes, then the reply bytes with every copy of
// the request id replaced by "IDID".
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "bidi/capi/handle.h"
#include "bidi/capi/kpbidi.h"
#include "bidi/communications/linux/host_printer.h"
#include "bidi/protocol/command.h"
#include "bidi/protocol/serialize.h"
#include "tests/support/wire_bytes.h"
#include "tools/printer-sim/simulator.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t kId = 0x5EED0001;

// One request to the simulator over TCP; every byte it answers, until it
// closes the connection.
Bytes Exchange(const std::string& address, const KpBidi::Packet& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        throw std::runtime_error("socket");
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kpm::sim::kProtocolPort);
    inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(fd);
        throw std::runtime_error("connect");
    }
    const Bytes out = KpBidi::WrapNetworkMessage(KpBidi::SerializePacket(request));
    if (send(fd, out.data(), out.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(out.size())) {
        close(fd);
        throw std::runtime_error("send");
    }
    Bytes reply;
    unsigned char buffer[65536];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        reply.insert(reply.end(), buffer, buffer + n);
    }
    close(fd);
    return reply;
}

// The packets inside the envelopes, as a USB printer would send them.
Bytes WithoutEnvelopes(const Bytes& stream) {
    Bytes packets;
    std::size_t at = 0;
    while (at + 8 <= stream.size() && stream[at] == 0x40 && stream[at + 1] == 0x40) {
        const std::size_t m = (std::size_t{stream[at + 4]} << 24) | (stream[at + 5] << 16) |
                              (stream[at + 6] << 8) | stream[at + 7];
        const std::size_t end = std::min(stream.size(), at + 8 + m);
        packets.insert(packets.end(), stream.begin() + static_cast<long>(at + 8),
                       stream.begin() + static_cast<long>(end));
        at = end;
    }
    return packets;
}

Bytes MarkIds(Bytes reply) {
    const unsigned char id[4] = {0x5E, 0xED, 0x00, 0x01};
    for (std::size_t i = 0; i + 4 <= reply.size(); ++i) {
        if (std::equal(id, id + 4, reply.begin() + static_cast<long>(i))) {
            std::copy_n("IDID", 4, reply.begin() + static_cast<long>(i));
        }
    }
    return reply;
}

void Write(const fs::path& dir, const std::string& name, bool network, unsigned char selector,
           const Bytes& body) {
    fs::create_directories(dir);
    // Chunks of 512 bytes (the first byte's upper bits are a size too).
    Bytes seed{static_cast<unsigned char>((network ? 1 : 0) | (0x40 << 1)), selector};
    seed.insert(seed.end(), {0, 0, 0, 0, 0, 0, 0, 0});  // size 0: whole 4096-byte chunks
    seed.insert(seed.end(), body.begin(), body.end());
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(seed.data()), static_cast<long>(seed.size()));
}

// The hostile printers of the tests, in the seed format: replies no
// simulator sends. "IDID" in the header is the request's id.
int WriteHostileSeeds(const fs::path& corpus) {
    using kpm::test::Cat;
    using kpm::test::HeaderBytes;
    constexpr std::uint32_t kMarkedId = 0x49444944;  // "IDID"
    const Bytes firingReply = kpm::test::ReplyPacketBytes(
        kMarkedId, {{22, kpm::test::StatusValue(0)}, {34, kpm::test::StatusValue(0)}});
    // A stream of empty packets (the id, no commands) before the reply.
    Bytes empties;
    for (int i = 0; i < 300; ++i) {
        empties = Cat({empties, HeaderBytes(kMarkedId), kpm::test::FooterBytes(kMarkedId)});
    }
    // A command announced far beyond any reply's bound, then silence.
    Bytes huge{0x23, 0x23, 0x00, 60};
    kpm::test::PutBe32(huge, 512u << 20);
    const Bytes hugeCommand = Cat({HeaderBytes(kMarkedId), huge, Bytes(64, 0)});
    Bytes hugeEnvelope{0x40, 0x40, 0x00, 0x00};
    kpm::test::PutBe32(hugeEnvelope, 512u << 20);
    hugeEnvelope = Cat({hugeEnvelope, hugeCommand});
    // A host name that is neither UTF-8 nor free of terminal escapes.
    Bytes hostName = kpm::test::StatusValue(0, {});
    for (const unsigned char c : std::string("\xff\xfe\x1b]0;owned\x07\xc3")) {
        hostName.push_back(c);
    }
    hostName.resize(36, 0);
    const Bytes hostReply =
        kpm::test::ReplyPacketBytes(kMarkedId, {{22, kpm::test::StatusValue(0)}, {64, hostName}});

    int written = 0;
    const auto both = [&](const std::string& name, unsigned char selector, const Bytes& usb) {
        Write(corpus / "operation_reply_fuzz", name + "_usb", false, selector, usb);
        Write(corpus / "operation_reply_fuzz", name + "_net", true, selector,
              kpm::test::EnvelopeBytes(usb));
        written += 2;
    };
    both("hostile_empty-packets", 5, Cat({empties, firingReply}));
    both("hostile_huge-command", 0, hugeCommand);
    both("hostile_host-name", 4, hostReply);
    Write(corpus / "operation_reply_fuzz", "hostile_huge-envelope_net", true, 0, hugeEnvelope);
    Write(corpus / "read_network_message_fuzz", "hostile_huge-envelope", true, 0x20, hugeEnvelope);
    Write(corpus / "read_packet_fuzz", "hostile_empty-packets", false, 0x20, empties);
    return written + 3;
}

KpBidi::Packet Request(std::uint16_t code, Bytes value, bool withStatus = true) {
    KpBidi::Packet request = KpBidi::MakeRequest(kId);
    if (withStatus) {
        KpBidi::AddCommand(request, KpBidi::CommandCode::Status, Bytes(8, 0));
    }
    KpBidi::AddCommand(request, code, std::move(value));
    return request;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: record_seeds CORPUS_DIR\n";
        return 2;
    }
    const fs::path corpus = argv[1];
    kpm::sim::Options options;
    options.state.log.size = 5000;
    options.state.log.blockSize = 700;
    kpm::sim::Simulator sim(options);
    sim.UpdateState([](kpm::sim::PrinterState& s) { s.schedule = {{6, 30, 2}, {13, 0, 1}}; });

    // The operation each selector of operation_reply_fuzz runs.
    struct Operation {
        const char* name;
        unsigned char selector;
        KpBidi::Packet request;
    };
    const std::vector<Operation> operations = {
        {"printer_info", 0, Request(KpBidi::CommandCode::GetPrinterInfo, Bytes(8, 0))},
        {"schedule", 1, Request(KpBidi::CommandCode::GetCirculationSchedule, Bytes(8, 0))},
        {"read_data", 2,
         Request(KpBidi::CommandCode::ReadData, {0, 0, 0x80, 0x11, 0, 0, 0, 0}, false)},
        {"ip_mode", 3, Request(KpBidi::CommandCode::GetIpMode, Bytes(8, 0))},
        {"host_name", 4, Request(KpBidi::CommandCode::GetHostName, Bytes(8, 0))},
        {"firing", 5, Request(KpBidi::CommandCode::SendFiring, {1, 0, 0, 1, 2, 3, 4, 0})},
    };
    const std::vector<std::string> faults = {"", "split", "stale-id", "two-in-one"};
    int written = 0;
    for (const Operation& op : operations) {
        for (const std::string& fault : faults) {
            if (!fault.empty()) {
                sim.AddFault(fault + "x1");
            }
            const Bytes stream = MarkIds(Exchange(sim.address(), op.request));
            const std::string name = std::string(op.name) + (fault.empty() ? "" : "_" + fault);
            Write(corpus / "operation_reply_fuzz", name + "_net", true, op.selector, stream);
            Write(corpus / "operation_reply_fuzz", name + "_usb", false, op.selector,
                  WithoutEnvelopes(stream));
            Write(corpus / "read_network_message_fuzz", name, true, 0x20, stream);
            Write(corpus / "read_packet_fuzz", name, false, 0x20, WithoutEnvelopes(stream));
            Write(corpus / "read_packet_fuzz", name + "_streaming", false, 0xA0,
                  WithoutEnvelopes(stream));
            const Bytes packets = WithoutEnvelopes(stream);
            fs::create_directories(corpus / "parse_packet_fuzz");
            std::ofstream(corpus / "parse_packet_fuzz" / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(packets.data()),
                       static_cast<long>(packets.size()));
            written += 6;
        }
    }

    const KpBidi::Packet logRequest = Request(KpBidi::CommandCode::FetchLog, Bytes(8, 0), false);
    for (const char* order : {"in-order", "reverse", "pairs", "shuffle"}) {
        sim.UpdateState([&](kpm::sim::PrinterState& s) {
            s.log.order = std::string(order) == "reverse"   ? kpm::sim::LogOrder::Reverse
                          : std::string(order) == "pairs"   ? kpm::sim::LogOrder::Pairs
                          : std::string(order) == "shuffle" ? kpm::sim::LogOrder::Shuffle
                                                            : kpm::sim::LogOrder::InOrder;
        });
        const Bytes stream = MarkIds(Exchange(sim.address(), logRequest));
        Write(corpus / "fetch_log_fuzz", std::string("log_") + order + "_net", true, 0, stream);
        Write(corpus / "fetch_log_fuzz", std::string("log_") + order + "_usb", false, 0,
              WithoutEnvelopes(stream));
        written += 2;
    }
    for (const char* fault : {"log-repeat:2", "log-no-last", "log-gap:3", "split"}) {
        std::string file = std::string("log_") + fault;
        std::replace(file.begin(), file.end(), ':', '-');
        sim.AddFault(std::string(fault) + "x1");
        const Bytes stream = MarkIds(Exchange(sim.address(), logRequest));
        Write(corpus / "fetch_log_fuzz", file, true, 0, stream);
        ++written;
    }
    // The wizard's decoding: the documents and data blocks as the library
    // hands them over (facade_decode_fuzz: a selector byte, then the bytes).
    kpbidi_printer_tag* printer = KpBidi::capi::AdoptPrinter(
        std::make_unique<KpBidi::communications::linux::HostPrinter>(sim.address()), nullptr);
    const auto writeFacadeSeed = [&](const std::string& name, unsigned char selector,
                                     const unsigned char* bytes, std::size_t size) {
        fs::create_directories(corpus / "facade_decode_fuzz");
        std::ofstream out(corpus / "facade_decode_fuzz" / name, std::ios::binary);
        out.put(static_cast<char>(selector));
        out.write(reinterpret_cast<const char*>(bytes), static_cast<long>(size));
        ++written;
    };
    kpbidi_error_tag error{};
    for (const auto& [name, text, selector] :
         {std::tuple{"identity", kpbidi_get_printer_info(printer, &error), 0},
          std::tuple{"schedule", kpbidi_get_circulation_schedule(printer, &error), 1}}) {
        if (text == nullptr) {
            std::cerr << "record_seeds: cannot read the " << name << " (" << error.code << ")\n";
            return 1;
        }
        writeFacadeSeed(name, static_cast<unsigned char>(selector),
                        reinterpret_cast<const unsigned char*>(text), std::strlen(text));
        kpbidi_free_string(text);
    }
    for (int id : {0x8011, 0x8013, 0x8016}) {
        kpbidi_data_tag* block = kpbidi_read_data(printer, id, &error);
        if (block == nullptr) {
            std::cerr << "record_seeds: cannot read data block " << id << '\n';
            return 1;
        }
        writeFacadeSeed("block_" + std::to_string(id), 2, block->data, block->size);
        kpbidi_free_data(block);
    }
    kpbidi_close_printer(printer);

    written += WriteHostileSeeds(corpus);
    std::cout << "record_seeds: wrote " << written << " seeds under " << corpus << '\n';
    return 0;
}
