// SPDX-License-Identifier: GPL-3.0-or-later
#include "statusread.h"

namespace vortalex {

namespace {

constexpr std::uint8_t kFirmwarePageLength = 8;

QByteArray pageBytes(const Response &response, int length)
{
    return QByteArray(reinterpret_cast<const char *>(response.bytes.data()), length);
}

} // namespace

std::optional<SignalStatusPages> readSignalStatusPages(BoxRequests &requests)
{
    Response status;
    Response product;
    Response hdr;
    Response avi;
    requests.readPage(Page::Status, status, kStatusPageLength);
    requests.readPage(Page::SourceProduct, product, kSourceProductPageLength);
    requests.readPage(Page::HdrInfoFrame, hdr, kHdrInfoFramePageLength);
    if (!requests.readPage(Page::AviInfoFrame, avi, kAviInfoFramePageLength))
        return std::nullopt;
    return SignalStatusPages { pageBytes(status, kStatusPageLength),
        pageBytes(product, kSourceProductPageLength), pageBytes(hdr, kHdrInfoFramePageLength),
        pageBytes(avi, kAviInfoFramePageLength) };
}

std::optional<QString> readFirmwareVersion(BoxRequests &requests)
{
    Response page;
    if (!requests.readPage(Page::Firmware, page, kFirmwarePageLength))
        return std::nullopt;
    return QStringLiteral("%1.%2.%3.%4")
        .arg(int(page[2]))
        .arg(int(page[3]))
        .arg(int(page[4]))
        .arg(int(page[5]));
}

} // namespace vortalex
