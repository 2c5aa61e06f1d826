// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on a private desktop: tray icon, popover, search, copy back, panel.
#include "x11_harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QRect>
#include <QRegularExpression>
#include <QStyleHints>
#include <QTest>

using namespace nabrix::testing::x11;

namespace {

std::optional<QRect> geometryOf(quint32 window)
{
    const ToolResult result = runTool(QStringLiteral("xdotool"),
                                      {"getwindowgeometry", "--shell", QString::number(window)});
    QHash<QByteArray, int> values; // X=, Y=, WIDTH=, HEIGHT=
    for (const QByteArray& line : result.output.split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        values.insert(pair.value(0), pair.value(1).toInt());
    }
    if (result.exitCode != 0)
        return std::nullopt;
    return QRect(values.value("X"), values.value("Y"), values.value("WIDTH"),
                 values.value("HEIGHT"));
}

// The tray panel that scripts/with-x11 starts at the top right.
std::optional<QRect> trayGeometry()
{
    const ToolResult found = runTool(QStringLiteral("xdotool"), {"search", "--name", "^panel$"});
    if (found.exitCode != 0)
        return std::nullopt;
    return geometryOf(found.output.trimmed().split('\n').first().toUInt());
}

int keycodeOf(const QString& keysym)
{
    const ToolResult map = runTool(QStringLiteral("xmodmap"), {QStringLiteral("-pke")});
    const QRegularExpression line(QStringLiteral("keycode\\s+(\\d+) = %1 ").arg(keysym));
    const auto match = line.match(QString::fromUtf8(map.output));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QList<quint32> visibleWindowsOfClass(const QString& windowClass)
{
    const ToolResult found =
        runTool(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--class", windowClass});
    QList<quint32> windows;
    for (const QByteArray& line : found.output.trimmed().split('\n'))
        windows.append(line.toUInt());
    windows.removeAll(0);
    return windows;
}

// The first visible window of ours not in `before`, once one shows.
std::optional<quint32> newWindowOf(const QList<quint32>& before)
{
    std::optional<quint32> found;
    (void)QTest::qWaitFor([&] {
        for (const quint32 window : visibleWindowsOfClass(QStringLiteral("nabrix"))) {
            if (!before.contains(window))
                found = window;
        }
        return found.has_value();
    });
    return found;
}

bool clickTrayIcon(int button)
{
    const auto tray = trayGeometry();
    // Our icon is the tray's only one, embedded at its right end.
    return tray && clickAt(tray->x() + tray->width() - 12, tray->y() + tray->height() / 2, button);
}

// Where our window titled "Nabrix" is, once it shows within 5 s.
std::optional<QRect> shownWindowGeometry()
{
    std::optional<quint32> window;
    const auto shown = [&] {
        return (window = visibleWindowNamed(QStringLiteral("Nabrix"))).has_value();
    };
    return QTest::qWaitFor(shown, 5000) ? geometryOf(*window) : std::nullopt;
}

QString clipboardText()
{
    return QString::fromUtf8(clipboardContents());
}

class RunningProgram {
public:
    explicit RunningProgram(const QByteArray& settings = {})
    {
        QDir().mkpath(QFileInfo(m_home.settingsPath()).path());
        if (!settings.isEmpty()) {
            QFile file(m_home.settingsPath());
            if (file.open(QIODevice::WriteOnly))
                file.write("[General]\n" + settings);
        }
        QProcessEnvironment english;
        english.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        m_process = m_home.start(QStringLiteral(NABRIX_BINARY), english);
        m_process->waitForStarted();
    }
    ~RunningProgram()
    {
        m_process->terminate();
        if (!m_process->waitForFinished(10000))
            m_process->kill();
    }
    // The history exists and the first poll is past; the tray has embedded the icon. Then
    // each of `copies` is copied, a poll apart, so that each is its own entry.
    bool waitUntilCapturing(const QList<QByteArray>& copies = {}) const
    {
        if (!m_home.waitUntilCapturing())
            return false;
        QTest::qWait(500);
        for (const QByteArray& text : copies) {
            if (!copyWithXclip(text))
                return false;
            QTest::qWait(1000);
        }
        return true;
    }
    // The exit code once the program has ended by itself within `timeoutMs`.
    std::optional<int> exitCodeWithin(int timeoutMs)
    {
        if (!m_process->waitForFinished(timeoutMs) ||
            m_process->exitStatus() != QProcess::NormalExit)
            return std::nullopt;
        return m_process->exitCode();
    }

private:
    ProgramHome m_home;
    std::unique_ptr<QProcess> m_process;
};

} // namespace

class TestHistoryX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NABRIX_REQUIRE_X11(); }

    void trayClickOpensThePopoverAndReturnCopiesTheHighlightedEntry()
    {
        RunningProgram program;
        QVERIFY(program.waitUntilCapturing({"alpha one", "beta two", "gamma three"}));
        const auto tray = trayGeometry();
        QVERIFY(tray && clickTrayIcon(1));
        const auto geometry = shownWindowGeometry();
        QVERIFY(geometry);
        QVERIFY2(geometry->y() >= tray->y() + tray->height(), "the popover hangs below the tray");

        // Newest first: Return copies "gamma three" back.
        QVERIFY(pressKeys(QStringLiteral("Return")));
        QTRY_COMPARE_WITH_TIMEOUT(clipboardText(), QStringLiteral("gamma three"), 3000);
        // The window closes by itself after the copy.
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowNamed(QStringLiteral("Nabrix")), 5000);

        // Typing filters the list; Down then Return copies the second match.
        QVERIFY(xdotool({"click", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindowNamed(QStringLiteral("Nabrix")), 5000);
        QVERIFY(xdotool({"type", "o"}));
        QTest::qWait(300);
        QVERIFY(pressKeys(QStringLiteral("Down Return")));
        QTRY_COMPARE_WITH_TIMEOUT(clipboardText(), QStringLiteral("alpha one"), 3000);
    }

    // The popover opens on the first click and closes on the second; a click outside it
    // closes it too and leaves the detail page, so Escape then closes the reopened window.
    void trayClicksAndClicksOutsideCloseThePopover()
    {
        RunningProgram program;
        QVERIFY(program.waitUntilCapturing({"only entry"}));

        QVERIFY(clickTrayIcon(1));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindowNamed(QStringLiteral("Nabrix")), 5000);
        // Past the double-click interval: a second click within it is a double click.
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 200);
        QVERIFY(clickTrayIcon(1));
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowNamed(QStringLiteral("Nabrix")), 3000);
        QTest::qWait(500); // and it does not come back by itself
        QVERIFY(!visibleWindowNamed(QStringLiteral("Nabrix")));

        QVERIFY(clickTrayIcon(1));
        const auto geometry = shownWindowGeometry();
        QVERIFY(geometry);
        // The row's menu: copy, paste, detail.
        QVERIFY(clickAt(geometry->x() + 150, geometry->y() + 78, 3));
        QTest::qWait(500);
        QVERIFY(pressKeys(QStringLiteral("Down Down Down Return")));
        QTest::qWait(300);
        QVERIFY(visibleWindowNamed(QStringLiteral("Nabrix")));
        QVERIFY(clickAt(100, 700));
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowNamed(QStringLiteral("Nabrix")), 3000);
        QVERIFY(clickTrayIcon(1));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindowNamed(QStringLiteral("Nabrix")), 5000);
        QVERIFY(pressKeys(QStringLiteral("Escape")));
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowNamed(QStringLiteral("Nabrix")), 3000);
    }

    // A row's menu takes the keys while it is open: the history neither moves its
    // highlight, copies nor closes.
    void rowMenuKeepsItsKeys()
    {
        RunningProgram program;
        QVERIFY(program.waitUntilCapturing({"older entry", "newest entry"}));
        QVERIFY(clickTrayIcon(1));
        const auto geometry = shownWindowGeometry();
        QVERIFY(geometry);
        QList<quint32> before = visibleWindowsOfClass(QStringLiteral("nabrix"));

        // Escape closes only the menu.
        QVERIFY(clickAt(geometry->x() + 150, geometry->y() + 78, 3));
        const std::optional<quint32> menu = newWindowOf(before);
        QVERIFY(menu);
        QTest::qWait(200);
        QVERIFY(pressKeys(QStringLiteral("Escape")));
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowsOfClass(QStringLiteral("nabrix")).contains(*menu),
                                 3000);
        QTest::qWait(300);
        QVERIFY(visibleWindowNamed(QStringLiteral("Nabrix")));

        // Down and Return choose the menu's first entry, copying the clicked row, while the
        // history's highlight would have moved to the older entry.
        before = visibleWindowsOfClass(QStringLiteral("nabrix"));
        QVERIFY(clickAt(geometry->x() + 150, geometry->y() + 78, 3));
        QVERIFY(newWindowOf(before));
        QTest::qWait(200);
        QVERIFY(pressKeys(QStringLiteral("Down Return")));
        QTRY_COMPARE_WITH_TIMEOUT(clipboardText(), QStringLiteral("newest entry"), 3000);
    }

    void rightClickShowsTheMenuWithSettingsAndQuit()
    {
        RunningProgram program;
        QVERIFY(program.waitUntilCapturing());
        QList<quint32> before = visibleWindowsOfClass(QStringLiteral("nabrix"));
        QVERIFY(clickTrayIcon(3));
        const std::optional<quint32> menu = newWindowOf(before);
        QVERIFY(menu);
        const auto menuGeometry = geometryOf(*menu);
        const auto tray = trayGeometry();
        QVERIFY(menuGeometry && tray);
        QVERIFY2(menuGeometry->height() > 20 && menuGeometry->height() < 200,
                 "a menu of two entries");
        QVERIFY2(menuGeometry->y() >= tray->y(), "the menu opens at the icon");
        // Neither history window opened: the right click is the menu's alone.
        QVERIFY(!visibleWindowNamed(QStringLiteral("Nabrix")));

        // The first entry opens the settings window (not the 380 x 480 history).
        QVERIFY(pressKeys(QStringLiteral("Down Return")));
        const auto settingsGeometry = shownWindowGeometry();
        QVERIFY(settingsGeometry);
        QVERIFY(settingsGeometry->width() != 380 || settingsGeometry->height() != 480);

        // The last entry quits, with success. Keys go to the menu only once it is mapped;
        // under load that takes longer than any fixed wait. Qt may map the same menu
        // window again, so it must be seen gone first to be seen coming back.
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowsOfClass(QStringLiteral("nabrix")).contains(*menu),
                                 5000);
        before = visibleWindowsOfClass(QStringLiteral("nabrix"));
        QVERIFY(clickTrayIcon(3));
        QVERIFY(newWindowOf(before));
        QTest::qWait(200);
        QVERIFY(pressKeys(QStringLiteral("Up Return")));
        QCOMPARE(program.exitCodeWithin(10000), std::optional<int>(0));
    }

    void shortcutOpensThePanelAtThePointerAndEscapeClosesIt()
    {
        const int keycode = keycodeOf(QStringLiteral("v"));
        QVERIFY(keycode > 0);
        RunningProgram program(
            QStringLiteral("hideMenuBarIcon=true\nhotkeyKeyCode=%1\nhotkeyModifiers=6144\n")
                .arg(keycode)
                .toUtf8());
        QVERIFY(program.waitUntilCapturing());
        QVERIFY(xdotool({"mousemove", "640", "300"}));
        QVERIFY(pressKeys(QStringLiteral("ctrl+alt+v")));
        const auto geometry = shownWindowGeometry();
        QVERIFY(geometry);
        QCOMPARE(geometry->x(), 640 - 356);
        QCOMPARE(geometry->y(), 312);
        QVERIFY(pressKeys(QStringLiteral("Escape")));
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowNamed(QStringLiteral("Nabrix")), 3000);
        // The shortcut toggles it open again.
        QVERIFY(pressKeys(QStringLiteral("ctrl+alt+v")));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindowNamed(QStringLiteral("Nabrix")), 5000);
        // A click outside leaves the panel where it is.
        QVERIFY(clickAt(100, 700));
        QTest::qWait(500);
        QVERIFY(visibleWindowNamed(QStringLiteral("Nabrix")));
    }
};

QTEST_MAIN(TestHistoryX11)
#include "tst_history_x11.moc"
