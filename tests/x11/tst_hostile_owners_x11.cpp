// SPDX-License-Identifier: GPL-3.0-or-later
// The real program against clipboard owners that misbehave: one that never answers, one
// that trickles megabytes, one that vanishes mid-transfer, a 500 MB text and a 100-megapixel
// image. Each time the program must stay alive and responsive, keep capturing ordinary
// copies afterwards, and store what it can without keeping anything corrupt.
#include "x11_harness.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>

using namespace nabrix::testing::x11;

class TestHostileOwnersX11 : public QObject {
    Q_OBJECT

    ProgramHome m_home;
    std::unique_ptr<QProcess> m_program;
    int m_copies = 0;

    QList<StoredEntry> entries() const { return storedEntries(m_home.historyPath()); }

    bool hasEntry(const std::function<bool(const StoredEntry&)>& matches) const
    {
        return std::ranges::any_of(entries(), matches);
    }

    bool hasText(const QString& text) const
    {
        return hasEntry([&text](const StoredEntry& e) { return e.searchString == text; });
    }

    bool hasImage(int width, int height) const
    {
        return hasEntry([width, height](const StoredEntry& e) {
            return e.type == QLatin1String("image") && e.imageWidth == width &&
                   e.imageHeight == height;
        });
    }

    static std::unique_ptr<HelperProcess> hostileOwner(const QStringList& arguments)
    {
        return std::make_unique<HelperProcess>(QStringLiteral("hostile_owner"), arguments);
    }

    // What every hostile owner must leave intact: the program runs, captures an ordinary
    // copy, and answers a second start by toggling its window (open, then closed again).
    void checkStillWorking()
    {
        QCOMPARE(m_program->state(), QProcess::Running);
        const QString text = QStringLiteral("ordinary copy %1").arg(++m_copies);
        QVERIFY(copyWithXclip(text.toUtf8()));
        // A read given up after 5 s of silence; allow for two of them and a slow machine.
        QTRY_VERIFY_WITH_TIMEOUT(hasText(text), 20000);
        for (const bool open : {true, false})
            QVERIFY(toggleWindow(open, 15000));
        QCOMPARE(m_program->state(), QProcess::Running);
    }

    // A second start asks the running program to toggle its window; true once the window is
    // `open` (or closed) within `timeoutMs`.
    bool toggleWindow(bool open, int timeoutMs)
    {
        const auto second = m_home.start(QStringLiteral(NABRIX_BINARY));
        if (!second->waitForFinished(20000) || second->exitStatus() != QProcess::NormalExit ||
            second->exitCode() != 0)
            return false;
        return QTest::qWaitFor(
            [open] { return visibleWindowNamed(QStringLiteral("Nabrix")).has_value() == open; },
            timeoutMs);
    }

    // Lets the program poll the owner's offer and finish whatever reading it does.
    void letProgramRead(HelperProcess& owner, int waitMs)
    {
        QVERIFY2(owner.waitForOutput(), "the hostile owner did not take the selection");
        QTest::qWait(waitMs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        NABRIX_REQUIRE_X11();
        QVERIFY(m_home.isUsable());
        m_program = m_home.start(QStringLiteral(NABRIX_BINARY));
        QVERIFY(m_program->waitForStarted());
        QVERIFY(m_home.waitUntilCapturing());
        checkStillWorking();
    }

    void ownerThatListsTypesButNeverSendsData()
    {
        const qsizetype before = entries().size();
        const auto owner = hostileOwner({"--mode", "silent-data"});
        // The reader gives up on the text after 5 s of silence and asks no more; the read must
        // fail on its own, before another copy replaces the owner and stops it.
        letProgramRead(*owner, 7000);
        checkStillWorking();
        // A read that timed out is not an empty text.
        QCOMPARE(entries().size(), before + 1);
    }

    void longTransferIsKeptWhileTheWindowKeepsAnswering()
    {
        // 4 MiB in 64 KiB chunks every 200 ms: almost 13 s of a live owner.
        constexpr qint64 size = qint64(4) * 1024 * 1024;
        const auto owner = hostileOwner({"--mode", "slow", "--size", QString::number(size),
                                         "--chunk", "65536", "--interval", "200"});
        letProgramRead(*owner, 1500);
        // The transfer runs on the worker: the window opens and closes while it goes on,
        // which a read blocking the event loop would only have let happen after it.
        QVERIFY(toggleWindow(true, 15000));
        QVERIFY(toggleWindow(false, 15000));
        QVERIFY2(!owner->output().contains("served"), "the toggles happened during the transfer");
        // The whole text, not a part of it.
        QTRY_VERIFY_WITH_TIMEOUT(hasEntry([](const StoredEntry& e) {
                                     return e.type == QLatin1String("text") &&
                                            e.contentLength == size &&
                                            e.searchString.startsWith(u"hostile slow text");
                                 }),
                                 30000);
        checkStillWorking();
    }

    void ownerThatVanishesMidTransfer()
    {
        const qsizetype before = entries().size();
        const auto owner = hostileOwner({"--mode", "vanish", "--size", "4194304", "--chunk",
                                         "65536", "--vanish-after", "1048576"});
        letProgramRead(*owner, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!owner->isRunning(), 20000);
        QVERIFY(owner->output().contains("vanished"));
        // The reader waits 5 s for the next chunk before it gives up on the transfer.
        QTest::qWait(7000);
        checkStillWorking();
        // Neither the truncated text nor an empty one in its place.
        QCOMPARE(entries().size(), before + 1);
    }

    void fiveHundredMegabyteText()
    {
        const qint64 size = 500LL * 1000 * 1000;
        const qsizetype before = entries().size();
        const auto owner = hostileOwner(
            {"--mode", "huge-text", "--size", QString::number(size), "--chunk", "4194304"});
        letProgramRead(*owner, 0);
        QTRY_COMPARE_WITH_TIMEOUT(entries().size(), before + 1, 90000);
        const StoredEntry entry = entries().constLast();
        QVERIFY(entry.searchString.startsWith(u"hostile huge-text"));
        QCOMPARE(entry.type, QStringLiteral("text"));
        QCOMPARE(entry.contentLength, size);
        // The search text keeps only the first 10 000 characters.
        QCOMPARE(entry.searchString.size(), 10000);
        checkStillWorking();
    }

    void hundredMegapixelImage()
    {
        const auto owner =
            hostileOwner({"--mode", "big-image", "--width", "10000", "--height", "10000"});
        letProgramRead(*owner, 0);
        QTRY_VERIFY_WITH_TIMEOUT(hasImage(10000, 10000), 30000);
        // The window shows it too (its thumbnail is read scaled, a few rows at a time).
        checkStillWorking();
    }

    void largeTiffIsConvertedAndKept()
    {
        // 6000 x 6000 decodes to 144 MB, past Qt's default 128 MB allocation limit.
        const auto owner = hostileOwner(
            {"--mode", "big-image", "--width", "6000", "--height", "6000", "--format", "tiff"});
        letProgramRead(*owner, 0);
        QTRY_VERIFY_WITH_TIMEOUT(hasImage(6000, 6000), 60000);
        checkStillWorking();
    }

    void cleanupTestCase()
    {
        // The quit path ends the program cleanly even while its worker waits on a silent owner.
        const auto owner = hostileOwner({"--mode", "silent"});
        letProgramRead(*owner, 1500);
        QVERIFY(m_program && terminatesCleanly(*m_program));
    }
};

QTEST_MAIN(TestHostileOwnersX11)
#include "tst_hostile_owners_x11.moc"
