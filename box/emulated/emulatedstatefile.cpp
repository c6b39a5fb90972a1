// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulatedstatefile.h"

#include "files/inputfile.h"
#include "files/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>
#include <unistd.h>

namespace vortalex {

namespace {

const QString kFormat = QStringLiteral("vortalex-emulated-box");

struct Field
{
    const char *key;
    QByteArray EmulatedBoxState::*bytes;
};

const Field kFields[] = {
    { "box_edid", &EmulatedBoxState::boxEdid },
    { "custom_edid", &EmulatedBoxState::customEdid },
    { "cec_sp", &EmulatedBoxState::storedSp },
    { "cec_lp", &EmulatedBoxState::storedLp },
    { "hdr_infoframe", &EmulatedBoxState::storedHdr },
    { "avi_infoframe", &EmulatedBoxState::storedAvi },
};

bool isHex(const QString &text)
{
    for (const QChar c : text) {
        if (!isxdigit(c.toLatin1()))
            return false;
    }
    return text.size() % 2 == 0;
}

// True when `folder` exists, or was made, as a folder this user may write.
bool usableFolder(const QString &folder, bool make)
{
    if (make && !QFileInfo(folder).isDir())
        QDir().mkpath(folder);
    const QByteArray name = QFile::encodeName(folder);
    struct stat info {};
    return ::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && ::access(name.constData(), W_OK | X_OK) == 0;
}

QString environmentFolder(const char *variable)
{
    return QFile::decodeName(qgetenv(variable));
}

} // namespace

QString defaultEmulatedStatePath(QString &problem)
{
    // The runtime folder is the user's own and cleared at log-out: the box
    // starts from the factory state at each login, as a real one would
    // after a power cycle.
    const QString runtime = environmentFolder("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && usableFolder(runtime, false))
        return runtime + QStringLiteral("/vortalex-emulated.json");
    // Without one (cron, su -, containers) the state folder keeps it.
    QString stateHome = environmentFolder("XDG_STATE_HOME");
    if (stateHome.isEmpty() || !QDir::isAbsolutePath(stateHome)) {
        const QString home = environmentFolder("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home)) {
            problem = QStringLiteral(
                "neither $XDG_RUNTIME_DIR, $XDG_STATE_HOME nor $HOME names a usable folder");
            return QString();
        }
        stateHome = home + QStringLiteral("/.local/state");
    }
    const QString folder = stateHome + QStringLiteral("/vortalex");
    if (!usableFolder(folder, true)) {
        problem = QStringLiteral("the folder %1 cannot be made or written").arg(folder);
        return QString();
    }
    QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder + QStringLiteral("/emulated-box.json");
}

QString saveEmulatedState(const QString &path, const EmulatedBoxState &state)
{
    QJsonObject object { { QStringLiteral("format"), kFormat },
        { QStringLiteral("settings"),
            QString::fromLatin1(QByteArray(
                reinterpret_cast<const char *>(state.settings.data()), int(state.settings.size()))
                                    .toHex()) } };
    for (const Field &field : kFields)
        object.insert(
            QString::fromLatin1(field.key), QString::fromLatin1((state.*field.bytes).toHex()));
    return writeOutputFile(path, QJsonDocument(object).toJson());
}

bool loadEmulatedState(const QString &path, EmulatedBoxState &state, QString &error)
{
    // A state kept in a FIFO or device node (/dev/null) is written there and
    // never read back: the box starts afresh.
    const QFileInfo info(path);
    if (!info.exists() || (!info.isFile() && !info.isDir()))
        return true;
    QByteArray text;
    if (!readInputFile(path, 1 << 20, text, error))
        return false;
    // An empty file (a new one, or /dev/null) holds no state yet.
    if (text.isEmpty())
        return true;
    const QJsonObject object = QJsonDocument::fromJson(text).object();
    const QString settings = object.value(QStringLiteral("settings")).toString();
    EmulatedBoxState read;
    bool ok = object.value(QStringLiteral("format")) == kFormat && isHex(settings)
        && settings.size() == 2 * kSettingCount;
    for (const Field &field : kFields) {
        const QString hex = object.value(QString::fromLatin1(field.key)).toString();
        ok = ok && isHex(hex);
        read.*field.bytes = QByteArray::fromHex(hex.toLatin1());
    }
    if (!ok) {
        error = QStringLiteral("not a state of the emulated box");
        return false;
    }
    const QByteArray bytes = QByteArray::fromHex(settings.toLatin1());
    std::copy(bytes.begin(), bytes.end(), read.settings.begin());
    state = read;
    return true;
}

} // namespace vortalex
