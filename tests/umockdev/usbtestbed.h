// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// Emulated USB bridge devices for libusb, built on a umockdev test bed. The
// devices appear in a mocked sysfs and /dev; their usbdevfs ioctls (string
// descriptors, vendor requests, interface claims, bulk URBs) are answered here,
// with the bulk OUT data handed to an answerer that plays the box.
//
// umockdev's preload library must be active in the process (see
// ensurePreloaded()). The ioctls are answered on umockdev's own thread while
// the test thread sits in libusb, so every accessor locks.
class UsbTestbed
{
public:
    struct ControlRequest
    {
        std::uint8_t requestType;
        std::uint8_t request;
        std::uint16_t value;
        std::uint16_t index;
        bool operator==(const ControlRequest &o) const
        {
            return requestType == o.requestType && request == o.request && value == o.value
                && index == o.index;
        }
    };

    // What a device does with the next request frames.
    enum class Fault {
        None,
        NoAnswer, // takes the request, never answers
        ShortAnswer, // answers only the first `shortLength` bytes
        VanishAfterRequest, // takes the request, then is unplugged
    };

    using Answerer = std::function<QByteArray(const QByteArray &request)>;

    // Re-executes the program with umockdev's preload library when it is not
    // loaded yet; returns only when it is (or when that cannot be done).
    static void ensurePreloaded(char **argv);
    static bool preloaded();

    UsbTestbed();
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed &) = delete;
    UsbTestbed &operator=(const UsbTestbed &) = delete;

    // Emulates the device at `syspath` ("/sys/devices/...") with node `devnode`
    // ("/dev/bus/usb/001/002"); call before loading the description that
    // creates it.
    void emulate(const QString &syspath, const QString &devnode, const QByteArray &serial,
        Answerer answerer);
    bool loadDescription(const QString &file);

    void setFault(const QString &devnode, Fault fault, int shortLength = 0);
    // Unplugs the device: it leaves sysfs and every further ioctl fails with ENODEV.
    void unplug(const QString &devnode);
    // Another program holds the device: claiming its interface fails with EBUSY.
    void holdElsewhere(const QString &devnode);
    // Sets a sysfs attribute of the device (e.g. "serial").
    void setAttribute(const QString &devnode, const QString &name, const QString &value);
    // Puts a directory where the device node was: opening it fails.
    void blockNode(const QString &devnode);
    // Takes every permission off the device node (mode 000): a user without
    // root's powers gets "permission denied" on open.
    void denyNode(const QString &devnode);

    QList<ControlRequest> vendorRequests(const QString &devnode) const;
    QList<QByteArray> framesToBox(const QString &devnode) const;
    QList<QByteArray> framesFromBox(const QString &devnode) const;
    bool interfaceClaimed(const QString &devnode) const;
    // Bulk IN URBs cancelled by the host (a wait that ended without data).
    int discardedUrbs(const QString &devnode) const;
    // Ioctls that the emulation does not know, as "devnode 0x<request>".
    QList<QString> unknownIoctls() const;
    void clearLogs();

    struct Device;

private:
    Device *find(const QString &devnode) const;

    struct Private;
    std::unique_ptr<Private> d;
};
