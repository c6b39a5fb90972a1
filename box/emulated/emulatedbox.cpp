// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulatedbox.h"

#include "settings/settingstable.h"
#include "simedid.h"
#include "sourcepages.h"

#include <algorithm>

namespace vortalex {

namespace {

// The box keeps its settings where the program's settings table says: the
// block positions come from that table, so the two cannot drift apart.
std::size_t pos(std::uint8_t settingId)
{
    return std::size_t(settingRow(settingId).position);
}

// The settings that belong to the EDID set-up, reset by the EDID factory reset.
constexpr std::uint8_t kEdidSettingIds[] = { SettingId::EdidMode, SettingId::EdidOption20,
    SettingId::EdidOption51, SettingId::EdidOptionNo3D, SettingId::EdidOptionHdr,
    SettingId::EdidOptionFullAudio, SettingId::CustomEdidPreset, SettingId::EdidOptionBt2020,
    SettingId::EdidOptionYcbcr, SettingId::AutomixAlgorithm };

constexpr int kPageDataLength = 64;

bool isEdidPosition(int position)
{
    for (const std::uint8_t id : kEdidSettingIds)
        if (settingRow(id).position == position)
            return true;
    return false;
}

QByteArray sized(QByteArray bytes, int length)
{
    bytes.resize(length, '\0');
    return bytes;
}

std::uint8_t byteAt(const QByteArray &bytes, int i)
{
    return std::uint8_t(bytes[i]);
}

} // namespace

int EmulatedBox::positionOfSettingId(int settingId)
{
    const Setting *s
        = settingId >= 0 && settingId <= 0xFF ? settingById(std::uint8_t(settingId)) : nullptr;
    return s ? s->position : -1;
}

std::array<std::uint8_t, kSettingCount> EmulatedBox::factorySettings()
{
    // Everything else leaves the factory as 0.
    std::array<std::uint8_t, kSettingCount> s {};
    s[pos(SettingId::ActiveInput)] = 1; // port A
    s[pos(SettingId::AudioSource)] = AudioSourceValue::Hdmi;
    s[pos(SettingId::EdidMode)] = EdidModeValue::Automix;
    s[pos(SettingId::HdcpVersion)] = HdcpValue::Hdcp22;
    s[pos(SettingId::Cec)] = 1;
    s[pos(SettingId::AutoSwitch)] = 1;
    s[BlockPos::EdidModeAvailable] = 1;
    s[BlockPos::HdcpAvailable] = 1;
    s[BlockPos::AudioSourceAvailable] = 1;
    s[pos(SettingId::EdidOptionHdr)] = 1;
    s[pos(SettingId::GreenLed)] = 1;
    s[pos(SettingId::BlueLeds)] = 1;
    s[pos(SettingId::EdidOptionBt2020)] = 1;
    s[pos(SettingId::EdidOptionYcbcr)] = 1;
    return s;
}

EmulatedBox::EmulatedBox(Clock &clock)
    : m_clock(clock)
    , m_settings(factorySettings())
    , m_tvAEdid(simedid::build(simedid::tvAProfile()))
    , m_tvBEdid(simedid::build(simedid::tvBProfile()))
    , m_storedHdr(sourcepages::factoryHdrInfoFrame())
    , m_storedAvi(sourcepages::factoryAviInfoFrame())
{
    m_boxEdid = buildBoxEdid();
    m_transfer = m_boxEdid;
}

// --- time ---

bool EmulatedBox::timeReached(std::uint32_t at)
{
    // Signed difference: correct across a wrap of the tick counter.
    return std::int32_t(now() - at) >= 0;
}

void EmulatedBox::settle()
{
    if (m_rebuildPending && timeReached(m_rebuildAt)) {
        m_rebuildPending = false;
        m_boxEdid = buildBoxEdid();
    }
    if (m_loadPending && timeReached(m_loadAt)) {
        m_loadPending = false;
        m_transfer = edid(m_loadSource);
    }
}

bool EmulatedBox::busy()
{
    settle();
    return m_stuckBusy || (m_busyTimed && std::int32_t(now() - m_busyUntil) < 0);
}

std::uint8_t EmulatedBox::statusByte()
{
    return busy() ? kDeviceBusyBit : 0x00;
}

void EmulatedBox::setBusyFor(std::uint32_t ms)
{
    const std::uint32_t until = now() + ms;
    if (!busy() || std::int32_t(until - m_busyUntil) > 0)
        m_busyUntil = until;
    m_busyTimed = true;
}

// --- settings ---

std::uint8_t EmulatedBox::setting(int position) const
{
    if (position < 0 || position >= kSettingCount)
        return 0;
    return m_settings[std::size_t(position)];
}

void EmulatedBox::setSetting(int position, std::uint8_t value)
{
    if (position >= 0 && position < kSettingCount)
        m_settings[std::size_t(position)] = value;
}

void EmulatedBox::writeSetting(std::uint8_t id, std::uint8_t value)
{
    m_settingWrites.append({ id, value });
    if (id == SettingId::FactoryReset) {
        factoryReset(value);
        return;
    }
    const int position = positionOfSettingId(id);
    if (position < 0)
        return;
    m_settings[std::size_t(position)] = value;
    if (id == SettingId::EdidMode)
        startEdidRebuild();
}

void EmulatedBox::factoryReset(std::uint8_t value)
{
    m_factoryResets.append(value);
    if (value < 1 || value > 3)
        return;
    const auto factory = factorySettings();
    const bool edidPart = value == 1 || value == 3;
    const bool settingsPart = value == 2 || value == 3;
    for (int p = 0; p < kSettingCount; ++p) {
        const bool edidPosition = isEdidPosition(p);
        if ((edidPosition && edidPart) || (!edidPosition && settingsPart))
            m_settings[std::size_t(p)] = factory[std::size_t(p)];
    }
    if (edidPart) {
        m_customEdid.clear();
        startEdidRebuild();
    }
}

EmulatedBoxState EmulatedBox::state()
{
    settle();
    // A rebuild still under way is the table the box will have.
    return { m_settings, m_rebuildPending ? buildBoxEdid() : m_boxEdid, m_customEdid, m_storedSp,
        m_storedLp, m_storedHdr, m_storedAvi };
}

void EmulatedBox::restoreState(const EmulatedBoxState &state)
{
    m_settings = state.settings;
    m_boxEdid = state.boxEdid;
    m_customEdid = state.customEdid;
    m_storedSp = state.storedSp;
    m_storedLp = state.storedLp;
    m_storedHdr = state.storedHdr;
    m_storedAvi = state.storedAvi;
    m_rebuildPending = false;
    m_loadPending = false;
}

// --- EDID ---

void EmulatedBox::startEdidRebuild()
{
    m_rebuildPending = true;
    m_rebuildAt = now() + kEdidRebuildBusyMs;
    setBusyFor(kEdidRebuildBusyMs);
}

void EmulatedBox::rebuildEdidNow()
{
    m_rebuildPending = false;
    m_boxEdid = buildBoxEdid();
}

QByteArray EmulatedBox::buildBoxEdid() const
{
    const auto on = [this](std::uint8_t id) { return m_settings[pos(id)] == 1; };
    switch (m_settings[pos(SettingId::EdidMode)]) {
    case EdidModeValue::Automix: {
        simedid::MixOptions options;
        options.algorithm = m_settings[pos(SettingId::AutomixAlgorithm)] & 0x03;
        options.stereoOnly = on(SettingId::EdidOption20);
        options.surround51 = on(SettingId::EdidOption51);
        options.hdr = on(SettingId::EdidOptionHdr);
        options.fullAudio = on(SettingId::EdidOptionFullAudio);
        options.bt2020 = on(SettingId::EdidOptionBt2020);
        options.ycbcr = on(SettingId::EdidOptionYcbcr);
        return simedid::automix(m_tvAEdid, m_tvBEdid, options);
    }
    case EdidModeValue::Custom:
        // Preset 0 is the uploaded table; the box falls back to its default.
        if (m_settings[pos(SettingId::CustomEdidPreset)] == 0 && !m_customEdid.isEmpty())
            return m_customEdid;
        break;
    default:
        break;
    }
    return simedid::build(simedid::boxFixedProfile());
}

QByteArray EmulatedBox::edid(EdidSource source)
{
    settle();
    switch (source) {
    case EdidSource::TvA:
        return m_tvAEdid;
    case EdidSource::TvB:
        return m_tvBEdid;
    case EdidSource::Box:
        break;
    }
    return m_boxEdid;
}

void EmulatedBox::setEdid(EdidSource source, const QByteArray &table256)
{
    const QByteArray table = sized(table256, kEdidSize);
    switch (source) {
    case EdidSource::TvA:
        m_tvAEdid = table;
        break;
    case EdidSource::TvB:
        m_tvBEdid = table;
        break;
    case EdidSource::Box:
        m_rebuildPending = false;
        m_boxEdid = table;
        break;
    }
}

QByteArray EmulatedBox::transferTable()
{
    settle();
    return m_transfer;
}

void EmulatedBox::setTransferTable(const QByteArray &table256)
{
    m_loadPending = false;
    m_transfer = sized(table256, kEdidSize);
}

// --- pages ---

QByteArray EmulatedBox::pageData(std::uint8_t page)
{
    settle();
    if (m_pageOverrides.contains(page)) {
        const QByteArray data = m_pageOverrides.value(page);
        return sized(data, std::max<int>(int(data.size()), kPageDataLength));
    }
    // Port B feeds inputs 2 (port B) and 4 (matrix swap).
    const int input = m_settings[pos(SettingId::ActiveInput)];
    const auto source
        = (input == 2 || input == 4) ? sourcepages::Source::PortB : sourcepages::Source::PortA;
    switch (page) {
    case Page::Status:
        return sourcepages::statusPage(source);
    case Page::Firmware:
        return sized(
            QByteArray(reinterpret_cast<const char *>(m_firmware.data()), 4), kPageDataLength);
    case Page::SourceProduct:
        return sourcepages::productPage(source);
    case Page::HdrInfoFrame:
        return sourcepages::hdrPage(source);
    case Page::AviInfoFrame:
        return sourcepages::aviPage(source);
    case Page::StoredHdrInfoFrame:
        return sized(m_storedHdr, kPageDataLength);
    case Page::StoredAviInfoFrame:
        return sized(m_storedAvi, kPageDataLength);
    default:
        return QByteArray(kPageDataLength, '\0');
    }
}

void EmulatedBox::setPage(std::uint8_t page, const QByteArray &data)
{
    m_pageOverrides.insert(page, data);
}

void EmulatedBox::clearPage(std::uint8_t page)
{
    m_pageOverrides.remove(page);
}

void EmulatedBox::setFirmwareVersion(
    std::uint8_t major, std::uint8_t minor, std::uint8_t patch, std::uint8_t build)
{
    m_firmware = { major, minor, patch, build };
}

QByteArray EmulatedBox::storedCec(Command code) const
{
    if (code == Command::CecStoreSp)
        return m_storedSp;
    if (code == Command::CecStoreLp)
        return m_storedLp;
    return QByteArray();
}

// --- frames ---

QByteArray EmulatedBox::ack(std::uint8_t code)
{
    QByteArray a;
    a.append(char(code));
    a.append(char(statusByte()));
    return a;
}

QByteArray EmulatedBox::readAnswer(std::uint8_t code, const QByteArray &data, int length)
{
    return sized(ack(code) + data, length);
}

QByteArray EmulatedBox::answer(const QByteArray &request)
{
    settle();
    if (request.size() < 3)
        return QByteArray();
    switch (static_cast<FrameType>(byteAt(request, 0))) {
    case FrameType::Read:
        return answerRead(request);
    case FrameType::Set:
        return answerSet(request);
    }
    return QByteArray();
}

QByteArray EmulatedBox::answerRead(const QByteArray &request)
{
    const int length = byteAt(request, 1);
    const std::uint8_t code = byteAt(request, 2);
    switch (static_cast<Command>(code)) {
    case Command::SettingsBlock:
        if (request.size() != 3)
            return QByteArray();
        return readAnswer(code,
            QByteArray(reinterpret_cast<const char *>(m_settings.data()), kSettingCount), length);
    case Command::Page:
        if (request.size() != 4)
            return QByteArray();
        return readAnswer(code, pageData(byteAt(request, 3)), length);
    case Command::Chunk: {
        if (request.size() != 4)
            return QByteArray();
        // Raw table bytes, no echo; past the end of the table the box sends zeros.
        return sized(m_transfer.mid(byteAt(request, 3), length), length);
    }
    default:
        return QByteArray();
    }
}

QByteArray EmulatedBox::answerSet(const QByteArray &request)
{
    const int lengthField = byteAt(request, 1);
    const std::uint8_t code = byteAt(request, 2);
    const QByteArray payload = request.mid(3);
    // Data requests carry their payload length in the length field.
    const bool dataRequest = lengthField == payload.size() && !payload.isEmpty();

    switch (static_cast<Command>(code)) {
    case Command::Page:
        if (request.size() != 5 || lengthField != 0x04)
            return QByteArray();
        writeSetting(byteAt(request, 3), byteAt(request, 4));
        return ack(code);
    case Command::WriteSettingsBlock: {
        if (payload.size() != kSettingCount || lengthField != kSettingCount)
            return QByteArray();
        const std::uint8_t oldMode = m_settings[pos(SettingId::EdidMode)];
        for (int p = 0; p < kSettingCount; ++p)
            m_settings[std::size_t(p)] = byteAt(payload, p);
        ++m_settingsBlockWrites;
        if (m_settings[pos(SettingId::EdidMode)] != oldMode)
            startEdidRebuild();
        return ack(code);
    }
    case Command::FetchBoxEdid:
    case Command::FetchTvAEdid:
    case Command::FetchTvBEdid: {
        if (request.size() != 3 || lengthField != 0x01)
            return QByteArray();
        m_loadSource = code == toByte(Command::FetchTvAEdid) ? EdidSource::TvA
            : code == toByte(Command::FetchTvBEdid)          ? EdidSource::TvB
                                                             : EdidSource::Box;
        m_fetches.append(m_loadSource);
        m_loadPending = true;
        m_loadAt = now() + kFetchBusyMs;
        // A load of the box's table waits for a rebuild under way.
        if (m_loadSource == EdidSource::Box && m_rebuildPending
            && std::int32_t(m_rebuildAt - m_loadAt) > 0)
            m_loadAt = m_rebuildAt;
        setBusyFor(kFetchBusyMs);
        return ack(code);
    }
    case Command::Chunk: {
        if (payload.size() != 1 + kEdidWriteChunk || lengthField != kEdidWriteChunk)
            return QByteArray();
        const int offset = byteAt(payload, 0);
        for (int i = 0; i < kEdidWriteChunk && offset + i < kEdidSize; ++i)
            m_transfer[offset + i] = payload[1 + i];
        ++m_chunkWrites;
        return ack(code);
    }
    case Command::Apply:
        if (request.size() != 3 || lengthField != kEdidWriteChunk)
            return QByteArray();
        m_customEdid = m_transfer;
        ++m_applyCount;
        if (m_settings[pos(SettingId::EdidMode)] == EdidModeValue::Custom
            && m_settings[pos(SettingId::CustomEdidPreset)] == 0) {
            m_rebuildPending = false;
            m_boxEdid = m_customEdid;
        }
        return ack(code);
    case Command::CecSend:
        if (!dataRequest)
            return QByteArray();
        m_lastCec = payload;
        ++m_cecSends;
        return ack(code);
    case Command::CecStoreSp:
    case Command::CecStoreLp: {
        // "CEC ", the command text, carriage return.
        if (!dataRequest || payload.size() < 5 || !payload.startsWith("CEC ")
            || !payload.endsWith('\r'))
            return QByteArray();
        const QByteArray text = payload.mid(4, payload.size() - 5);
        (code == toByte(Command::CecStoreSp) ? m_storedSp : m_storedLp) = text;
        return ack(code);
    }
    case Command::HdrInfoFrame:
        if (!dataRequest)
            return QByteArray();
        m_hdrInfoFrame = payload;
        return ack(code);
    case Command::AviInfoFrame:
        if (!dataRequest)
            return QByteArray();
        m_aviInfoFrame = payload;
        return ack(code);
    case Command::Activate: {
        if (request.size() != 4)
            return QByteArray();
        const std::uint8_t selector = byteAt(request, 3);
        if (selector == std::uint8_t(ActivateSelector::HdrInfoFrame)) {
            if (!m_hdrInfoFrame.isEmpty())
                m_storedHdr = sized(m_hdrInfoFrame, kHdrPageLength);
        } else if (selector == std::uint8_t(ActivateSelector::AviInfoFrame)) {
            if (!m_aviInfoFrame.isEmpty())
                m_storedAvi = sized(m_aviInfoFrame, kAviPageLength);
        } else if (selector != std::uint8_t(ActivateSelector::Cec)) {
            return QByteArray();
        }
        m_activations.append(selector);
        return ack(code);
    }
    default:
        return QByteArray();
    }
}

} // namespace vortalex
