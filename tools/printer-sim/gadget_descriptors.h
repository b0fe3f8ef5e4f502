// What the simulator tells the kernel about itself when it plays a USB
// printer through FunctionFS: one interface of the printer class (7),
// subclass 1, protocol 2 (bidirectional), with a bulk-out endpoint for
// requests and a bulk-in endpoint for replies, at full and at high speed;
// and the answers of the printer class's own control requests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kpm::sim {

// Packet sizes of the bulk endpoints at high speed (what dummy_hcd and a
// real printer on a USB 2 port run at) and at full speed.
inline constexpr std::uint16_t kGadgetHighSpeedPacket = 512;
inline constexpr std::uint16_t kGadgetFullSpeedPacket = 64;

// The descriptor block written first to ep0 (FunctionFS's v2 format).
std::vector<unsigned char> GadgetDescriptors();
// The string block written next: the interface's name in US English.
std::vector<unsigned char> GadgetStrings();

// Printer-class requests (interface recipient).
inline constexpr std::uint8_t kGetDeviceId = 0;
inline constexpr std::uint8_t kGetPortStatus = 1;
inline constexpr std::uint8_t kSoftReset = 2;

// The answer to GET_DEVICE_ID: the identifier's length (itself included)
// big-endian in two bytes, then the identifier; cut to `maxLength` bytes as
// the host asked. An identifier too long for the length field is cut too.
std::vector<unsigned char> DeviceIdReply(const std::string& deviceId, std::uint16_t maxLength);

// GET_PORT_STATUS: selected, no error, paper present.
inline constexpr std::uint8_t kPortStatusReady = 0x18;

}  // namespace kpm::sim
