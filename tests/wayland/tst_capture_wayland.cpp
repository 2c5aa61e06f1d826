// SPDX-License-Identifier: GPL-3.0-or-later
// Beside a real Wayland compositor: native copies land in the history, and copy-back serves them.
#include "storage/app_settings.h"
#include "x11_harness.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>
#include <memory>

namespace x11 = nabrix::testing::x11;
using x11::storedEntries;
using x11::storedTexts;

namespace {

QByteArray pasted()
{
    return x11::runTool(QStringLiteral("wl-paste"), {QStringLiteral("--no-newline")}).output;
}

// wl-copy serves its copy from a child of its own until something replaces it.
bool wlCopy(const QByteArray& data, const QStringList& options = {})
{
    return x11::runTool(QStringLiteral("wl-copy"), options, data).exitCode == 0;
}

QByteArray smallPng()
{
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

class TestCaptureWayland : public QObject {
    Q_OBJECT

    x11::ProgramHome m_home;
    // Nabrix as it runs on a Wayland desktop: its windows on XWayland, the clipboard native.
    QProcess m_program;
    QString m_history = m_home.historyPath();

    // Copies made while it is in front are never recorded.
    const QString vault = QStringLiteral("org.example.Vault");

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                     !qEnvironmentVariableIsEmpty("SWAYSOCK"),
                 "needs a sway compositor: run via scripts/with-sway");
        // The helper windows are native Wayland clients.
        qputenv("QT_QPA_PLATFORM", "wayland");
        QVERIFY(m_home.isUsable());
        nabrix::AppSettings(m_home.settingsPath()).setBlacklistedBundleIDs({vault});
        m_program.setProcessEnvironment(m_home.environment());
        m_program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        m_program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(m_program.waitForStarted());
        QVERIFY(m_home.waitUntilCapturing());
    }

    void nativeCopiesAreStored_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("focusedApp"); // a native window's app_id; empty: no window
        QTest::addColumn<QString>("storedType"); // empty: never stored
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<QString>("storedSource");

        const auto row = [](const char* name, const char* program, const QStringList& arguments,
                            const QByteArray& input, const QString& focusedApp, const char* type,
                            const QString& text, const QString& source) {
            QTest::newRow(name) << QString::fromLatin1(program) << arguments << input << focusedApp
                                << QString::fromLatin1(type) << text << source;
        };
        const QString editor = QStringLiteral("org.example.Editor");
        row("text, native window focused", "wl-copy", {}, "native with focus", editor, "text",
            "native with focus", editor);
        row("text, no window", "wl-copy", {}, "native without window", {}, "text",
            "native without window", {});
        row("text, blacklisted window focused", "wl-copy", {}, "copied in the vault", vault, "",
            "copied in the vault", {});
        row("text/plain only", "wl-copy", {"--type", "text/plain"}, "only text/plain", {}, "text",
            "only text/plain", {});
        row("png", "wl-copy", {"--type", "image/png"}, smallPng(), {}, "image", "", {});
        row("password hint", "wayland_copier",
            {"text/plain;charset=utf-8", "hunter2", "text/plain", "hunter2",
             "x-kde-passwordManagerHint", "secret"},
            {}, editor, "", "hunter2", {});
    }
    void nativeCopiesAreStored()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, focusedApp);
        QFETCH(QString, storedType);
        QFETCH(QString, storedText);
        QFETCH(QString, storedSource);

        std::unique_ptr<x11::HelperProcess> window;
        if (!focusedApp.isEmpty()) {
            window = std::make_unique<x11::HelperProcess>(QStringLiteral("paste_target"),
                                                          QStringList{focusedApp});
            QVERIFY(window->waitForOutput());
        }
        const qsizetype before = storedEntries(m_history).size();
        std::unique_ptr<x11::HelperProcess> copier;
        if (program == QLatin1String("wl-copy")) {
            QVERIFY(wlCopy(input, arguments));
        } else {
            copier = std::make_unique<x11::HelperProcess>(program, arguments);
            QVERIFY(copier->waitForOutput());
        }
        if (storedType.isEmpty()) {
            // Whatever comes next, with no window in front, is stored; what came before it,
            // never.
            window.reset();
            QVERIFY(wlCopy("after the secret"));
            QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history).constLast(),
                                      QStringLiteral("after the secret"), 5000);
            QVERIFY(!storedTexts(m_history).contains(storedText));
            QCOMPARE(storedEntries(m_history).size(), before + 1);
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(storedEntries(m_history).size(), before + 1, 5000);
        const x11::StoredEntry entry = storedEntries(m_history).constLast();
        QCOMPARE(entry.type, storedType);
        QCOMPARE(entry.searchString, storedText);
        QCOMPARE(entry.source, storedSource);
        if (storedType == QLatin1String("image"))
            QCOMPARE(QSize(entry.imageWidth, entry.imageHeight), QSize(7, 5));
    }

    void copiesAFifthOfASecondApartAreEachStoredOnce()
    {
        const QStringList before = storedTexts(m_history);
        const QStringList copies{"quick first", "quick second", "quick third"};
        for (const QString& text : copies) {
            QVERIFY(wlCopy(text.toUtf8()));
            QTest::qWait(200);
        }
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history), before + copies, 5000);
    }

    void chosenEntryIsServedAndNotRecordedAgain()
    {
        QVERIFY(wlCopy("older choice"));
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history).constLast(),
                                  QStringLiteral("older choice"), 5000);
        QVERIFY(wlCopy("newest copy"));
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history).constLast(), QStringLiteral("newest copy"),
                                  5000);
        const QStringList before = storedTexts(m_history);
        // A second start opens the running instance's history; the older entry is searched
        // for and chosen.
        QProcess toggle;
        toggle.setProcessEnvironment(m_home.environment());
        toggle.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(x11::exitsCleanly(toggle));
        QTRY_VERIFY_WITH_TIMEOUT(x11::visibleWindowNamed(QStringLiteral("Nabrix")) &&
                                     x11::activeWindow() ==
                                         x11::visibleWindowNamed(QStringLiteral("Nabrix")),
                                 5000);
        // The history loads in the background and then applies the search typed meanwhile;
        // until it has, the list is empty and Return does nothing.
        QVERIFY(x11::pressKeys(QStringLiteral("o l d e r")));
        QTRY_COMPARE_WITH_TIMEOUT((x11::pressKeys(QStringLiteral("Return")), pasted()),
                                  QByteArray("older choice"), 5000);
        // Still served once the window has closed, to a reader Nabrix never sees.
        QTRY_VERIFY_WITH_TIMEOUT(!x11::visibleWindowNamed(QStringLiteral("Nabrix")), 5000);
        QCOMPARE(pasted(), QByteArray("older choice"));
        QCOMPARE(storedTexts(m_history), before);
    }

    void contentOutlivesTheProgramThatCopiedIt()
    {
        const QStringList before = storedTexts(m_history);
        const QString copied = QStringLiteral("copied by a program that then quit");
        {
            x11::HelperProcess owner(QStringLiteral("wayland_copier"),
                                     {QStringLiteral("text/plain;charset=utf-8"), copied});
            QVERIFY(owner.waitForOutput());
            QTRY_COMPARE_WITH_TIMEOUT(storedTexts(m_history), before + QStringList{copied}, 5000);
        } // the owner is killed here
        QTRY_COMPARE_WITH_TIMEOUT(pasted(), copied.toUtf8(), 5000);
        QCOMPARE(storedTexts(m_history), before + QStringList{copied});
    }

    // Last: the compositor does not come back.
    void displayServerGoingAwayEndsTheProgramWithItsHistorySaved_data()
    {
        // Else only the program's XWayland connection breaks, which Qt notices by itself.
        QTest::addColumn<bool>("compositorExits");
        QTest::newRow("XWayland connection broken") << false;
        QTest::newRow("compositor exits") << true;
    }
    void displayServerGoingAwayEndsTheProgramWithItsHistorySaved()
    {
        QFETCH(bool, compositorExits);
        const x11::ProgramHome home;
        QVERIFY(home.isUsable());
        const QString history = home.historyPath();
        QProcess program;
        program.setProcessEnvironment(home.environment());
        program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        program.start(QStringLiteral(NABRIX_BINARY), {});
        QVERIFY(program.waitForStarted());
        QVERIFY(home.waitUntilCapturing());
        QVERIFY(wlCopy("committed before the end"));
        QTRY_COMPARE_WITH_TIMEOUT(storedTexts(history), QStringList{"committed before the end"},
                                  5000);
        const QStringList committed = storedTexts(history);

        if (compositorExits) {
            x11::runTool(QStringLiteral("swaymsg"), {QStringLiteral("exit")});
        } else {
            QProcess toggle;
            toggle.setProcessEnvironment(home.environment());
            toggle.start(QStringLiteral(NABRIX_BINARY), {});
            QVERIFY(x11::exitsCleanly(toggle));
            std::optional<quint32> window;
            QTRY_VERIFY_WITH_TIMEOUT(
                (window = x11::visibleWindowNamed(QStringLiteral("Nabrix"))).has_value(), 5000);
            QCOMPARE(x11::runTool(QStringLiteral("xkill"),
                                  {QStringLiteral("-id"), QString::number(*window)})
                         .exitCode,
                     0);
        }
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(program.readAllStandardError(),
                 QByteArray("nabrix: the display server went away\n"));

        SQLite::Database db(history.toStdString(), SQLite::OPEN_READONLY);
        QCOMPARE(db.execAndGet("PRAGMA integrity_check").getString(), std::string("ok"));
        QCOMPARE(storedTexts(history), committed);
    }
};

QTEST_GUILESS_MAIN(TestCaptureWayland)
#include "tst_capture_wayland.moc"
