// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for tests on the private X server: windows, activation, keys, the clipboard.
#include "x11_harness.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>

namespace nabrix::testing::x11 {

namespace {

constexpr int toolTimeoutMs = 15000;
constexpr int windowTimeoutMs = 15000;

QString hex(quint32 window)
{
    return QStringLiteral("0x%1").arg(window, 0, 16);
}

std::optional<quint32> parseWindowId(const QByteArray& text)
{
    static const QRegularExpression pattern(QStringLiteral("#\\s*(0x[0-9a-fA-F]+)"));
    const auto match = pattern.match(QString::fromLatin1(text));
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const quint32 id = match.captured(1).toUInt(&ok, 16);
    return ok && id != 0 ? std::optional<quint32>(id) : std::nullopt;
}

bool isManaged(quint32 window)
{
    const ToolResult clients = runTool(QStringLiteral("xprop"), {"-root", "_NET_CLIENT_LIST"});
    return clients.exitCode == 0 && clients.output.contains(hex(window).toLatin1());
}

} // namespace

QString problem()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("DISPLAY is not set: run this test through scripts/with-x11");
    if (QCoreApplication::instance() != nullptr &&
        QGuiApplication::platformName() != QLatin1String("xcb"))
        return QStringLiteral("Qt runs on '%1', not xcb: set QT_QPA_PLATFORM=xcb")
            .arg(QGuiApplication::platformName());
    for (const char* tool : {"xprop", "xdotool", "xclip", "xterm", "setxkbmap"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is missing: run scripts/install-deps")
                .arg(QLatin1String(tool));
    }
    const ToolResult wm = runTool(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
    if (wm.exitCode != 0)
        return QStringLiteral("the X server on %1 does not answer")
            .arg(qEnvironmentVariable("DISPLAY"));
    if (!parseWindowId(wm.output))
        return QStringLiteral("no EWMH window manager runs on %1")
            .arg(qEnvironmentVariable("DISPLAY"));
    return {};
}

ToolResult runTool(const QString& program, const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForStarted(toolTimeoutMs)) {
        qWarning("%s did not start", qPrintable(program));
        return {};
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(toolTimeoutMs)) {
        qWarning("%s %s did not finish", qPrintable(program),
                 qPrintable(arguments.join(QLatin1Char(' '))));
        process.kill();
        process.waitForFinished();
        return {};
    }
    ToolResult result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = process.readAllStandardOutput();
    return result;
}

std::unique_ptr<TestWindow> TestWindow::startXterm(const QString& windowClass)
{
    std::unique_ptr<TestWindow> window(new TestWindow);
    window->m_process = std::make_unique<QProcess>();
    window->m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    window->m_process->start(QStringLiteral("xterm"), {"-class", windowClass, "-geometry",
                                                       "40x8+200+200", "-e", "sleep", "600"});
    if (!window->m_process->waitForStarted(toolTimeoutMs)) {
        qWarning("xterm did not start");
        return nullptr;
    }
    const QString pid = QString::number(window->m_process->processId());
    const bool managed = QTest::qWaitFor(
        [&] {
            // xterm puts _NET_WM_PID on its top-level window only.
            const ToolResult found = runTool(QStringLiteral("xdotool"), {"search", "--pid", pid});
            bool ok = false;
            const quint32 id =
                QString::fromLatin1(found.output).section(QLatin1Char('\n'), 0, 0).toUInt(&ok);
            if (found.exitCode == 0 && ok && isManaged(id))
                window->m_id = id;
            return window->m_id != 0;
        },
        windowTimeoutMs);
    if (managed)
        return window;
    qWarning("the xterm of class %s never got a managed window", qPrintable(windowClass));
    return nullptr;
}

TestWindow::~TestWindow()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished();
        }
    }
    // The window manager drops it from its lists asynchronously.
    (void)QTest::qWaitFor([this] { return m_id == 0 || !isManaged(m_id); }, windowTimeoutMs);
}

bool TestWindow::activate() const
{
    return xdotool({"windowactivate", "--sync", QString::number(m_id)}) && activeWindow() == m_id;
}

bool TestWindow::setProperty(const QString& name, const QString& format, const QString& value) const
{
    return runTool(QStringLiteral("xprop"),
                   {"-id", hex(m_id), "-f", name, format, "-set", name, value})
               .exitCode == 0;
}

bool TestWindow::removeProperty(const QString& name) const
{
    return runTool(QStringLiteral("xprop"), {"-id", hex(m_id), "-remove", name}).exitCode == 0;
}

ProgramHome::ProgramHome()
{
    m_usable = m_dir.isValid();
    for (const QString& folder : {dataDirectory(), configDirectory(), runtimeDirectory(),
                                  m_dir.filePath(QStringLiteral("tmp"))})
        m_usable = m_usable && QDir().mkpath(folder);
    m_usable =
        m_usable && QFile::setPermissions(runtimeDirectory(),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString ProgramHome::historyPath() const
{
    return dataDirectory() + QStringLiteral("/nabrix/history.sqlite3");
}

QString ProgramHome::settingsPath() const
{
    return configDirectory() + QStringLiteral("/nabrix/nabrix.conf");
}

QProcessEnvironment ProgramHome::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString temp = m_dir.filePath(QStringLiteral("tmp"));
    env.insert(QStringLiteral("HOME"), path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataDirectory());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDirectory());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory());
    env.insert(QStringLiteral("TMPDIR"), temp);
    env.insert(QStringLiteral("SQLITE_TMPDIR"), temp);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

std::unique_ptr<QProcess> ProgramHome::start(const QString& program,
                                             const QProcessEnvironment& extra) const
{
    QProcessEnvironment env = environment();
    env.insert(extra);
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(program, {});
    return process;
}

bool ProgramHome::waitUntilCapturing() const
{
    if (!QTest::qWaitFor([this] { return QFile::exists(historyPath()); }, 20000))
        return false;
    QTest::qWait(1000);
    return true;
}

bool exitsCleanly(QProcess& program)
{
    return program.waitForFinished(20000) && program.exitStatus() == QProcess::NormalExit &&
           program.exitCode() == 0;
}

bool terminatesCleanly(QProcess& program)
{
    program.terminate();
    return exitsCleanly(program);
}

std::optional<quint32> visibleWindowNamed(const QString& name)
{
    const ToolResult found = runTool(QStringLiteral("xdotool"),
                                     {"search", "--onlyvisible", "--name", u'^' + name + u'$'});
    const QList<QByteArray> lines = found.output.trimmed().split('\n');
    if (found.exitCode != 0 || lines.isEmpty() || lines.first().isEmpty())
        return std::nullopt;
    return lines.first().toUInt();
}

HelperProcess::HelperProcess(const QString& program, const QStringList& arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program.contains(QLatin1Char('/'))
                        ? program
                        : QCoreApplication::applicationDirPath() + QLatin1Char('/') + program,
                    arguments);
}

HelperProcess::~HelperProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

void HelperProcess::writeInput(const QByteArray& input)
{
    m_process.write(input);
    m_process.closeWriteChannel();
}

bool HelperProcess::waitForOutput(const QByteArray& marker, int timeoutMs)
{
    (void)QTest::qWaitFor([&] { return output().contains(marker) || !isRunning(); }, timeoutMs);
    return output().contains(marker);
}

QByteArray HelperProcess::output()
{
    m_output += m_process.readAllStandardOutput();
    return m_output;
}

bool HelperProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

std::optional<quint32> activeWindow()
{
    const ToolResult result = runTool(QStringLiteral("xprop"), {"-root", "_NET_ACTIVE_WINDOW"});
    return result.exitCode == 0 ? parseWindowId(result.output) : std::nullopt;
}

bool setActiveWindowProperty(quint32 window)
{
    // Read back in the format it was set in: xprop gives it another type than WINDOW.
    const QStringList format{"-root", "-f", "_NET_ACTIVE_WINDOW", "32x"};
    return runTool(QStringLiteral("xprop"),
                   format + QStringList{"-set", "_NET_ACTIVE_WINDOW", hex(window)})
                   .exitCode == 0 &&
           runTool(QStringLiteral("xprop"), format + QStringList{"_NET_ACTIVE_WINDOW"})
               .output.trimmed()
               .endsWith(hex(window).toLatin1());
}

bool copyWithXclip(const QByteArray& data, const QString& target)
{
    QStringList arguments{"-selection", "clipboard"};
    if (!target.isEmpty())
        arguments << QStringLiteral("-t") << target;
    QProcess xclip;
    // xclip forks a child that owns the selection; it must not hold our pipes.
    xclip.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xclip.setStandardOutputFile(QProcess::nullDevice());
    xclip.start(QStringLiteral("xclip"), arguments);
    if (!xclip.waitForStarted(toolTimeoutMs))
        return false;
    xclip.write(data);
    xclip.closeWriteChannel();
    return xclip.waitForFinished(toolTimeoutMs) && xclip.exitCode() == 0;
}

QByteArray clipboardContents()
{
    return runTool(QStringLiteral("xclip"), {"-o", "-selection", "clipboard"}).output;
}

bool xdotool(const QStringList& arguments)
{
    return runTool(QStringLiteral("xdotool"), arguments).exitCode == 0;
}

bool clickAt(int x, int y, int button)
{
    return xdotool(
        {"mousemove", QString::number(x), QString::number(y), "click", QString::number(button)});
}

bool pressKeys(const QString& xdotoolKeySpec)
{
    const QStringList keys = xdotoolKeySpec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return !keys.isEmpty() && xdotool(QStringList{"key"} + keys);
}

bool setKeyboardLayout(const QString& layout)
{
    return runTool(QStringLiteral("setxkbmap"), {"-layout", layout}).exitCode == 0;
}

QList<StoredEntry> storedEntries(const QString& historyPath)
{
    QList<StoredEntry> entries;
    try {
        SQLite::Database db(historyPath.toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement query(
            db, "SELECT i.type, i.search_string, i.timestamp, length(c.content_data), "
                "coalesce(i.image_width, 0), coalesce(i.image_height, 0), i.source_app_bundle_id "
                "FROM clip_items i JOIN clip_contents c ON c.id = i.id ORDER BY i.timestamp");
        while (query.executeStep()) {
            StoredEntry entry;
            entry.type = QString::fromStdString(query.getColumn(0).getString());
            entry.searchString = QString::fromStdString(query.getColumn(1).getString());
            entry.timestamp = query.getColumn(2).getInt64();
            entry.contentLength = query.getColumn(3).getInt64();
            entry.imageWidth = query.getColumn(4).getInt();
            entry.imageHeight = query.getColumn(5).getInt();
            if (!query.getColumn(6).isNull())
                entry.source = QString::fromStdString(query.getColumn(6).getString());
            entries.append(entry);
        }
    } catch (const std::exception&) {
        // Not created yet, or busy for a moment.
    }
    return entries;
}

QStringList storedTexts(const QString& historyPath)
{
    QStringList texts;
    std::ranges::transform(storedEntries(historyPath), std::back_inserter(texts),
                           &StoredEntry::searchString);
    return texts;
}

} // namespace nabrix::testing::x11
