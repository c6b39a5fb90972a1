// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace vortalex {

// Handle of an open bridge device; kNoHandle means that no device is open.
using BridgeHandle = std::int32_t;
constexpr BridgeHandle kNoHandle = -1;

// Status codes of the bridge operations, numbered as the bridge maker's access
// library numbers them. Only 0 means success; callers treat every other value
// as a failure. DeviceNotFound also says that an open device was unplugged.
namespace BridgeStatus {
constexpr int Success = 0x00;
constexpr int InvalidHandle = 0x01;
constexpr int ReadError = 0x02;
constexpr int RxQueueNotReady = 0x03;
constexpr int WriteError = 0x04;
constexpr int ResetError = 0x05;
constexpr int InvalidParameter = 0x06;
constexpr int InvalidRequestLength = 0x07;
constexpr int DeviceIoFailed = 0x08;
constexpr int FunctionNotSupported = 0x0A;
constexpr int SystemError = 0x0C;
constexpr int ReadTimedOut = 0x0D;
constexpr int WriteTimedOut = 0x0E;
constexpr int DeviceNotFound = 0xFF;
// Not the bridge maker's: the device is there but another program holds it.
constexpr int DeviceInUse = 0x80;
} // namespace BridgeStatus

// Kinds of identification string, numbered as the bridge maker's access
// library numbers them.
namespace IdStringKind {
constexpr int SerialNumber = 0;
constexpr int Description = 1; // the product string
constexpr int Path = 2; // "usb-<bus>-<address>"
constexpr int VendorId = 3; // four hex digits
constexpr int ProductId = 4; // four hex digits
} // namespace IdStringKind

// Room for an identification string: up to 259 characters and a zero.
constexpr std::size_t kIdStringCapacity = 260;

// The operations the program needs from a USB bridge (USBXpress-style API).
// Implemented by the libusb back end for real hardware and by the emulated box
// for tests and the demo. All calls come from the GUI thread.
class UsbBridge
{
public:
    virtual ~UsbBridge() = default;

    // Number of bridge devices that can be enumerated, indexed from 0.
    virtual int deviceCount(std::uint32_t &count) = 0;
    // Zero-terminated identification string of kind `kind` (an IdStringKind)
    // into `buffer`, which has room for kIdStringCapacity bytes.
    virtual int identificationString(std::uint32_t index, char *buffer, int kind) = 0;
    virtual int open(std::uint32_t index, BridgeHandle &handle) = 0;
    virtual int close(BridgeHandle handle) = 0;
    // Delivers what the device sent, up to `capacity` bytes, waiting at most
    // the current read time-out.
    virtual int read(BridgeHandle handle, std::uint8_t *buffer, std::uint32_t capacity,
                     std::uint32_t &received)
            = 0;
    // Sends `length` bytes, waiting at most the current write time-out.
    virtual int write(BridgeHandle handle, const std::uint8_t *data, std::uint32_t length,
                      std::uint32_t &written)
            = 0;
    // Discards whatever is pending in the chosen directions.
    virtual int flush(BridgeHandle handle, bool transmit, bool receive) = 0;
    virtual int setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) = 0;
    virtual int timeouts(std::uint32_t &readMs, std::uint32_t &writeMs) = 0;
    // Number of received bytes waiting to be read. An implementation may wait
    // up to about 1 ms for data so that a caller polling it does not spin.
    virtual int checkRxQueue(BridgeHandle handle, std::uint32_t &queued,
                             std::uint32_t &queueStatus)
            = 0;
};

} // namespace vortalex
