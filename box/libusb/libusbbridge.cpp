// SPDX-License-Identifier: GPL-3.0-or-later
#include "libusbbridge.h"

#include "link/logging.h"

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace vortalex {

namespace {

// Vendor requests of the bridge's USBXpress protocol (bmRequestType 0x40:
// vendor, device, host to device).
constexpr std::uint8_t kVendorOut = 0x40;
constexpr std::uint8_t kRequestEnable = 0x00;
constexpr std::uint16_t kEnableValue = 0xFFFF;
constexpr std::uint8_t kRequestControl = 0x02;
constexpr std::uint16_t kControlFlush = 0x0001;
constexpr std::uint16_t kControlClearToSend = 0x0002;
constexpr std::uint16_t kControlNotClearToSend = 0x0004;

constexpr int kInterface = 0;

// Room for one read of the link's largest answer, in whole packets.
constexpr std::uint32_t kQueueFetchBytes = 64;

int roundUpToPackets(std::uint32_t bytes, int packetSize)
{
    const std::uint32_t packet = std::uint32_t(std::max(packetSize, 1));
    const std::uint32_t packets = std::max<std::uint32_t>(1, (bytes + packet - 1) / packet);
    return int(std::min<std::uint32_t>(packets * packet, 64 * 1024));
}

bool isBridge(const libusb_device_descriptor &desc)
{
    for (const auto &id : LibusbBridge::kBridgeIds) {
        if (desc.idVendor == id.vendor && desc.idProduct == id.product)
            return true;
    }
    return false;
}

bool findBulkEndpoints(
    const libusb_config_descriptor *config, std::uint8_t &in, std::uint8_t &out, int &inPacketSize)
{
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface &interface = config->interface[i];
        if (interface.num_altsetting < 1)
            continue;
        const libusb_interface_descriptor &alt = interface.altsetting[0];
        if (alt.bInterfaceNumber != kInterface)
            continue;
        in = 0;
        out = 0;
        for (int e = 0; e < alt.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor &ep = alt.endpoint[e];
            if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                continue;
            if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN) {
                if (in == 0) {
                    in = ep.bEndpointAddress;
                    inPacketSize = ep.wMaxPacketSize & 0x7FF;
                }
            } else if (out == 0) {
                out = ep.bEndpointAddress;
            }
        }
        return in != 0 && out != 0;
    }
    return false;
}

int openStatus(int usbError)
{
    switch (usbError) {
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
        return BridgeStatus::DeviceNotFound;
    case LIBUSB_ERROR_ACCESS:
        return BridgeStatus::SystemError;
    case LIBUSB_ERROR_BUSY:
        return BridgeStatus::DeviceInUse;
    default:
        return BridgeStatus::DeviceIoFailed;
    }
}

// The one-line text attribute `name` of the device's sysfs directory (Linux
// keeps its string descriptors there, readable by everyone) into `buffer`.
bool sysfsAttribute(libusb_device *dev, const char *name, char *buffer)
{
    std::uint8_t ports[8];
    const int depth = libusb_get_port_numbers(dev, ports, int(sizeof ports));
    if (depth <= 0)
        return false;
    std::string path = "/sys/bus/usb/devices/" + std::to_string(libusb_get_bus_number(dev)) + '-';
    for (int i = 0; i < depth; ++i)
        path += (i > 0 ? "." : "") + std::to_string(ports[i]);
    path += '/';
    path += name;
    std::FILE *file = std::fopen(path.c_str(), "r");
    if (!file)
        return false;
    const bool ok = std::fgets(buffer, int(kIdStringCapacity), file) != nullptr;
    std::fclose(file);
    if (!ok) {
        buffer[0] = '\0';
        return false;
    }
    buffer[std::strcspn(buffer, "\n")] = '\0';
    return true;
}

// Through the logging category, which passes warnings by default: on standard
// error, or wherever the desktop session collects the program's messages.
void printLine(const std::string &line)
{
    qCWarning(lcUsb, "%s", line.c_str());
}

} // namespace

LibusbBridge::LibusbBridge(WarningSink warnings)
    : m_warnings(warnings ? std::move(warnings) : WarningSink(printLine))
{
}

LibusbBridge::~LibusbBridge()
{
    for (std::size_t i = 0; i < m_devices.size(); ++i) {
        if (m_devices[i].usb)
            close(BridgeHandle(i));
    }
    if (m_context)
        libusb_exit(m_context);
}

bool LibusbBridge::ensureContext()
{
    if (!m_context && libusb_init(&m_context) != LIBUSB_SUCCESS)
        m_context = nullptr;
    return m_context != nullptr;
}

LibusbBridge::DeviceList::~DeviceList()
{
    for (libusb_device *dev : m_devices)
        libusb_unref_device(dev);
}

void LibusbBridge::DeviceList::add(libusb_device *dev)
{
    m_devices.push_back(libusb_ref_device(dev));
}

LibusbBridge::DeviceList LibusbBridge::bridgeDevices()
{
    DeviceList found;
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(m_context, &list);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor desc {};
        if (libusb_get_device_descriptor(list[i], &desc) == LIBUSB_SUCCESS && isBridge(desc))
            found.add(list[i]);
    }
    if (list)
        libusb_free_device_list(list, 1);
    return found;
}

LibusbBridge::OpenDevice *LibusbBridge::device(BridgeHandle handle)
{
    if (handle < 0 || std::size_t(handle) >= m_devices.size() || !m_devices[handle].usb)
        return nullptr;
    return &m_devices[std::size_t(handle)];
}

void LibusbBridge::permissionHint(libusb_device *dev)
{
    if (m_permissionHintShown)
        return;
    m_permissionHintShown = true;
    libusb_device_descriptor desc {};
    libusb_get_device_descriptor(dev, &desc);
    char line[512];
    std::snprintf(line, sizeof line,
        "no permission to open the USB device %04x:%04x at /dev/bus/usb/%03u/%03u. The udev "
        "rule %s (installed by the vortalex-utility package) gives the user at the seat "
        "access; install it, then unplug and replug the box. See \"Troubleshooting\" in "
        "the README (/usr/share/doc/vortalex-utility/README.md).",
        desc.idVendor, desc.idProduct, libusb_get_bus_number(dev), libusb_get_device_address(dev),
        kUdevRulePath);
    m_warnings(line);
}

libusb_device_handle *LibusbBridge::handleFor(libusb_device *dev, bool &temporary)
{
    temporary = false;
    for (const OpenDevice &open : m_devices) {
        if (open.usb && libusb_get_device(open.usb) == dev)
            return open.usb;
    }
    libusb_device_handle *usb = nullptr;
    const int result = libusb_open(dev, &usb);
    if (result == LIBUSB_ERROR_ACCESS)
        permissionHint(dev);
    if (result != LIBUSB_SUCCESS)
        return nullptr;
    temporary = true;
    return usb;
}

unsigned LibusbBridge::usbTimeout(std::uint32_t ms)
{
    // libusb waits for ever on 0; the bridge means "as little as possible".
    return ms == 0 ? 1u : unsigned(ms);
}

int LibusbBridge::vendorRequest(
    libusb_device_handle *usb, std::uint8_t request, std::uint16_t value)
{
    return libusb_control_transfer(
        usb, kVendorOut, request, value, kInterface, nullptr, 0, kControlTimeoutMs);
}

int LibusbBridge::fetch(OpenDevice &dev, std::uint32_t bytes, unsigned timeoutMs)
{
    const int size = roundUpToPackets(bytes, dev.inPacketSize);
    std::vector<std::uint8_t> buffer(std::size_t(size), 0);
    int transferred = 0;
    const int result = libusb_bulk_transfer(
        dev.usb, dev.inEndpoint, buffer.data(), size, &transferred, timeoutMs);
    // A transfer that timed out may still have brought part of an answer.
    if (transferred > 0)
        dev.pending.insert(dev.pending.end(), buffer.begin(), buffer.begin() + transferred);
    return result;
}

int LibusbBridge::deviceCount(std::uint32_t &count)
{
    count = 0;
    if (!ensureContext())
        return BridgeStatus::SystemError;
    const DeviceList devices = bridgeDevices();
    count = std::uint32_t(devices.size());
    return BridgeStatus::Success;
}

int LibusbBridge::identificationString(std::uint32_t index, char *buffer, int kind)
{
    if (!buffer)
        return BridgeStatus::InvalidParameter;
    buffer[0] = '\0';
    if (kind < IdStringKind::SerialNumber || kind > IdStringKind::ProductId)
        return BridgeStatus::InvalidParameter;
    if (!ensureContext())
        return BridgeStatus::SystemError;

    const DeviceList devices = bridgeDevices();
    if (index >= devices.size())
        return BridgeStatus::DeviceNotFound;
    libusb_device *dev = devices[index];
    libusb_device_descriptor desc {};
    libusb_get_device_descriptor(dev, &desc);

    int status = BridgeStatus::Success;
    if (kind == IdStringKind::Path) {
        std::snprintf(buffer, kIdStringCapacity, "usb-%03u-%03u", libusb_get_bus_number(dev),
            libusb_get_device_address(dev));
    } else if (kind == IdStringKind::VendorId || kind == IdStringKind::ProductId) {
        std::snprintf(buffer, kIdStringCapacity, "%04x",
            kind == IdStringKind::VendorId ? desc.idVendor : desc.idProduct);
    } else {
        const bool serial = kind == IdStringKind::SerialNumber;
        const std::uint8_t descriptor = serial ? desc.iSerialNumber : desc.iProduct;
        // A device without that string reports an empty one.
        if (descriptor != 0) {
            bool temporary = false;
            libusb_device_handle *usb = handleFor(dev, temporary);
            if (!usb) {
                // Without access to the device node the kernel's copy of the
                // string still names the device, so that the box is found and
                // its open fails with a clear message.
                if (!sysfsAttribute(dev, serial ? "serial" : "product", buffer))
                    status = BridgeStatus::DeviceNotFound;
            } else {
                const int length = libusb_get_string_descriptor_ascii(usb, descriptor,
                    reinterpret_cast<unsigned char *>(buffer), int(kIdStringCapacity - 1));
                if (length >= 0) {
                    buffer[length] = '\0';
                } else {
                    buffer[0] = '\0';
                    status = length == LIBUSB_ERROR_NO_DEVICE ? BridgeStatus::DeviceNotFound
                                                              : BridgeStatus::DeviceIoFailed;
                }
                if (temporary)
                    libusb_close(usb);
            }
        }
    }
    return status;
}

int LibusbBridge::open(std::uint32_t index, BridgeHandle &handle)
{
    handle = kNoHandle;
    if (!ensureContext())
        return BridgeStatus::SystemError;
    const DeviceList devices = bridgeDevices();
    if (index >= devices.size())
        return BridgeStatus::DeviceNotFound;
    libusb_device *dev = devices[index];

    OpenDevice opened;
    int result = libusb_open(dev, &opened.usb);
    qCDebug(lcUsb, "libusb_open %03u/%03u: %s", libusb_get_bus_number(dev),
        libusb_get_device_address(dev), libusb_error_name(result));
    if (result == LIBUSB_ERROR_ACCESS)
        permissionHint(dev);
    if (result != LIBUSB_SUCCESS)
        return openStatus(result);

    libusb_config_descriptor *config = nullptr;
    bool endpointsFound = false;
    if (libusb_get_active_config_descriptor(dev, &config) == LIBUSB_SUCCESS) {
        endpointsFound
            = findBulkEndpoints(config, opened.inEndpoint, opened.outEndpoint, opened.inPacketSize);
        libusb_free_config_descriptor(config);
    }

    int status = BridgeStatus::Success;
    bool claimed = false;
    if (!endpointsFound) {
        status = BridgeStatus::DeviceIoFailed;
    } else {
        // A serial driver bound to the chip is set aside while we hold it and
        // given back on release. Not every platform can do that; claiming then
        // tells whether the interface is free.
        libusb_set_auto_detach_kernel_driver(opened.usb, 1);
        result = libusb_claim_interface(opened.usb, kInterface);
        claimed = result == LIBUSB_SUCCESS;
        if (!claimed)
            qCDebug(lcUsb, "libusb_claim_interface: %s", libusb_error_name(result));
        if (!claimed)
            status = openStatus(result);
    }
    if (status == BridgeStatus::Success) {
        result = vendorRequest(opened.usb, kRequestEnable, kEnableValue);
        if (result >= 0)
            result = vendorRequest(opened.usb, kRequestControl, kControlClearToSend);
        if (result < 0) {
            qCDebug(lcUsb, "enabling the bridge: %s", libusb_error_name(result));
            status = openStatus(result);
        }
    }
    if (status != BridgeStatus::Success) {
        if (claimed)
            libusb_release_interface(opened.usb, kInterface);
        libusb_close(opened.usb);
        return status;
    }

    std::size_t slot = 0;
    while (slot < m_devices.size() && m_devices[slot].usb)
        ++slot;
    if (slot == m_devices.size())
        m_devices.emplace_back();
    m_devices[slot] = std::move(opened);
    handle = BridgeHandle(slot);
    return BridgeStatus::Success;
}

int LibusbBridge::close(BridgeHandle handle)
{
    OpenDevice *dev = device(handle);
    if (!dev)
        return BridgeStatus::InvalidHandle;
    const int result = vendorRequest(dev->usb, kRequestControl, kControlNotClearToSend);
    libusb_release_interface(dev->usb, kInterface);
    libusb_close(dev->usb);
    *dev = OpenDevice();
    // A box that is already gone cannot be told goodbye; its handle is
    // released all the same.
    if (result < 0 && result != LIBUSB_ERROR_NO_DEVICE)
        return BridgeStatus::DeviceIoFailed;
    return BridgeStatus::Success;
}

int LibusbBridge::read(
    BridgeHandle handle, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t &received)
{
    received = 0;
    OpenDevice *dev = device(handle);
    if (!dev)
        return BridgeStatus::InvalidHandle;
    if (capacity == 0)
        return BridgeStatus::Success;
    if (!buffer)
        return BridgeStatus::InvalidParameter;

    if (dev->pending.empty()) {
        const int result = fetch(*dev, capacity, usbTimeout(m_readTimeoutMs));
        if (result == LIBUSB_ERROR_NO_DEVICE)
            return BridgeStatus::DeviceNotFound;
        if (result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_TIMEOUT)
            return BridgeStatus::ReadError;
        if (dev->pending.empty())
            return BridgeStatus::ReadTimedOut;
    }
    // An answer may come in more than one packet: collect what follows at
    // once, without waiting for a whole time-out.
    while (dev->pending.size() < capacity) {
        const std::size_t before = dev->pending.size();
        const int result = fetch(*dev, capacity - std::uint32_t(before), kQueueWaitMs);
        if ((result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_TIMEOUT)
            || dev->pending.size() == before)
            break;
    }

    received = std::min<std::uint32_t>(capacity, std::uint32_t(dev->pending.size()));
    std::memcpy(buffer, dev->pending.data(), received);
    dev->pending.erase(dev->pending.begin(), dev->pending.begin() + received);
    return BridgeStatus::Success;
}

int LibusbBridge::write(
    BridgeHandle handle, const std::uint8_t *data, std::uint32_t length, std::uint32_t &written)
{
    written = 0;
    OpenDevice *dev = device(handle);
    if (!dev)
        return BridgeStatus::InvalidHandle;
    if (length == 0)
        return BridgeStatus::Success;
    if (!data)
        return BridgeStatus::InvalidParameter;

    int transferred = 0;
    // libusb does not write through the buffer of an OUT transfer.
    const int result = libusb_bulk_transfer(dev->usb, dev->outEndpoint,
        const_cast<std::uint8_t *>(data), int(length), &transferred, usbTimeout(m_writeTimeoutMs));
    written = std::uint32_t(std::max(transferred, 0));
    if (result == LIBUSB_SUCCESS && written == length)
        return BridgeStatus::Success;
    if (result == LIBUSB_ERROR_TIMEOUT)
        return BridgeStatus::WriteTimedOut;
    if (result == LIBUSB_ERROR_NO_DEVICE)
        return BridgeStatus::DeviceNotFound;
    return BridgeStatus::WriteError;
}

int LibusbBridge::flush(BridgeHandle handle, bool transmit, bool receive)
{
    OpenDevice *dev = device(handle);
    if (!dev)
        return BridgeStatus::InvalidHandle;
    if (!transmit && !receive)
        return BridgeStatus::Success;
    if (receive)
        dev->pending.clear();
    const int result = vendorRequest(dev->usb, kRequestControl, kControlFlush);
    if (result == LIBUSB_ERROR_NO_DEVICE)
        return BridgeStatus::DeviceNotFound;
    if (result < 0)
        return BridgeStatus::DeviceIoFailed;
    return BridgeStatus::Success;
}

int LibusbBridge::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs)
{
    m_readTimeoutMs = readMs;
    m_writeTimeoutMs = writeMs;
    return BridgeStatus::Success;
}

int LibusbBridge::timeouts(std::uint32_t &readMs, std::uint32_t &writeMs)
{
    readMs = m_readTimeoutMs;
    writeMs = m_writeTimeoutMs;
    return BridgeStatus::Success;
}

int LibusbBridge::checkRxQueue(
    BridgeHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus)
{
    queued = 0;
    queueStatus = kRxEmpty;
    OpenDevice *dev = device(handle);
    if (!dev)
        return BridgeStatus::InvalidHandle;
    if (dev->pending.empty()) {
        // Waiting here in the kernel is what keeps a polling caller off the CPU.
        const int result = fetch(*dev, kQueueFetchBytes, kQueueWaitMs);
        if (result == LIBUSB_ERROR_NO_DEVICE)
            return BridgeStatus::DeviceNotFound;
        if (result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_TIMEOUT)
            return BridgeStatus::ReadError;
    }
    queued = std::uint32_t(dev->pending.size());
    queueStatus = queued > 0 ? kRxReady : kRxEmpty;
    return BridgeStatus::Success;
}

} // namespace vortalex
