// SPDX-License-Identifier: GPL-3.0-or-later
// umockdev brings glib, whose headers use the word Qt defines as a keyword:
// include it before any Qt header.
#include <umockdev.h>

#include "usbtestbed.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char *kPreloadLibrary = "libumockdev-preload.so.0";
constexpr int kPacketSize = 64;
constexpr gulong kIdleReapPauseUs = 500;
constexpr int kSetupLength = 8;
constexpr std::uint8_t kStringDescriptor = 0x03;
constexpr std::uint8_t kGetDescriptor = 0x06;

// A URB the host submitted and has not reaped yet.
struct Urb
{
    UMockdevIoctlData *data = nullptr; // our reference
    UMockdevIoctlClient *client = nullptr; // compared only, never dereferenced
    int status = 0;
    int actualLength = 0;
    QByteArray reply; // copied into the buffer (after the setup packet for control)
    bool control = false;
    bool bulkIn = false;
    bool lastBeforeUnplug = false;
};

QByteArray stringDescriptor(const QByteArray &ascii)
{
    QByteArray d;
    d.append(char(2 + 2 * ascii.size()));
    d.append(char(kStringDescriptor));
    for (char c : ascii) {
        d.append(c);
        d.append('\0');
    }
    return d;
}

} // namespace

struct UsbTestbed::Device
{
    UsbTestbed::Private *owner = nullptr;
    QString syspath;
    QString devnode;
    QByteArray serial;
    Answerer answerer;
    UMockdevIoctlBase *handler = nullptr;

    Fault fault = Fault::None;
    int shortLength = 0;
    bool gone = false; // every ioctl fails
    bool removed = false; // gone from sysfs too
    bool claimed = false;
    bool heldElsewhere = false; // another program has claimed the interface
    int discarded = 0;

    QList<ControlRequest> controlOut;
    QList<QByteArray> toBox;
    QList<QByteArray> fromBox;
    QList<QByteArray> inPackets; // what the box sent and the host has not fetched
    QList<Urb> flying; // IN URBs waiting for data
    QList<Urb> done; // completed, waiting to be reaped
};

struct UsbTestbed::Private
{
    UMockdevTestbed *testbed = nullptr;
    std::vector<std::unique_ptr<Device>> devices;
    QList<QString> unknown;
    mutable std::mutex mutex;
};

namespace {

using Device = UsbTestbed::Device;

void completeErrno(UMockdevIoctlClient *client, int error)
{
    umockdev_ioctl_client_complete(client, -1, error);
}

QByteArray controlReply(Device &dev, const std::uint8_t *setup, int &status)
{
    status = 0;
    const std::uint8_t type = setup[0];
    const std::uint8_t request = setup[1];
    const std::uint16_t value = std::uint16_t(setup[2] | setup[3] << 8);
    const std::uint16_t length = std::uint16_t(setup[6] | setup[7] << 8);
    if (type == 0x80 && request == kGetDescriptor && (value >> 8) == kStringDescriptor) {
        QByteArray reply;
        switch (value & 0xFF) {
        case 0:
            reply = QByteArray("\x04\x03\x09\x04", 4); // US English only
            break;
        case 1:
            reply = stringDescriptor("Emulated bridge maker");
            break;
        case 2:
            reply = stringDescriptor("Emulated USB bridge");
            break;
        case 3:
            reply = stringDescriptor(dev.serial);
            break;
        default:
            status = -EPIPE;
            return {};
        }
        return reply.left(length);
    }
    status = -EPIPE; // a request the bridge does not know stalls
    return {};
}

// The box takes one request frame from the bulk OUT endpoint.
void takeRequest(Device &dev, const QByteArray &frame, Urb &urb)
{
    dev.toBox.append(frame);
    QByteArray answer;
    switch (dev.fault) {
    case UsbTestbed::Fault::None:
        answer = dev.answerer ? dev.answerer(frame) : QByteArray();
        break;
    case UsbTestbed::Fault::ShortAnswer:
        answer = (dev.answerer ? dev.answerer(frame) : QByteArray()).left(dev.shortLength);
        break;
    case UsbTestbed::Fault::NoAnswer:
        break;
    case UsbTestbed::Fault::VanishAfterRequest:
        urb.lastBeforeUnplug = true;
        break;
    }
    if (answer.isEmpty())
        return;
    dev.fromBox.append(answer);
    for (int at = 0; at < answer.size(); at += kPacketSize)
        dev.inPackets.append(answer.mid(at, kPacketSize));
}

// Hands the box's waiting data to the bulk IN URBs in submission order.
void deliver(Device &dev)
{
    while (!dev.inPackets.isEmpty() && !dev.flying.isEmpty()) {
        Urb urb = dev.flying.takeFirst();
        auto *raw = reinterpret_cast<usbdevfs_urb *>(urb.data->data);
        QByteArray &packet = dev.inPackets.first();
        urb.reply = packet.left(raw->buffer_length);
        urb.actualLength = int(urb.reply.size());
        packet.remove(0, urb.reply.size());
        if (packet.isEmpty())
            dev.inPackets.removeFirst();
        dev.done.append(urb);
    }
}

void submitUrb(Device &dev, UMockdevIoctlClient *client)
{
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData *urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    if (!urbData) {
        completeErrno(client, EFAULT);
        return;
    }
    auto *raw = reinterpret_cast<usbdevfs_urb *>(urbData->data);
    UMockdevIoctlData *buffer = nullptr;
    if (raw->buffer_length > 0)
        buffer = umockdev_ioctl_data_resolve(
            urbData, offsetof(usbdevfs_urb, buffer), std::size_t(raw->buffer_length), nullptr);
    const auto *bytes = buffer ? buffer->data : nullptr;

    Urb urb;
    urb.data = urbData; // the reference from resolve() is ours now
    urb.client = client;
    bool accepted = true;
    if (raw->type == USBDEVFS_URB_TYPE_CONTROL && bytes && raw->buffer_length >= kSetupLength) {
        urb.control = true;
        if (bytes[0] & 0x80) {
            urb.reply = controlReply(dev, bytes, urb.status);
            urb.actualLength = int(urb.reply.size());
        } else {
            dev.controlOut.append({ bytes[0], bytes[1], std::uint16_t(bytes[2] | bytes[3] << 8),
                std::uint16_t(bytes[4] | bytes[5] << 8) });
        }
        dev.done.append(urb);
    } else if (raw->type == USBDEVFS_URB_TYPE_BULK && raw->endpoint == 0x01) {
        takeRequest(
            dev, QByteArray(reinterpret_cast<const char *>(bytes), raw->buffer_length), urb);
        urb.actualLength = raw->buffer_length;
        dev.done.append(urb);
        deliver(dev);
    } else if (raw->type == USBDEVFS_URB_TYPE_BULK && raw->endpoint == 0x81) {
        urb.bulkIn = true;
        dev.flying.append(urb);
        deliver(dev);
    } else {
        accepted = false;
        umockdev_ioctl_data_unref(urbData);
    }
    if (buffer)
        umockdev_ioctl_data_unref(buffer);
    if (accepted)
        umockdev_ioctl_client_complete(client, 0, 0);
    else
        completeErrno(client, EINVAL);
}

// Completes the reap with the oldest finished URB of `client`; false when
// there is none (the caller answers EAGAIN).
bool reapUrb(Device &dev, UMockdevIoctlClient *client)
{
    int at = 0;
    while (at < dev.done.size() && dev.done[at].client != client)
        ++at;
    if (at == dev.done.size())
        return false;
    Urb urb = dev.done.takeAt(at);
    auto *raw = reinterpret_cast<usbdevfs_urb *>(urb.data->data);
    raw->status = urb.status;
    raw->actual_length = urb.actualLength;
    if (!urb.reply.isEmpty()) {
        auto *target = static_cast<std::uint8_t *>(raw->buffer) + (urb.control ? kSetupLength : 0);
        std::memcpy(target, urb.reply.constData(), std::size_t(urb.reply.size()));
    }
    UMockdevIoctlData *pointer = umockdev_ioctl_data_resolve(
        umockdev_ioctl_client_get_arg(client), 0, sizeof(void *), nullptr);
    umockdev_ioctl_data_set_ptr(pointer, 0, urb.data);
    umockdev_ioctl_data_unref(pointer);
    umockdev_ioctl_data_unref(urb.data);
    if (urb.lastBeforeUnplug)
        dev.gone = true;
    umockdev_ioctl_client_complete(client, 0, 0);
    return true;
}

void discardUrb(Device &dev, UMockdevIoctlClient *client)
{
    const gulong address = *reinterpret_cast<gulong *>(umockdev_ioctl_client_get_arg(client)->data);
    for (int i = 0; i < dev.flying.size(); ++i) {
        if (dev.flying[i].client == client && dev.flying[i].data->client_addr == address) {
            Urb urb = dev.flying.takeAt(i);
            urb.status = -ENOENT;
            urb.actualLength = 0;
            dev.done.append(urb);
            ++dev.discarded;
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    }
    completeErrno(client, EINVAL);
}

template<typename T> bool resolveValue(UMockdevIoctlClient *client, T &value, bool write)
{
    UMockdevIoctlData *data
        = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(T), nullptr);
    if (!data)
        return false;
    if (write)
        std::memcpy(data->data, &value, sizeof(T));
    else
        std::memcpy(&value, data->data, sizeof(T));
    umockdev_ioctl_data_unref(data);
    return true;
}

} // namespace

// Runs on umockdev's thread for every ioctl on an emulated device node.
static gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer user)
{
    auto &dev = *static_cast<Device *>(user);
    std::unique_lock<std::mutex> lock(dev.owner->mutex);
    const gulong request = umockdev_ioctl_client_get_request(client);
    if (dev.gone) {
        completeErrno(client, ENODEV);
        return TRUE;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        std::uint32_t caps = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM
            | USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
        if (resolveValue(client, caps, true))
            umockdev_ioctl_client_complete(client, 0, 0);
        else
            completeErrno(client, EFAULT);
        return TRUE;
    }
    case USBDEVFS_GETDRIVER:
        completeErrno(client, ENODATA); // no kernel driver bound
        return TRUE;
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        unsigned int interface = 0;
        if (!resolveValue(client, interface, false) || interface != 0) {
            completeErrno(client, EINVAL);
            return TRUE;
        }
        if (request == USBDEVFS_CLAIMINTERFACE && dev.heldElsewhere) {
            completeErrno(client, EBUSY);
            return TRUE;
        }
        dev.claimed = request == USBDEVFS_CLAIMINTERFACE;
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case USBDEVFS_DISCONNECT_CLAIM: {
        // No kernel driver is bound to the emulated bridge: this is a claim.
        usbdevfs_disconnect_claim claim {};
        if (!resolveValue(client, claim, false) || claim.interface != 0) {
            completeErrno(client, EINVAL);
            return TRUE;
        }
        if (dev.heldElsewhere) {
            completeErrno(client, EBUSY);
            return TRUE;
        }
        dev.claimed = true;
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case USBDEVFS_IOCTL: {
        // Driver (dis)connection requests for one interface.
        usbdevfs_ioctl command {};
        if (!resolveValue(client, command, false)) {
            completeErrno(client, EFAULT);
            return TRUE;
        }
        if (command.ioctl_code == int(USBDEVFS_DISCONNECT))
            completeErrno(client, ENODATA); // nothing to disconnect
        else if (command.ioctl_code == int(USBDEVFS_CONNECT))
            umockdev_ioctl_client_complete(client, 0, 0);
        else
            completeErrno(client, ENOTTY);
        return TRUE;
    }
    case USBDEVFS_SUBMITURB:
        submitUrb(dev, client);
        return TRUE;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        if (!reapUrb(dev, client)) {
            // The node is a socket, which poll() always finds writable, so
            // libusb cannot sleep on it as it sleeps on a usbfs node until a
            // URB is done: it asks again and again. Pausing before "nothing
            // yet" stands in for the sleep the kernel would give it.
            lock.unlock();
            g_usleep(kIdleReapPauseUs);
            completeErrno(client, EAGAIN);
        }
        return TRUE;
    case USBDEVFS_DISCARDURB:
        discardUrb(dev, client);
        return TRUE;
    default:
        dev.owner->unknown.append(QStringLiteral("%1 0x%2").arg(dev.devnode).arg(request, 0, 16));
        completeErrno(client, ENOTTY);
        return TRUE;
    }
}

void UsbTestbed::ensurePreloaded(char **argv)
{
    if (preloaded())
        return;
    std::string preload = kPreloadLibrary;
    if (const char *old = std::getenv("LD_PRELOAD"); old && *old)
        preload += std::string(":") + old;
    setenv("LD_PRELOAD", preload.c_str(), 1);
    execv("/proc/self/exe", argv);
}

bool UsbTestbed::preloaded()
{
    // umockdev_in_mock_environment() answers only once a test bed exists, and
    // remembers that first answer: ask the dynamic loader instead.
    void *library = dlopen(kPreloadLibrary, RTLD_NOW | RTLD_NOLOAD);
    if (library)
        dlclose(library);
    return library != nullptr;
}

UsbTestbed::UsbTestbed()
    : d(new Private)
{
    d->testbed = umockdev_testbed_new();
}

UsbTestbed::~UsbTestbed()
{
    g_clear_object(&d->testbed);
    for (auto &dev : d->devices) {
        g_clear_object(&dev->handler);
        for (const Urb &urb : dev->flying)
            umockdev_ioctl_data_unref(urb.data);
        for (const Urb &urb : dev->done)
            umockdev_ioctl_data_unref(urb.data);
    }
}

void UsbTestbed::emulate(
    const QString &syspath, const QString &devnode, const QByteArray &serial, Answerer answerer)
{
    auto dev = std::make_unique<Device>();
    dev->owner = d.get();
    dev->syspath = syspath;
    dev->devnode = devnode;
    dev->serial = serial;
    dev->answerer = std::move(answerer);
    dev->handler = umockdev_ioctl_base_new();
    g_signal_connect(dev->handler, "handle-ioctl", G_CALLBACK(onIoctl), dev.get());
    umockdev_testbed_attach_ioctl(d->testbed, devnode.toUtf8().constData(), dev->handler, nullptr);
    std::lock_guard<std::mutex> lock(d->mutex);
    d->devices.push_back(std::move(dev));
}

bool UsbTestbed::loadDescription(const QString &file)
{
    GError *error = nullptr;
    const bool ok = umockdev_testbed_add_from_file(d->testbed, file.toUtf8().constData(), &error);
    if (error) {
        qWarning("umockdev: %s", error->message);
        g_error_free(error);
    }
    return ok;
}

UsbTestbed::Device *UsbTestbed::find(const QString &devnode) const
{
    for (const auto &dev : d->devices) {
        if (dev->devnode == devnode)
            return dev.get();
    }
    qFatal("UsbTestbed: %s is not emulated", qPrintable(devnode));
    return nullptr;
}

void UsbTestbed::setFault(const QString &devnode, Fault fault, int shortLength)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    Device *dev = find(devnode);
    dev->fault = fault;
    dev->shortLength = shortLength;
}

void UsbTestbed::holdElsewhere(const QString &devnode)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    find(devnode)->heldElsewhere = true;
}

void UsbTestbed::unplug(const QString &devnode)
{
    QString syspath;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        Device *dev = find(devnode);
        dev->gone = true;
        if (dev->removed)
            return;
        dev->removed = true;
        syspath = dev->syspath;
    }
    // Tell udev listeners (libusb's hotplug monitor) before the device goes.
    umockdev_testbed_uevent(d->testbed, syspath.toUtf8().constData(), "remove");
    umockdev_testbed_remove_device(d->testbed, syspath.toUtf8().constData());
}

void UsbTestbed::setAttribute(const QString &devnode, const QString &name, const QString &value)
{
    QString syspath;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        syspath = find(devnode)->syspath;
    }
    umockdev_testbed_set_attribute(d->testbed, syspath.toUtf8().constData(),
        name.toUtf8().constData(), value.toUtf8().constData());
}

void UsbTestbed::blockNode(const QString &devnode)
{
    char *root = umockdev_testbed_get_root_dir(d->testbed);
    const std::string path = std::string(root) + devnode.toStdString();
    g_free(root);
    unlink(path.c_str());
    mkdir(path.c_str(), 0755);
}

void UsbTestbed::denyNode(const QString &devnode)
{
    char *root = umockdev_testbed_get_root_dir(d->testbed);
    const std::string path = std::string(root) + devnode.toStdString();
    g_free(root);
    chmod(path.c_str(), 0);
}

QList<UsbTestbed::ControlRequest> UsbTestbed::vendorRequests(const QString &devnode) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QList<ControlRequest> vendor;
    for (const ControlRequest &r : find(devnode)->controlOut) {
        if ((r.requestType & 0x60) == 0x40)
            vendor.append(r);
    }
    return vendor;
}

QList<QByteArray> UsbTestbed::framesToBox(const QString &devnode) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return find(devnode)->toBox;
}

QList<QByteArray> UsbTestbed::framesFromBox(const QString &devnode) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return find(devnode)->fromBox;
}

bool UsbTestbed::interfaceClaimed(const QString &devnode) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return find(devnode)->claimed;
}

int UsbTestbed::discardedUrbs(const QString &devnode) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return find(devnode)->discarded;
}

QList<QString> UsbTestbed::unknownIoctls() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->unknown;
}

void UsbTestbed::clearLogs()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (auto &dev : d->devices) {
        dev->controlOut.clear();
        dev->toBox.clear();
        dev->fromBox.clear();
        dev->discarded = 0;
    }
    d->unknown.clear();
}
