// SPDX-License-Identifier: GPL-3.0-or-later
// Captures and deletes history entries as fast as it can, for a test that kills it midway.
//
//   crash_writer <history file> <journal file> <seed> <operations>
//
// Appends one line to the journal per step, written straight to the file so that a kill
// cannot lose a line that was reported:
//   I <id>   the capture of <id> is committed
//   d <id>   the deletion of <id> is about to start
//   D <id>   the deletion of <id> is committed
// An entry's content is its search text, so a reader can tell a torn entry from a whole one.
#include "app/app_model.h"
#include "fake_platform.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace nabrix;

namespace {

class Journal {
public:
    explicit Journal(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(),
                      O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600))
    {
    }
    ~Journal()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(char tag, const QUuid& id)
    {
        const QByteArray line = QByteArray(1, tag) + ' ' + idText(id).toLatin1() + '\n';
        return ::write(m_fd, line.constData(), static_cast<size_t>(line.size())) == line.size();
    }

private:
    int m_fd;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: crash_writer HISTORY JOURNAL SEED OPERATIONS\n");
        return 2;
    }
    const QString historyPath = QString::fromLocal8Bit(argv[1]);
    Journal journal(QString::fromLocal8Bit(argv[2]));
    const auto seed = QByteArray(argv[3]).toUInt();
    const int operations = QByteArray(argv[4]).toInt();
    if (!journal.isOpen()) {
        std::perror("journal");
        return 2;
    }

    auto opened = StorageManager::open(historyPath);
    if (!opened.storage) {
        std::fprintf(stderr, "crash_writer: %s\n", qUtf8Printable(opened.error));
        return 3;
    }
    // Captures come far faster than a user copies: keep their timestamps apart, so that the
    // newest entry is always the last capture.
    auto last = std::make_shared<QDateTime>();
    const Clock clock = [last] {
        const QDateTime now = QDateTime::currentDateTime();
        *last = last->isValid() && now <= *last ? last->addMSecs(1) : now;
        return *last;
    };
    testing::FakePlatform platform;
    AppModel model(std::move(opened.storage),
                   std::make_unique<AppSettings>(historyPath + QStringLiteral(".conf")),
                   platform.services, clock);
    StorageManager& storage = model.storage();

    QList<QUuid> live;
    for (const ClipItem& item : storage.allItems())
        live.append(item.id);

    QRandomGenerator random(seed);
    for (int step = 0; step < operations; ++step) {
        if (live.isEmpty() || random.bounded(100) < 65) {
            // Sizes from a few bytes to a few hundred kilobytes: small commits and ones that
            // span many pages, so kills land inside writes and inside checkpoints.
            const int padding =
                random.bounded(100) < 10 ? random.bounded(300000) : random.bounded(2000);
            PasteboardContent content;
            content.type = ClipType::Text;
            content.searchString = QStringLiteral("capture %1 %2 ").arg(seed).arg(step) +
                                   QString(padding, QLatin1Char('a' + random.bounded(26)));
            content.contentData = content.searchString.toUtf8();
            content.sourceAppBundleID = QStringLiteral("org.example.Writer");
            model.handleCapture(content);
            const auto latest = storage.latestItem();
            if (!latest || latest->searchString != content.searchString) {
                std::fprintf(stderr, "crash_writer: capture %d did not reach the store\n", step);
                return 4;
            }
            if (!storage.save()) {
                std::fprintf(stderr, "crash_writer: saving capture %d failed\n", step);
                return 4;
            }
            journal.write('I', latest->id);
            live.append(latest->id);
        } else {
            // One entry, or a handful at once as a multiple selection deletes them.
            const int count = random.bounded(100) < 70 ? 1 : 1 + random.bounded(5);
            QList<ClipItem> doomed;
            for (int i = 0; i < count && !live.isEmpty(); ++i) {
                ClipItem item;
                item.id = live.takeAt(random.bounded(live.size()));
                doomed.append(item);
                journal.write('d', item.id);
            }
            if (doomed.size() == 1)
                storage.deleteItem(doomed.first().id);
            else
                storage.deleteItems(doomed);
            if (!storage.save()) {
                std::fprintf(stderr, "crash_writer: saving deletion %d failed\n", step);
                return 4;
            }
            for (const ClipItem& item : doomed)
                journal.write('D', item.id);
        }
    }
    return 0;
}
