// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/usbbridge.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

namespace vortalex {

// The bridge interface on Linux: speaks the bridge chip's USBXpress protocol
// through libusb-1.0.
//
// - Bridge devices are the USB devices whose vendor and product ids appear in
//   kBridgeIds, in libusb's enumeration order.
// - Identification strings by kind: 0 the serial-number string descriptor,
//   1 the product string descriptor, 2 the bus location ("usb-BBB-DDD"),
//   3 the vendor id and 4 the product id as four lower-case hex digits. Other
//   kinds give InvalidParameter. When the device cannot be opened, kinds 0
//   and 1 come from the kernel's copies in sysfs.
// - A time-out of 0 means "wait as little as possible": it becomes 1 ms,
//   because libusb reads 0 as "wait for ever".
// - The receive-queue check reports the bytes already buffered here; when
//   there are none it waits up to kQueueWaitMs on the bulk IN endpoint, so a
//   caller that polls it sleeps in the kernel instead of spinning.
// - A read delivers the buffered bytes, or waits up to the read time-out for
//   the first packet; then it collects packets that follow at once (1 ms
//   waits), so that an answer split across packets comes in one read.
// - A device unplugged while open gives DeviceNotFound from every call; a
//   device whose interface another program has claimed gives DeviceInUse
//   from open.
// - Closing a device that is already unplugged releases its handle and
//   reports success: there is nobody left to say goodbye to.
// - The libusb context is made on first use and ends with the object.
// - Nothing throws: every failure becomes a BridgeStatus code.
class LibusbBridge : public UsbBridge
{
public:
    struct DeviceId
    {
        std::uint16_t vendor;
        std::uint16_t product;
    };
    static constexpr DeviceId kBridgeIds[] = { { 0x10C4, 0xEA61 } };

    static constexpr std::uint32_t kQueueWaitMs = 1;
    static constexpr std::uint32_t kDefaultTimeoutMs = 1000;
    // Time allowed for each vendor control request of open, flush and close.
    static constexpr unsigned kControlTimeoutMs = 1000;

    // Queue status values of checkRxQueue, as the bridge maker numbers them.
    static constexpr std::uint32_t kRxEmpty = 0x00;
    static constexpr std::uint32_t kRxReady = 0x02;

    // Where the udev rule that grants access is installed; the permission
    // hint names it.
    static constexpr const char *kUdevRulePath = "/usr/lib/udev/rules.d/60-vortalex.rules";

    // Where the one-line hints for the user go (the vortalex.usb logging
    // category's warnings, on standard error, by default).
    using WarningSink = std::function<void(const std::string &line)>;

    explicit LibusbBridge(WarningSink warnings = {});
    ~LibusbBridge() override;

    LibusbBridge(const LibusbBridge &) = delete;
    LibusbBridge &operator=(const LibusbBridge &) = delete;

    int deviceCount(std::uint32_t &count) override;
    int identificationString(std::uint32_t index, char *buffer, int kind) override;
    int open(std::uint32_t index, BridgeHandle &handle) override;
    int close(BridgeHandle handle) override;
    int read(BridgeHandle handle, std::uint8_t *buffer, std::uint32_t capacity,
        std::uint32_t &received) override;
    int write(BridgeHandle handle, const std::uint8_t *data, std::uint32_t length,
        std::uint32_t &written) override;
    int flush(BridgeHandle handle, bool transmit, bool receive) override;
    int setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    int timeouts(std::uint32_t &readMs, std::uint32_t &writeMs) override;
    int checkRxQueue(
        BridgeHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override;

private:
    struct OpenDevice
    {
        libusb_device_handle *usb = nullptr;
        std::uint8_t inEndpoint = 0;
        std::uint8_t outEndpoint = 0;
        int inPacketSize = 64;
        // Bytes fetched from the IN endpoint and not yet read.
        std::vector<std::uint8_t> pending;
    };

    // The bridge devices in enumeration order, each referenced once while the
    // list lives, so that no return path can leak a reference.
    class DeviceList
    {
    public:
        DeviceList() = default;
        DeviceList(const DeviceList &) = delete;
        DeviceList &operator=(const DeviceList &) = delete;
        DeviceList(DeviceList &&other) noexcept : m_devices(std::move(other.m_devices)) { }
        ~DeviceList();
        void add(libusb_device *dev);
        std::size_t size() const { return m_devices.size(); }
        libusb_device *operator[](std::size_t i) const { return m_devices[i]; }

    private:
        std::vector<libusb_device *> m_devices;
    };

    bool ensureContext();
    DeviceList bridgeDevices();
    OpenDevice *device(BridgeHandle handle);
    // An open handle on `dev`: the one in the table when we hold it open,
    // otherwise a new one that `temporary` tells the caller to close.
    libusb_device_handle *handleFor(libusb_device *dev, bool &temporary);
    void permissionHint(libusb_device *dev);
    int vendorRequest(libusb_device_handle *usb, std::uint8_t request, std::uint16_t value);
    // One bulk IN transfer of up to `bytes` (whole packets) appended to
    // `pending`, waiting at most `timeoutMs`; returns libusb's result.
    int fetch(OpenDevice &dev, std::uint32_t bytes, unsigned timeoutMs);
    static unsigned usbTimeout(std::uint32_t ms);

    WarningSink m_warnings;
    libusb_context *m_context = nullptr;
    bool m_permissionHintShown = false;
    std::vector<OpenDevice> m_devices;
    std::uint32_t m_readTimeoutMs = kDefaultTimeoutMs;
    std::uint32_t m_writeTimeoutMs = kDefaultTimeoutMs;
};

} // namespace vortalex
