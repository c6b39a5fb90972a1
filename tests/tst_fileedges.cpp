// SPDX-License-Identifier: GPL-3.0-or-later
// The files at the edges of vortalex-cli and vortalex-edid, run as a shell
// runs them: every kind of output target, full disks, standard input and
// output, terminals, file names too long to echo, and the emulated box's
// state file and lock.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString kTable = QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_a.bin");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t fileType(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

class TestFileEdges : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void targets_data();
    void targets();
    void streams_data();
    void streams();
    void statePaths_data();
    void statePaths();
    void concurrentCommands();

private:
    // Runs "cli" or "edid" with `args`; standard output to a pipe, to
    // `stdoutFile` (/dev/full, a terminal) when one is given, or "closed".
    Run run(const QString &program, const QStringList &args, const QByteArray &input = {},
        const QString &stdoutFile = {}, const QProcessEnvironment &env = {});
    QProcessEnvironment environment() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFileEdges::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkdir("run"));
}

QProcessEnvironment TestFileEdges::environment() const
{
    // Each test's emulated box lives in its own folder.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", m_dir->filePath("run"));
    return env;
}

Run TestFileEdges::run(const QString &program, const QStringList &args, const QByteArray &input,
    const QString &stdoutFile, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env.isEmpty() ? environment() : env);
    if (stdoutFile == "closed")
        process.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    else if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(program == "cli" ? QStringLiteral(VORTALEX_CLI_PROGRAM)
                                   : QStringLiteral(VORTALEX_EDID_PROGRAM),
        args);
    Run result;
    if (!process.waitForStarted(30000))
        return result;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// Each writer on each kind of target: a regular file is replaced whole (a
// log is appended to), a FIFO or character device written as it is, a
// folder, socket or block device refused with nothing written.
void TestFileEdges::targets_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args"); // %T: the target
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // %T: the target

    const QStringList save { "--emulated", "settings", "save", "%T" };
    const QStringList edit { "edit", kTable, "-o", "%T", "--name", "X" };
    const QStringList frameLog { "--emulated", "--frame-log", "%T", "set", "green-led", "off" };
    const QStringList state { "--emulated", "--emulated-state", "%T", "set", "green-led", "off" };
    const QString full = "No space left on device\n";
    const QString block = "it is a block device; a saved file never goes onto a disk\n";

    QTest::newRow("settings save, new file") << "cli" << save << "new" << 0 << "";
    QTest::newRow("settings save, file replaced") << "cli" << save << "file" << 0 << "";
    QTest::newRow("settings save, FIFO") << "cli" << save << "fifo" << 0 << "";
    QTest::newRow("settings save, character device") << "cli" << save << "null" << 0 << "";
    QTest::newRow("settings save, full disk")
        << "cli" << save << "full" << 2 << "vortalex-cli: cannot write file %T: " + full;
    QTest::newRow("settings save, folder")
        << "cli" << save << "folder" << 2 << "vortalex-cli: cannot write file %T: it is a folder\n";
    QTest::newRow("settings save, socket")
        << "cli" << save << "socket" << 2 << "vortalex-cli: cannot write file %T: it is a socket\n";
    QTest::newRow("settings save, block device")
        << "cli" << save << "block" << 2 << "vortalex-cli: cannot write file %T: " + block;
    QTest::newRow("settings save, dangling link: refused before the box is read")
        << "cli" << QStringList { "--emulated", "--frame-log", "%D/log", "settings", "save", "%T" }
        << "dangling" << 2
        << "vortalex-cli: cannot write file %T: the folder %D/gone does not exist\n";
    QTest::newRow("edid read -o, full disk")
        << "cli" << QStringList { "--emulated", "edid", "read", "-q", "-o", "%T" } << "full" << 2
        << "vortalex-cli: cannot write file %T: " + full;
    QTest::newRow("vortalex-edid edit, FIFO") << "edid" << edit << "fifo" << 0 << "";
    QTest::newRow("vortalex-edid edit, full disk")
        << "edid" << edit << "full" << 2 << "vortalex-edid: cannot write file %T: " + full;
    QTest::newRow("vortalex-edid edit, block device")
        << "edid" << edit << "block" << 2 << "vortalex-edid: cannot write file %T: " + block;
    QTest::newRow("vortalex-edid merge, folder")
        << "edid" << QStringList { "merge", "--video", kTable, "--audio", kTable, "-o", "%T" }
        << "folder" << 2 << "vortalex-edid: cannot write file %T: it is a folder\n";
    QTest::newRow("frame log, appended") << "cli" << frameLog << "file" << 0 << "";
    QTest::newRow("frame log, FIFO") << "cli" << frameLog << "fifo" << 0 << "";
    QTest::newRow("frame log, full disk: one report")
        << "cli" << frameLog << "full" << 0 << "vortalex-cli: cannot write the frame log %T: " + full;
    QTest::newRow("frame log, socket")
        << "cli" << frameLog << "socket" << 2
        << "vortalex-cli: cannot open the frame log %T: it is a socket\n";
    QTest::newRow("emulated state, character device") << "cli" << state << "null" << 0 << "";
    QTest::newRow("emulated state, full disk")
        << "cli" << state << "full" << 0
        << "vortalex-cli: warning: the emulated box's state cannot be kept in %T: No space left "
           "on device; the next run starts without this run's changes\n";
    QTest::newRow("emulated state, dangling link")
        << "cli" << state << "dangling" << 2
        << "vortalex-cli: cannot keep the emulated box's state in %T: the folder %D/gone does not "
           "exist\n";
    QTest::newRow("emulated state, folder")
        << "cli" << state << "folder" << 2
        << "vortalex-cli: cannot keep the emulated box's state in %T: it is a folder\n";
}

void TestFileEdges::targets()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QString, kind);
    QFETCH(int, exitCode);
    QFETCH(QString, err);

    const QString target = kind == "full" ? "/dev/full" : m_dir->filePath("target");
    const QByteArray name = QFile::encodeName(target);
    int reader = -1;
    int socketFd = -1;
    if (kind == "file") {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\n") == 4);
    } else if (kind == "fifo") {
        QCOMPARE(mkfifo(name.constData(), 0600), 0);
        reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(target));
    } else if (kind == "dangling") {
        QVERIFY(QFile::link(m_dir->filePath("gone/x"), target));
    } else if (kind == "socket") {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
        QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    } else if (kind == "null" || kind == "block") {
        // The null device's numbers; for a block device a major number no
        // driver has (240, "local use"): nothing could be written behind it.
        const mode_t type = kind == "null" ? S_IFCHR : S_IFBLK;
        const dev_t device = kind == "null" ? makedev(1, 3) : makedev(240, 0);
        if (mknod(name.constData(), type | 0666, device) != 0)
            QSKIP("no permission to make a device node here");
    }
    const mode_t typeBefore = fileType(target);

    const Run result
        = run(program, args.replaceInStrings("%T", target).replaceInStrings("%D", m_dir->path()));
    if (reader >= 0 || socketFd >= 0) {
        QByteArray got(4096, '\0');
        const ssize_t n = reader >= 0 ? ::read(reader, got.data(), std::size_t(got.size())) : 0;
        ::close(reader >= 0 ? reader : socketFd);
        if (kind == "fifo")
            QVERIFY2(n > 0, "nothing came through the FIFO");
    }
    QCOMPARE(QString::fromUtf8(result.err),
        QString(err).replace("%T", target).replace("%D", m_dir->path()));
    // Refused before the box was read: the frame log holds no frame.
    if (exitCode == 2)
        QVERIFY(readFile(m_dir->filePath("log")).isEmpty());
    QCOMPARE(result.exitCode, exitCode);
    // A target stays what it was; a regular one holds the new content, a
    // log the old one and the new lines after it.
    if (kind != "new")
        QCOMPARE(fileType(target), typeBefore);
    if (kind == "new" || kind == "file") {
        const QByteArray content = readFile(target);
        QVERIFY(content.size() > 4);
        QCOMPARE(content.startsWith("old\n"), args.contains("--frame-log"));
    }
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).filter("target.").size(), 0);
}

// Standard input for every FILE, standard output checked to the end, raw
// bytes kept off terminals, and messages that quote no more than 64
// characters of a file name and no Qt warning.
void TestFileEdges::streams_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("stdoutTo"); // "": a pipe; "full"; "tty"; "closed"
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err");

    const QByteArray table = readFile(kTable);
    const QString fullOut = "%1: cannot write standard output: No space left on device\n";
    QTest::newRow("get > /dev/full") << "cli" << QStringList { "--emulated", "get", "green-led" }
                                     << QByteArray() << "full" << 2 << QByteArray()
                                     << fullOut.arg("vortalex-cli");
    QTest::newRow("watch > /dev/full: ends") << "cli" << QStringList { "--emulated", "watch" }
                                             << QByteArray() << "full" << 2 << QByteArray()
                                             << fullOut.arg("vortalex-cli");
    // Started with standard output closed (>&-): what is written fails, and
    // no file the program opens (the emulated box's lock) takes its place.
    QTest::newRow("get >&-") << "cli" << QStringList { "--emulated", "get", "green-led" }
                             << QByteArray() << "closed" << 2 << QByteArray()
                             << "vortalex-cli: cannot write standard output: Bad file descriptor\n";
    QTest::newRow("set >&-: nothing to write")
        << "cli" << QStringList { "--emulated", "set", "green-led", "off" } << QByteArray()
        << "closed" << 0 << QByteArray() << "";
    QTest::newRow("vortalex-edid FILE > /dev/full") << "edid" << QStringList { kTable }
                                                    << QByteArray() << "full" << 2 << QByteArray()
                                                    << fullOut.arg("vortalex-edid");
    QTest::newRow("vortalex-edid edit -o - > /dev/full")
        << "edid" << QStringList { "edit", kTable, "-o", "-" } << QByteArray() << "full" << 2
        << QByteArray() << fullOut.arg("vortalex-edid");
    QTest::newRow("edid read -o - to a terminal")
        << "cli" << QStringList { "--emulated", "edid", "read", "-o", "-" } << QByteArray()
        << "tty" << 2 << QByteArray()
        << "vortalex-cli: binary data is not written to a terminal; redirect it (> FILE), or "
           "leave out -o - to see the table as hex text\n";
    QTest::newRow("vortalex-edid edit -o - to a terminal")
        << "edid" << QStringList { "edit", kTable, "-o", "-" } << QByteArray() << "tty" << 2
        << QByteArray()
        << "vortalex-edid: binary data is not written to a terminal; redirect it (> FILE), or "
           "give --hex for the hex text\n";
    QTest::newRow("vortalex-edid edit --hex -o - to a terminal")
        << "edid" << QStringList { "edit", kTable, "-o", "-", "--hex" } << QByteArray() << "tty"
        << 0 << QByteArray() << "";
    QTest::newRow("vortalex-edid edit - -o -")
        << "edid" << QStringList { "edit", "-", "-o", "-" } << table << "" << 0 << table << "";
    QTest::newRow("edid check -")
        << "cli" << QStringList { "edid", "check", "-" } << table << "" << 0
        << QByteArray("header: correct\nblock 0: checksum 0xC2 correct\n"
                      "block 1: checksum 0x6C correct\n")
        << "";
    QTest::newRow("settings load -")
        << "cli" << QStringList { "--emulated", "--json", "settings", "load", "-", "--dry-run" }
        << QByteArray(R"({"format":"vortalex-settings","version":1,
                         "settings":{"green-led":"off"}})")
        << "" << 0
        << QByteArray(R"({"changed":["green-led"],"dry_run":true,"edid_changed":false,)"
                      R"("frames":["10 04 E0 16 00"]})"
                      "\n")
        << "";
    QTest::newRow("settings load -, cut short")
        << "cli" << QStringList { "--emulated", "settings", "load", "-" }
        << QByteArray("{\"format\": \"vortalex-settings\",\n  \"version\": 1,\n  \"settings\": {")
        << "" << 2 << QByteArray()
        << "vortalex-cli: standard input: line 3, column 16: the JSON ends too early "
           "(unterminated object); nothing was sent\n";
    QTest::newRow("settings load -, trailing garbage")
        << "cli" << QStringList { "--emulated", "settings", "load", "-" }
        << QByteArray("{\"format\":\"vortalex-settings\",\"version\":1,\"settings\":{}}\n}")
        << "" << 2 << QByteArray()
        << "vortalex-cli: standard input: line 2, column 1: garbage at the end of the "
           "document; nothing was sent\n";
    QTest::newRow("settings load -, bad UTF-8")
        << "cli" << QStringList { "--emulated", "settings", "load", "-" }
        << QByteArray("{\"format\":\"vortalex-settings\",\n\"version\":1,\"settings\":{\"\xff\":0}}")
        << "" << 2 << QByteArray()
        << "vortalex-cli: standard input: line 2, column 26: not valid UTF-8; nothing was sent\n";
    QTest::newRow("edid decode \"\"")
        << "cli" << QStringList { "edid", "decode", "" } << QByteArray() << "" << 2
        << QByteArray() << "vortalex-cli: \"\": no file name given\n";

    const QString longName = QString(100000, 'x');
    const QString clipped = QString(64, 'x') + "...: File name too long\n";
    QTest::newRow("edid write, long name") << "cli" << QStringList { "edid", "write", longName }
                                           << QByteArray() << "" << 2 << QByteArray()
                                           << "vortalex-cli: " + clipped;
    QTest::newRow("settings save, long name")
        << "cli" << QStringList { "--emulated", "settings", "save", longName } << QByteArray()
        << "" << 2 << QByteArray() << "vortalex-cli: cannot write file " + clipped;
    QTest::newRow("settings load, long name")
        << "cli" << QStringList { "--emulated", "settings", "load", longName } << QByteArray()
        << "" << 2 << QByteArray() << "vortalex-cli: cannot read file " + clipped;
    QTest::newRow("--frame-log, long name")
        << "cli" << QStringList { "--emulated", "--frame-log", longName, "get", "hdcp" }
        << QByteArray() << "" << 2 << QByteArray()
        << "vortalex-cli: cannot open the frame log " + clipped;
    QTest::newRow("vortalex-edid, long name") << "edid" << QStringList { longName }
                                              << QByteArray() << "" << 2 << QByteArray()
                                              << "vortalex-edid: " + clipped;
}

void TestFileEdges::streams()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QString, stdoutTo);

    QString stdoutFile;
    int terminal = -1;
    if (stdoutTo == "full" || stdoutTo == "closed") {
        stdoutFile = stdoutTo == "full" ? "/dev/full" : "closed";
    } else if (stdoutTo == "tty") {
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0)
            QSKIP("no pseudo-terminal here");
        stdoutFile = QString::fromLocal8Bit(::ptsname(terminal));
    }
    const Run result = run(program, args, input, stdoutFile);
    if (terminal >= 0)
        ::close(terminal);
    QTEST(QString::fromUtf8(result.err), "err");
    QTEST(result.exitCode, "exitCode");
    QTEST(result.out, "out");
    const QByteArray lock = readFile(m_dir->filePath("run/vortalex-emulated.json.lock"));
    QVERIFY2(lock.isEmpty(), lock);
}

// Where the emulated box is kept without $XDG_RUNTIME_DIR, and the warning
// when it cannot be kept at all: a change made by one run is seen by the
// next, or the user is told.
void TestFileEdges::statePaths_data()
{
    QTest::addColumn<QStringList>("env"); // NAME=VALUE, %D the test's folder; all others unset
    QTest::addColumn<QString>("stateFile"); // relative to the test's folder; empty: none
    QTest::addColumn<QString>("err");
    QTest::addColumn<QByteArray>("readBack");

    QTest::newRow("runtime folder") << QStringList { "XDG_RUNTIME_DIR=%D/run", "HOME=%D" }
                                    << "run/vortalex-emulated.json" << "" << QByteArray("off\n");
    QTest::newRow("runtime folder missing: state home")
        << QStringList { "XDG_RUNTIME_DIR=%D/none", "XDG_STATE_HOME=%D/state", "HOME=%D" }
        << "state/vortalex/emulated-box.json" << "" << QByteArray("off\n");
    QTest::newRow("home") << QStringList { "HOME=%D" } << ".local/state/vortalex/emulated-box.json"
                          << "" << QByteArray("off\n");
    const QString notKept = "vortalex-cli: warning: the emulated box's state is not kept between "
                            "runs: neither $XDG_RUNTIME_DIR, $XDG_STATE_HOME nor $HOME names a "
                            "usable folder\n";
    QTest::newRow("nowhere") << QStringList {} << "" << notKept + notKept << QByteArray("on\n");
}

void TestFileEdges::statePaths()
{
    QFETCH(QStringList, env);
    QFETCH(QString, stateFile);
    QProcessEnvironment environment;
    environment.insert("PATH", qEnvironmentVariable("PATH"));
    for (const QString &pair : env) {
        const QString value = pair.section('=', 1).replace("%D", m_dir->path());
        environment.insert(pair.section('=', 0, 0), value);
    }
    const Run set = run("cli", { "--emulated", "set", "green-led", "off" }, {}, {}, environment);
    QCOMPARE(set.exitCode, 0);
    const Run get = run("cli", { "--emulated", "get", "green-led" }, {}, {}, environment);
    QTEST(QString::fromUtf8(set.err + get.err), "err");
    QTEST(get.out, "readBack");
    if (!stateFile.isEmpty()) {
        QVERIFY(readFile(m_dir->filePath(stateFile)).contains("vortalex-emulated-box"));
        QVERIFY(QFile::exists(m_dir->filePath(stateFile + ".lock")));
    }
}

// Two commands at once on the emulated box: both changes are kept, as on the
// real box, or one is told the box is in use; never is one lost.
void TestFileEdges::concurrentCommands()
{
    for (int round = 0; round < 8; ++round) {
        QCOMPARE(run("cli", { "--emulated", "reset", "both", "--yes", "-q" }).exitCode, 0);
        QProcess first;
        QProcess second;
        first.setProcessEnvironment(environment());
        second.setProcessEnvironment(environment());
        first.start(VORTALEX_CLI_PROGRAM, { "--emulated", "set", "green-led", "off" });
        second.start(VORTALEX_CLI_PROGRAM, { "--emulated", "set", "hdcp", "1.4" });
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        const QByteArray inUse = "vortalex-cli: the box is in use by another program";
        const auto kept = [&](QProcess &process, const QStringList &get, const QByteArray &value) {
            const QByteArray err = process.readAllStandardError();
            if (process.exitCode() == 3 && err.startsWith(inUse))
                return true;
            return process.exitCode() == 0 && err.isEmpty()
                && run("cli", QStringList { "--emulated", "get" } + get).out == value;
        };
        QVERIFY2(kept(first, { "green-led" }, "off\n"), qPrintable(QString::number(round)));
        QVERIFY2(kept(second, { "hdcp" }, "1.4\n"), qPrintable(QString::number(round)));
    }
}

QTEST_GUILESS_MAIN(TestFileEdges)
#include "tst_fileedges.moc"
