// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for tests on the private X server: windows, activation, keys, the clipboard.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

namespace nabrix::testing::x11 {

// Empty when the X server and its window manager answer; otherwise what is wrong.
QString problem();

// Fails the running test (and returns from it) unless the X server is usable: an X11
// test never skips.
#define NABRIX_REQUIRE_X11()                                                                       \
    do {                                                                                           \
        const QString x11Problem = ::nabrix::testing::x11::problem();                              \
        if (!x11Problem.isEmpty())                                                                 \
            QFAIL(qPrintable(x11Problem));                                                         \
    } while (false)

struct ToolResult {
    int exitCode = -1; // -1 when the tool did not start or did not finish in time
    QByteArray output;
};

// Runs an X11 command-line tool (xdotool, xprop, setxkbmap...) and waits for it.
ToolResult runTool(const QString& program, const QStringList& arguments,
                   const QByteArray& input = {});
// True when `xdotool ARGUMENTS` succeeds.
bool xdotool(const QStringList& arguments);
// Moves the pointer to (x, y) and clicks `button` there.
bool clickAt(int x, int y, int button = 1);

// A top-level window of another client, closed when this object goes.
class TestWindow {
public:
    // An xterm whose WM_CLASS class is `windowClass`, mapped and managed by the window
    // manager; none (with a warning) when it does not appear.
    static std::unique_ptr<TestWindow> startXterm(const QString& windowClass);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    quint32 id() const { return m_id; }
    // Asks the window manager to activate it; true once it is the active window.
    bool activate() const;

    // xprop-style property edits on the window, for windows shaped like other toolkits':
    // `format` is xprop's ("8u" for UTF-8 text, "32x" for a window id in hex).
    bool setProperty(const QString& name, const QString& format, const QString& value) const;
    bool removeProperty(const QString& name) const;

private:
    TestWindow() = default;

    std::unique_ptr<QProcess> m_process;
    quint32 m_id = 0;
};

// A private home for runs of the real program: data/, config/, tmp/ and a 0700 runtime/ in
// one temporary directory, so that its history, settings, socket and temporary files stay
// apart from everything else.
class ProgramHome {
public:
    ProgramHome();
    // False when the folders could not be made.
    bool isUsable() const { return m_usable; }

    QString path() const { return m_dir.path(); }
    QString dataDirectory() const { return m_dir.filePath(QStringLiteral("data")); }
    QString configDirectory() const { return m_dir.filePath(QStringLiteral("config")); }
    QString runtimeDirectory() const { return m_dir.filePath(QStringLiteral("runtime")); }
    QString historyPath() const;
    QString settingsPath() const;

    // The caller's environment pointed at this home, with Qt on xcb.
    QProcessEnvironment environment() const;
    // Starts `program` (NABRIX_BINARY, say) with environment() plus `extra`, its output
    // passed through; waiting for it is the caller's.
    std::unique_ptr<QProcess> start(const QString& program,
                                    const QProcessEnvironment& extra = {}) const;
    // After start(): true once the history file exists and the first poll (which only records
    // the clipboard it starts with) has passed.
    bool waitUntilCapturing() const;

private:
    QTemporaryDir m_dir;
    bool m_usable = false;
};

// True when `program` ends by itself, normally and with status 0, within 20 s.
bool exitsCleanly(QProcess& program);
// Asks `program` to quit (SIGTERM); true when it ends normally with status 0.
bool terminatesCleanly(QProcess& program);

// The first mapped window whose whole title is `name`.
std::optional<quint32> visibleWindowNamed(const QString& name);

// A helper program run beside a test or a driver (hostile_owner, say): its standard error
// passes through, its standard output is collected, and it is killed when this object goes.
class HelperProcess {
public:
    // `program` is a path; a bare name is looked up in the running binary's directory.
    HelperProcess(const QString& program, const QStringList& arguments);
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Hands it `input` on standard input, then closes it.
    void writeInput(const QByteArray& input);
    // True once its output so far contains `marker`; false when it ends or `timeoutMs`
    // passes first.
    bool waitForOutput(const QByteArray& marker = "ready", int timeoutMs = 60000);
    // Everything it has written to standard output so far.
    QByteArray output();
    bool isRunning() const;

private:
    QProcess m_process;
    QByteArray m_output;
};

// The root window's _NET_ACTIVE_WINDOW; none when it is unset or None. It may name a
// window that is gone: openbox leaves it set when the last window closes.
std::optional<quint32> activeWindow();
// Sets _NET_ACTIVE_WINDOW behind the window manager's back; 0 sets None, as a window manager
// does when nothing has the focus. True once the property reads back so.
bool setActiveWindowProperty(quint32 window);

// Puts `data` on the CLIPBOARD selection, owned by an xclip process, under `target`
// (xclip's UTF8_STRING when empty).
bool copyWithXclip(const QByteArray& data, const QString& target = QString());
// What the CLIPBOARD selection holds, read by xclip.
QByteArray clipboardContents();

// xdotool key syntax: "ctrl+alt+v", "a b Return" (one or more blank-separated keys).
bool pressKeys(const QString& xdotoolKeySpec);

// setxkbmap layout list: "us", "de", "us,ru".
bool setKeyboardLayout(const QString& layout);

// One entry of a history file as the tests look at it.
struct StoredEntry {
    QString type;
    QString searchString;
    qint64 timestamp = 0; // milliseconds since the epoch
    qint64 contentLength = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    QString source; // the source application's identifier; null for none
};

// The entries of a history file, oldest first; empty while it does not exist yet or is
// busy for a moment.
QList<StoredEntry> storedEntries(const QString& historyPath);
// Their search texts.
QStringList storedTexts(const QString& historyPath);

} // namespace nabrix::testing::x11
