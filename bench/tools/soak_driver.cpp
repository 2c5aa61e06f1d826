// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real program on an X server for minutes and reports how it holds up.
//   soak_driver --nabrix PATH --owner PATH [--changes N] [--seed S]
//   soak_driver --nabrix PATH --owner PATH --hostile [OWNER ARGUMENTS...]
// Soak: another client (hostile_owner in script mode) puts N distinct texts on the
// CLIPBOARD, held from 1 ms to 1.3 s, while the history window is open. Checks that every
// copy that stays longer than the program's coalescing window and the time to read it is
// stored exactly once and nothing twice, and reports how long a copy takes to be stored,
// the event-loop latency (a _NET_WM_PING round trip to the history window every 100 ms)
// and the resident memory before, at the peak and after.
// Hostile: the owner runs with the given arguments instead; the same figures are reported
// while the program reads (or gives up on) what it offers.
// Exit status 0 when every check holds.
#include "x11_harness.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <xcb/xcb.h>

namespace {

using nabrix::testing::x11::HelperProcess;
using nabrix::testing::x11::storedEntries;
using nabrix::testing::x11::StoredEntry;

// The program reads an announced change this long after it, one read for a burst within.
constexpr qint64 coalescingWindowMs = 10;
// A copy replaced while it is being read is dropped; this much time is allowed for the read
// (more than the window and a read usually take, less than a main-thread stall of this
// loaded machine can).
constexpr qint64 readAllowanceMs = 100;

void print(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void pause(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// Resident memory of a process in kB: now (VmRSS) and its peak so far (VmHWM).
struct Memory {
    qint64 residentKb = 0;
    qint64 peakKb = 0;
};

Memory memoryOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    Memory memory;
    if (!status.open(QIODevice::ReadOnly))
        return memory;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const auto value = [&line] { return line.simplified().split(' ').value(1).toLongLong(); };
        if (line.startsWith("VmRSS:"))
            memory.residentKb = value();
        else if (line.startsWith("VmHWM:"))
            memory.peakKb = value();
    }
    return memory;
}

QByteArray runTool(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(15000);
    if (exitCode != nullptr)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}

std::optional<quint32> historyWindow()
{
    int code = -1;
    const QByteArray found = runTool(QStringLiteral("xdotool"),
                                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                      QStringLiteral("--name"), QStringLiteral("^Nabrix$")},
                                     &code);
    const QByteArray first = found.trimmed().split('\n').value(0);
    if (code != 0 || first.isEmpty())
        return std::nullopt;
    return first.toUInt();
}

// Sends _NET_WM_PING to one window every `intervalMs` and times the answers. Qt answers
// on its main thread, so a round trip measures how long that thread leaves events waiting.
class PingProbe : public QObject {
public:
    PingProbe(quint32 window, int intervalMs)
        : m_window(window)
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        m_root = xcb_setup_roots_iterator(setup).data->root;
        // Qt sends its answer to the root window for StructureNotify or SubstructureRedirect
        // selectors; only the window manager may select the latter.
        const uint32_t mask[] = {XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, mask);
        m_protocols = atom("WM_PROTOCOLS");
        m_ping = atom("_NET_WM_PING");
        m_notifier =
            new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readAnswers(); });
        connect(&m_timer, &QTimer::timeout, this, [this] { send(); });
        m_timer.start(intervalMs);
        m_clock.start();
    }
    ~PingProbe() override
    {
        if (m_connection != nullptr)
            xcb_disconnect(m_connection);
    }
    PingProbe(const PingProbe&) = delete;
    PingProbe& operator=(const PingProbe&) = delete;

    bool isUsable() const { return m_notifier != nullptr; }
    qsizetype answered() const { return m_answered.size(); }

    // Round trips in ms; a ping still unanswered counts with the time it has waited so far.
    QList<qint64> latencies() const
    {
        QList<qint64> all = m_answered;
        for (const auto& [serial, sentAt] : m_pending)
            all.append(m_clock.elapsed() - sentAt);
        return all;
    }
    void restart()
    {
        m_answered.clear();
        m_pending.clear();
    }

private:
    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(qstrlen(name)), name), nullptr);
        const xcb_atom_t value = reply != nullptr ? reply->atom : XCB_NONE;
        std::free(reply);
        return value;
    }

    void send()
    {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = m_window;
        event.type = m_protocols;
        event.data.data32[0] = m_ping;
        event.data.data32[1] = ++m_serial; // stands in for the timestamp; echoed back
        event.data.data32[2] = m_window;
        xcb_send_event(m_connection, 0, m_window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(m_connection);
        m_pending[m_serial] = m_clock.elapsed();
    }

    void readAnswers()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->type == m_protocols && message->data.data32[0] == m_ping) {
                    const auto found = m_pending.find(message->data.data32[1]);
                    if (found != m_pending.end()) {
                        m_answered.append(m_clock.elapsed() - found->second);
                        m_pending.erase(found);
                    }
                }
            }
            std::free(event);
        }
    }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = 0;
    xcb_window_t m_root = 0;
    xcb_atom_t m_protocols = 0;
    xcb_atom_t m_ping = 0;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
    quint32 m_serial = 0;
    std::map<quint32, qint64> m_pending;
    QList<qint64> m_answered;
};

struct LatencySummary {
    qint64 count = 0;
    qint64 median = 0;
    qint64 p99 = 0;
    qint64 max = 0;
    qint64 over100 = 0;
};

LatencySummary summarise(QList<qint64> values)
{
    LatencySummary summary;
    if (values.isEmpty())
        return summary;
    std::sort(values.begin(), values.end());
    summary.count = values.size();
    summary.median = values.at(values.size() / 2);
    summary.p99 = values.at(std::min<qsizetype>(values.size() - 1, values.size() * 99 / 100));
    summary.max = values.last();
    summary.over100 =
        std::count_if(values.cbegin(), values.cend(), [](qint64 v) { return v > 100; });
    return summary;
}

class Session {
public:
    Session(QString nabrix, QString owner)
        : m_nabrix(std::move(nabrix))
        , m_owner(std::move(owner))
    {
        m_history = m_home.path() + QStringLiteral("/data/nabrix/history.sqlite3");
    }
    ~Session()
    {
        m_probe.reset();
        if (m_program.state() != QProcess::NotRunning) {
            m_program.terminate();
            if (!m_program.waitForFinished(20000))
                m_program.kill();
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    QString history() const { return m_history; }
    qint64 pid() const { return m_program.processId(); }
    PingProbe& probe() { return *m_probe; }
    bool isRunning() const { return m_program.state() == QProcess::Running; }

    bool start()
    {
        m_program.setProcessEnvironment(environment());
        m_program.setProcessChannelMode(QProcess::ForwardedChannels);
        m_program.start(m_nabrix, {});
        if (!m_program.waitForStarted())
            return false;
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(m_history) && timer.elapsed() < 20000)
            pause(100);
        pause(1500);
        // A second start toggles the running program's history window open.
        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(m_nabrix, {});
        if (!second.waitForFinished(20000) || second.exitCode() != 0)
            return false;
        std::optional<quint32> window;
        timer.restart();
        while (!(window = historyWindow()) && timer.elapsed() < 10000)
            pause(100);
        if (!window) {
            print(QStringLiteral("the history window did not open"));
            return false;
        }
        m_probe = std::make_unique<PingProbe>(*window, 100);
        return m_probe->isUsable();
    }

    bool stop()
    {
        m_probe.reset();
        m_program.terminate();
        return m_program.waitForFinished(20000) && m_program.exitStatus() == QProcess::NormalExit &&
               m_program.exitCode() == 0;
    }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

    QString m_nabrix;
    QString m_owner;
    QTemporaryDir m_home;
    QString m_history;
    QProcess m_program;
    std::unique_ptr<PingProbe> m_probe;
};

struct Copy {
    QString text;
    int holdMs = 0;
    qint64 offeredAt = 0; // epoch ms, as the owner reported it
    qint64 endedAt = 0;
};

QList<Copy> schedule(int changes, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<Copy> copies;
    while (copies.size() < changes) {
        // One copy held 0.3-1.3 s, up to eight held 30-300 ms, then up to three that are
        // gone within the window.
        copies.append({QString(), int(random.bounded(300, 1300)), 0, 0});
        const int burst = int(random.bounded(0, 9));
        for (int i = 0; i < burst && copies.size() < changes; ++i)
            copies.append({QString(), int(random.bounded(30, 300)), 0, 0});
        const int flurry = int(random.bounded(0, 4));
        for (int i = 0; i < flurry && copies.size() < changes; ++i)
            copies.append({QString(), int(random.bounded(1, 4)), 0, 0});
    }
    for (qsizetype i = 0; i < copies.size(); ++i)
        copies[i].text = QStringLiteral("soak %1 %2")
                             .arg(i, 5, 10, QLatin1Char('0'))
                             .arg(random.generate(), 8, 16, QLatin1Char('0'));
    // The last copy stays long enough to be read before the owner leaves.
    copies.last().holdMs = 2000;
    return copies;
}

struct Figures {
    Memory before;
    qint64 peakKb = 0;
    Memory after;
    LatencySummary latency;
    qsizetype answered = 0;
};

void printFigures(const Figures& figures)
{
    print(QStringLiteral("| figure | value |"));
    print(QStringLiteral("|---|---|"));
    print(QStringLiteral("| RSS before | %1 MB |")
              .arg(figures.before.residentKb / 1024.0, 0, 'f', 1));
    print(QStringLiteral("| RSS peak (VmHWM) | %1 MB |").arg(figures.peakKb / 1024.0, 0, 'f', 1));
    print(
        QStringLiteral("| RSS after | %1 MB |").arg(figures.after.residentKb / 1024.0, 0, 'f', 1));
    print(QStringLiteral("| pings sent (every 100 ms) / answered | %1 / %2 |")
              .arg(figures.latency.count)
              .arg(figures.answered));
    print(QStringLiteral("| ping round trip median / p99 / max | %1 / %2 / %3 ms |")
              .arg(figures.latency.median)
              .arg(figures.latency.p99)
              .arg(figures.latency.max));
    print(QStringLiteral("| pings over 100 ms | %1 |").arg(figures.latency.over100));
}

// Samples memory while `running` holds, processing events (the probe) meanwhile.
qint64 watch(Session& session, const std::function<bool()>& running)
{
    qint64 peak = 0;
    while (running()) {
        pause(200);
        peak = std::max(peak, memoryOf(session.pid()).peakKb);
    }
    return std::max(peak, memoryOf(session.pid()).peakKb);
}

int runSoak(const QString& nabrix, const QString& ownerPath, int changes, quint32 seed)
{
    QList<Copy> copies = schedule(changes, seed);
    Session session(nabrix, ownerPath);
    if (!session.start())
        return 2;
    Figures figures;
    figures.before = memoryOf(session.pid());
    session.probe().restart();

    QByteArray script;
    qint64 plannedMs = 0;
    for (const Copy& copy : copies) {
        script += QByteArray::number(copy.holdMs) + ' ' + copy.text.toUtf8() + '\n';
        plannedMs += copy.holdMs;
    }
    print(
        QStringLiteral("soak: %1 copies over about %2 s").arg(copies.size()).arg(plannedMs / 1000));
    HelperProcess owner(ownerPath, {QStringLiteral("--mode"), QStringLiteral("script")});
    owner.writeInput(script);
    figures.peakKb = watch(session, [&] {
        owner.output();
        return owner.isRunning();
    });
    const QByteArray output = owner.output();
    figures.latency = summarise(session.probe().latencies());
    figures.answered = session.probe().answered();
    pause(2000);
    figures.after = memoryOf(session.pid());

    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "offered") {
            const int index = parts[1].toInt();
            if (index >= 0 && index < copies.size())
                copies[index].offeredAt = parts[2].toLongLong();
        }
    }
    for (qsizetype i = 0; i < copies.size(); ++i)
        copies[i].endedAt = i + 1 < copies.size() ? copies[i + 1].offeredAt
                                                  : copies[i].offeredAt + copies[i].holdMs;

    const QList<StoredEntry> stored = storedEntries(session.history());
    const bool running = session.isRunning();
    const bool stopped = session.stop();

    std::map<QString, int> indexOf;
    for (qsizetype i = 0; i < copies.size(); ++i)
        indexOf[copies[i].text] = int(i);
    std::map<QString, int> times;
    int strangers = 0;
    int outOfWindow = 0;
    QList<qint64> storedAfter;
    for (const StoredEntry& entry : stored) {
        ++times[entry.searchString];
        const auto found = indexOf.find(entry.searchString);
        if (found == indexOf.end()) {
            ++strangers;
            continue;
        }
        const Copy& copy = copies[found->second];
        // Stored while it was on the clipboard (allowing for the read and the write).
        if (entry.timestamp < copy.offeredAt || entry.timestamp > copy.endedAt + 250)
            ++outOfWindow;
        storedAfter.append(entry.timestamp - copy.offeredAt);
    }
    int held = 0;
    int heldMissing = 0;
    int brief = 0;
    int briefStored = 0;
    qint64 longestMissed = 0;
    for (const Copy& copy : copies) {
        if (copy.offeredAt == 0)
            continue;
        const qint64 stayed = copy.endedAt - copy.offeredAt;
        const bool isStored = times.count(copy.text) != 0;
        if (!isStored)
            longestMissed = std::max(longestMissed, stayed);
        if (stayed > coalescingWindowMs + readAllowanceMs) {
            ++held;
            heldMissing += isStored ? 0 : 1;
        } else if (stayed > coalescingWindowMs) {
            ++brief;
            briefStored += isStored ? 1 : 0;
        }
    }
    const int duplicates = int(std::count_if(times.cbegin(), times.cend(),
                                             [](const auto& entry) { return entry.second > 1; }));
    qint64 minimumGap = std::numeric_limits<qint64>::max();
    for (qsizetype i = 1; i < stored.size(); ++i)
        minimumGap = std::min(minimumGap, stored[i].timestamp - stored[i - 1].timestamp);
    const LatencySummary delay = summarise(storedAfter);
    const int offered = int(std::count_if(copies.cbegin(), copies.cend(),
                                          [](const Copy& c) { return c.offeredAt != 0; }));

    print(QString());
    print(QStringLiteral("| check | value |"));
    print(QStringLiteral("|---|---|"));
    print(QStringLiteral("| copies offered | %1 of %2 |").arg(offered).arg(copies.size()));
    print(QStringLiteral("| entries stored | %1 |").arg(stored.size()));
    print(QStringLiteral("| copies held over the window and a read (%1 ms) / of them not stored "
                         "| %2 / %3 |")
              .arg(coalescingWindowMs + readAllowanceMs)
              .arg(held)
              .arg(heldMissing));
    print(QStringLiteral("| copies held %1-%2 ms stored | %3 of %4 |")
              .arg(coalescingWindowMs + 1)
              .arg(coalescingWindowMs + readAllowanceMs)
              .arg(briefStored)
              .arg(brief));
    print(QStringLiteral("| longest stay of a copy not stored | %1 ms |").arg(longestMissed));
    print(QStringLiteral("| texts stored more than once | %1 |").arg(duplicates));
    print(QStringLiteral(
              "| entries not offered / stored outside their time on the clipboard | %1 / %2 |")
              .arg(strangers)
              .arg(outOfWindow));
    print(QStringLiteral("| copy to stored median / p99 / max | %1 / %2 / %3 ms |")
              .arg(delay.median)
              .arg(delay.p99)
              .arg(delay.max));
    print(QStringLiteral("| smallest gap between two entries | %1 ms |")
              .arg(stored.size() > 1 ? minimumGap : 0));
    print(QStringLiteral("| program running at the end, clean exit | %1, %2 |")
              .arg(running ? QStringLiteral("yes") : QStringLiteral("no"),
                   stopped ? QStringLiteral("yes") : QStringLiteral("no")));
    printFigures(figures);

    const bool passed = offered == copies.size() && heldMissing == 0 && duplicates == 0 &&
                        strangers == 0 && outOfWindow == 0 && running && stopped;
    print(passed ? QStringLiteral("soak: PASSED") : QStringLiteral("soak: FAILED"));
    return passed ? 0 : 1;
}

int runHostile(const QString& nabrix, const QString& ownerPath, const QStringList& ownerArguments)
{
    Session session(nabrix, ownerPath);
    if (!session.start())
        return 2;
    Figures figures;
    figures.before = memoryOf(session.pid());
    const qsizetype storedBefore = storedEntries(session.history()).size();
    session.probe().restart();
    std::optional<HelperProcess> owner(std::in_place, ownerPath, ownerArguments);
    owner->waitForOutput("ready", 120000);
    QElapsedTimer timer;
    timer.start();
    qint64 storedAfterMs = -1;
    // Up to 60 s for the program to store the offer, then 5 s more to see it settle.
    figures.peakKb = watch(session, [&] {
        if (storedAfterMs < 0 && storedEntries(session.history()).size() > storedBefore)
            storedAfterMs = timer.elapsed();
        const qint64 limit = storedAfterMs >= 0 ? storedAfterMs + 5000 : 60000;
        return timer.elapsed() < limit;
    });
    figures.latency = summarise(session.probe().latencies());
    figures.answered = session.probe().answered();
    owner.reset();
    pause(1000);
    figures.after = memoryOf(session.pid());
    const QList<StoredEntry> stored = storedEntries(session.history());
    const bool running = session.isRunning();
    const bool stopped = session.stop();
    print(QStringLiteral("hostile owner: %1").arg(ownerArguments.join(QLatin1Char(' '))));
    print(QStringLiteral("| figure | value |"));
    print(QStringLiteral("|---|---|"));
    for (qsizetype i = storedBefore; i < stored.size(); ++i)
        print(
            QStringLiteral("| stored | %1, %2 bytes, \"%3\" |")
                .arg(stored[i].type)
                .arg(stored[i].contentLength)
                .arg(stored[i].searchString.left(40).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    if (stored.size() == storedBefore)
        print(QStringLiteral("| stored | nothing |"));
    print(QStringLiteral("| stored after | %1 ms |").arg(storedAfterMs));
    print(QStringLiteral("| program running at the end, clean exit | %1, %2 |")
              .arg(running ? QStringLiteral("yes") : QStringLiteral("no"),
                   stopped ? QStringLiteral("yes") : QStringLiteral("no")));
    printFigures(figures);
    return running && stopped ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    QString nabrix;
    QString owner;
    int changes = 2000;
    quint32 seed = 1;
    bool hostile = false;
    while (!arguments.isEmpty() && !hostile) {
        const QString name = arguments.takeFirst();
        if (name == QLatin1String("--hostile")) {
            hostile = true;
        } else if (arguments.isEmpty()) {
            print(QStringLiteral("missing value after %1").arg(name));
            return 2;
        } else if (name == QLatin1String("--nabrix")) {
            nabrix = arguments.takeFirst();
        } else if (name == QLatin1String("--owner")) {
            owner = arguments.takeFirst();
        } else if (name == QLatin1String("--changes")) {
            changes = arguments.takeFirst().toInt();
        } else if (name == QLatin1String("--seed")) {
            seed = arguments.takeFirst().toUInt();
        } else {
            print(QStringLiteral("unknown option %1").arg(name));
            return 2;
        }
    }
    if (nabrix.isEmpty() || owner.isEmpty() || changes < 1) {
        print(
            QStringLiteral("usage: soak_driver --nabrix PATH --owner PATH [--changes N] [--seed S] "
                           "[--hostile OWNER ARGUMENTS...]"));
        return 2;
    }
    return hostile ? runHostile(nabrix, owner, arguments) : runSoak(nabrix, owner, changes, seed);
}
