// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-mqtt's figures: the CPU of the idle service polling the emulated
// box every 3 s, and the time from a command message to its state message.
// Starts Debian's mosquitto on 127.0.0.1:PORT and the service; prints
// key=value lines. Usage: bench_mqtt VORTALEX_MQTT PORT [IDLE_SECONDS] [COMMANDS]
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mosquitto.h>
#include <unistd.h>
#include <vector>

namespace {

// User plus system CPU time of a process in seconds, from /proc.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name in parentheses; utime and stime are 14 and 15.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

struct Probe
{
    std::atomic<bool> got { false };
    QByteArray want;
};

void onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *probe = static_cast<Probe *>(self);
    if (!message->retain
        && QByteArray(static_cast<const char *>(message->payload), message->payloadlen)
            == probe->want)
        probe->got = true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_mqtt VORTALEX_MQTT PORT [IDLE_SECONDS] [COMMANDS]\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    const int port = atoi(argv[2]);
    const int idleSeconds = argc > 3 ? atoi(argv[3]) : 60;
    const int commands = argc > 4 ? atoi(argv[4]) : 200;

    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("mosquitto.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\npersistence false\n"
                                "log_dest none\n")
                     .arg(port)
                     .toUtf8());
    config.close();
    QProcess broker;
    broker.start(
        QStringLiteral("/usr/sbin/mosquitto"), { QStringLiteral("-c"), config.fileName() });
    QThread::msleep(300);
    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(program,
        { QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
            QString::number(port), QStringLiteral("--emulated"), QStringLiteral("--emulated-state"),
            dir.filePath(QStringLiteral("state.json")) });
    if (!broker.waitForStarted() || !service.waitForStarted())
        return 1;
    QThread::sleep(3); // connected, discovery and the first reads done

    const double cpuBefore = cpuSeconds(service.processId());
    QThread::sleep(unsigned(idleSeconds));
    const double idleCpu = cpuSeconds(service.processId()) - cpuBefore;

    mosquitto_lib_init();
    Probe probe;
    mosquitto *mosq = mosquitto_new("bench-mqtt-probe", true, &probe);
    mosquitto_message_callback_set(mosq, onMessage);
    mosquitto_int_option(mosq, MOSQ_OPT_TCP_NODELAY, 1);
    if (mosquitto_connect(mosq, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS)
        return 1;
    mosquitto_subscribe(mosq, nullptr, "vortalex/active-input/state", 0);
    for (int i = 0; i < 20; ++i)
        mosquitto_loop(mosq, 50, 1);
    std::vector<double> ms;
    for (int i = 0; i < commands; ++i) {
        probe.want = i % 2 ? "port-a" : "port-b";
        probe.got = false;
        const auto start = std::chrono::steady_clock::now();
        mosquitto_publish(mosq, nullptr, "vortalex/active-input/set", int(probe.want.size()),
            probe.want.constData(), 0, false);
        const QDeadlineTimer deadline(5000);
        while (!probe.got && !deadline.hasExpired())
            mosquitto_loop(mosq, 1, 1);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    mosquitto_destroy(mosq);
    mosquitto_lib_cleanup();
    service.terminate();
    service.waitForFinished();
    broker.terminate();
    broker.waitForFinished();

    std::printf("idle_seconds=%d\nidle_cpu_ms=%.1f\nidle_cpu_percent=%.4f\n", idleSeconds,
        idleCpu * 1000, idleCpu * 100 / idleSeconds);
    std::printf("commands=%d\nlatency_min_ms=%.2f\nlatency_median_ms=%.2f\nlatency_max_ms=%.2f\n",
        commands, ms.front(), ms[ms.size() / 2], ms.back());
    return 0;
}
