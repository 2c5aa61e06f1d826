// SPDX-License-Identifier: GPL-3.0-or-later
// A full disk: captures wait in memory, stay listed, and are written once there is room;
// the settings file stays whole. The files live on a small tmpfs that the test fills
// (mounting needs root).
#include "app/app_model.h"
#include "fake_platform.h"
#include "history/history_list_model.h"
#include "mount_point.h"
#include "row_texts.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace nabrix;
using namespace nabrix::testing;

namespace {

constexpr qsizetype kib = 1024;

// Writes `path` until the file system has no byte left; the errno of the last failed write.
int fillUp(const QString& path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    const QByteArray chunk(64 * kib, 'f');
    int error = 0;
    // Big chunks first, then ever smaller ones into the last partly used page.
    for (qsizetype size = chunk.size(); size >= 1; size /= 4) {
        while (::write(fd, chunk.constData(), static_cast<size_t>(size)) == size) {
        }
        error = errno;
    }
    ::close(fd);
    return error;
}

QStringList storedTexts(const QString& history)
{
    SQLite::Database db(history.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement query(db, "SELECT i.search_string, c.content_data FROM clip_items i "
                                "JOIN clip_contents c ON c.id = i.id ORDER BY i.timestamp");
    QStringList texts;
    while (query.executeStep()) {
        const QString text = QString::fromStdString(query.getColumn(0).getString());
        // The content of these entries is their text; anything else is damage.
        texts.append(query.getColumn(1).getString() == text.toStdString()
                         ? text.left(20)
                         : QStringLiteral("damaged ") + text.left(20));
    }
    return texts;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFullDisk : public QObject {
    Q_OBJECT

    ManualClock m_clock{QDateTime::currentDateTime()};
    QString m_mountError;

    // A tmpfs of `sizeKiB` on `folder`, made first; NABRIX_REQUIRE_MOUNT with m_mountError
    // fails the test when there is none.
    std::unique_ptr<MountPoint> smallDisk(const QString& folder, int sizeKiB)
    {
        if (QDir().mkpath(folder))
            return MountPoint::tmpfs(folder, sizeKiB, m_mountError);
        m_mountError = QStringLiteral("cannot make ") + folder;
        return nullptr;
    }

    // Copies `text` (padded to `size` characters) as another application would.
    void capture(AppModel& model, const QString& text, qsizetype size = 0)
    {
        m_clock.advance(1);
        PasteboardContent content;
        content.searchString =
            text + QString(std::max<qsizetype>(0, size - text.size()), QLatin1Char('.'));
        content.contentData = content.searchString.toUtf8();
        model.handleCapture(content);
    }

private Q_SLOTS:
    void capturesWaitForRoomAndAreWrittenWhenItReturns()
    {
        TestHome home;
        const QString data = home.path() + QStringLiteral("/data");
        const auto mount = smallDisk(data, 4096);
        NABRIX_REQUIRE_MOUNT(mount, m_mountError);

        FakePlatform platform;
        auto model =
            std::make_unique<AppModel>(home.openStorage(m_clock.clock()), home.loadSettings(),
                                       platform.services, m_clock.clock());
        StorageManager& storage = model->storage();
        HistoryListModel& list = model->history();
        capture(*model, QStringLiteral("before one"));
        const QUuid first = storage.latestItem()->id;
        capture(*model, QStringLiteral("before two"));
        QVERIFY(!storage.hasPendingChanges());

        const QString filler = data + QStringLiteral("/filler");
        QCOMPARE(fillUp(filler), ENOSPC);

        // Each entry is larger than any room the write-ahead log may still have.
        for (int i = 1; i <= 4; ++i)
            capture(*model, QStringLiteral("while full %1").arg(i), 100 * kib);
        QVERIFY2(storage.hasPendingChanges(), "the store accepted writes on a full disk");
        QVERIFY(!storage.save());
        QCOMPARE(storedTexts(home.historyPath()), QStringList({"before one", "before two"}));
        // A copy repeated while full is still recognised as the latest one.
        const QUuid latest = storage.latestItem()->id;
        capture(*model, QStringLiteral("while full 4"), 100 * kib);
        QCOMPARE(storage.latestItem()->id, latest);
        storage.deleteItem(first);

        // The history shows the unsaved state: four new entries, the deleted one gone.
        QCOMPARE(list.rowCount(), 5);
        QVERIFY(itemWithText(list, 0).searchString.startsWith(QStringLiteral("while full 4")));
        QCOMPARE(itemWithText(list, 4).searchString, QStringLiteral("before two"));
        QCOMPARE(storage.allItems().size(), 5);
        QCOMPARE(storage.contentData(latest)->size(), 100 * kib);

        // Room again: the store writes what waited without another capture to prompt it.
        QVERIFY(QFile::remove(filler));
        QTRY_VERIFY_WITH_TIMEOUT(
            !storage.hasPendingChanges(),
            int(std::chrono::milliseconds(StorageManager::retryInterval).count()) + 5000);
        QStringList expected{"before two"};
        for (int i = 1; i <= 4; ++i)
            expected.append(
                QStringLiteral("while full %1").arg(i).leftJustified(20, QLatin1Char('.')));
        QCOMPARE(storedTexts(home.historyPath()), expected);

        capture(*model, QStringLiteral("after"));
        QVERIFY(!storage.hasPendingChanges());
        model.reset();

        SQLite::Database db(home.historyPath().toStdString(), SQLite::OPEN_READONLY);
        QCOMPARE(db.execAndGet("PRAGMA integrity_check").getString(), std::string("ok"));
        expected.append(QStringLiteral("after"));
        QCOMPARE(storedTexts(home.historyPath()), expected);
    }

    void changesStillHeldAtQuitAreCounted()
    {
        TestHome home;
        const QString data = home.path() + QStringLiteral("/data");
        const auto mount = smallDisk(data, 1024);
        NABRIX_REQUIRE_MOUNT(mount, m_mountError);
        FakePlatform platform;
        AppModel model(home.openStorage(m_clock.clock()), home.loadSettings(), platform.services,
                       m_clock.clock());
        model.start();
        QCOMPARE(fillUp(data + QStringLiteral("/filler")), ENOSPC);
        for (int i = 1; i <= 3; ++i)
            capture(model, QStringLiteral("while full %1").arg(i), 100 * kib);
        QVERIFY(model.storage().hasPendingChanges());

        // Quitting tries them once more; what still cannot be written is lost, and said so.
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^nabrix: 3 changes to the history "
                                                               "could not be saved: .*full")));
        model.stop();
    }

    void fullDiskAtStart()
    {
        TestHome home;
        const QString data = home.path() + QStringLiteral("/data");
        const auto mount = smallDisk(data, 1024);
        NABRIX_REQUIRE_MOUNT(mount, m_mountError);
        {
            FakePlatform platform;
            AppModel model(home.openStorage(m_clock.clock()), home.loadSettings(),
                           platform.services, m_clock.clock());
            capture(model, QStringLiteral("kept"));
        }
        const QString filler = data + QStringLiteral("/filler");
        QCOMPARE(fillUp(filler), ENOSPC);
        const QByteArray bytes = bytesOf(home.historyPath());
        QVERIFY(!bytes.isEmpty());

        // Without room for the log index SQLite cannot open the history at all: the fatal
        // stop, with the file as it was.
        auto refused = StorageManager::open(home.historyPath(), m_clock.clock());
        QVERIFY(!refused.storage);
        QVERIFY(!refused.error.isEmpty());
        QCOMPARE(bytesOf(home.historyPath()), bytes);

        // With a little room it opens, lists what it holds, and keeps a large capture waiting.
        QVERIFY(QFile::resize(filler, QFileInfo(filler).size() - 128 * kib));
        auto opened = StorageManager::open(home.historyPath(), m_clock.clock());
        QVERIFY2(opened.storage, qPrintable(opened.error));
        QCOMPARE(opened.storage->allItems().size(), 1);
        const ClipItem item =
            makeClipItem(m_clock.now().addSecs(10), QString(400 * kib, QLatin1Char('x')));
        opened.storage->insert(item, item.searchString.toUtf8());
        QVERIFY(opened.storage->hasPendingChanges());
        QCOMPARE(opened.storage->allItems().size(), 2);
        QVERIFY(QFile::remove(filler));
        QVERIFY(opened.storage->save());
        opened.storage.reset();
        QCOMPARE(storedTexts(home.historyPath()).size(), 2);
    }

    void settingsSurviveAFullDisk()
    {
        TestHome home;
        const QString config = QFileInfo(home.settingsPath()).absolutePath();
        const auto mount = smallDisk(config, 256);
        NABRIX_REQUIRE_MOUNT(mount, m_mountError);
        const QStringList blacklist{QStringLiteral("org.example.Vault")};
        home.loadSettings()->setBlacklistedBundleIDs(blacklist);
        const QByteArray bytes = bytesOf(home.settingsPath());
        QVERIFY(!bytes.isEmpty());

        const QString filler = config + QStringLiteral("/filler");
        QCOMPARE(fillUp(filler), ENOSPC);
        {
            const auto settings = home.loadSettings();
            settings->setRetentionDays(3);
            // The running program keeps the new value even though it could not be written.
            QCOMPARE(settings->retentionDays(), 3);
        }
        // A settings file that cannot be rewritten is left whole, never truncated.
        QCOMPARE(bytesOf(home.settingsPath()), bytes);
        QCOMPARE(home.loadSettings()->blacklistedBundleIDs(), blacklist);

        QVERIFY(QFile::remove(filler));
        home.loadSettings()->setRetentionDays(3);
        const auto reloaded = home.loadSettings();
        QCOMPARE(reloaded->retentionDays(), 3);
        QCOMPARE(reloaded->blacklistedBundleIDs(), blacklist);
    }
};

QTEST_MAIN(TestFullDisk)
#include "tst_full_disk.moc"
