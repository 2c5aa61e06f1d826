// SPDX-License-Identifier: GPL-3.0-or-later
// Writes synthetic histories in the store's own format, for benchmarks and profiling.
#include "history_generator.h"

#include "sample_content.h"
#include "sample_image.h"

#include "capture/file_list.h"
#include "capture/privacy_engine.h"
#include "capture/text_limits.h"
#include "storage/clip_item.h"
#include "storage/storage_manager.h"

#include <QFile>
#include <QFileInfo>
#include <SQLiteCpp/SQLiteCpp.h>
#include <vector>

namespace nabrix::bench {

namespace {

// Distinct image files reused by every image entry: encoding a full-HD PNG takes a tenth
// of a second, far too long to do a thousand times.
constexpr int imageVariants = 4;

struct Entry {
    ClipType type = ClipType::Text;
    QByteArray contentData;
    QString searchString;
    bool isSensitive = false;
};

Entry textEntry(SampleContent& content)
{
    const quint64 roll = content.below(1000);
    QString text;
    if (roll < 10)
        text = content.cardNumberText();
    else if (roll < 660)
        text = content.shortText();
    else if (roll < 980)
        text = content.text(80, 800);
    else
        text = content.text(1000, maxSearchCharacters);
    Entry entry;
    entry.searchString = firstCharacters(text);
    entry.contentData = text.toUtf8();
    return entry;
}

Entry rtfEntry(SampleContent& content)
{
    const QString text = content.chance(0.02) ? content.cardNumberText() : content.text(20, 1500);
    Entry entry;
    entry.type = ClipType::Rtf;
    entry.contentData = content.rtfDocument(text);
    entry.searchString = firstCharacters(text);
    return entry;
}

Entry fileEntry(SampleContent& content)
{
    const QList<QUrl> urls = content.fileList();
    Entry entry;
    entry.type = ClipType::File;
    entry.contentData = encodeFileList(urls);
    entry.searchString = fileListSearchString(urls);
    return entry;
}

// Spreads `images` image entries evenly over `count` entries.
bool isImageIndex(qint64 index, qint64 count, qint64 images)
{
    return (index + 1) * images / count != index * images / count;
}

void removeHistoryFiles(const QString& filePath)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(filePath + QLatin1String(suffix));
}

} // namespace

qint64 HistoryGenerator::defaultImageCount(qint64 count)
{
    return std::min<qint64>(1000, count / 10);
}

HistoryGenerator::Result HistoryGenerator::generate(const QString& filePath, const Options& options)
{
    Result result;
    if (options.count < 0 || options.days < 1 || !options.now.isValid()) {
        result.error = QStringLiteral("invalid options");
        return result;
    }
    if (QFileInfo::exists(filePath)) {
        result.error = QStringLiteral("%1 already exists").arg(filePath);
        return result;
    }
    // The program itself creates the file, its schema and its journal mode.
    {
        auto opened = StorageManager::open(filePath);
        if (!opened.storage) {
            result.error = opened.error;
            removeHistoryFiles(filePath);
            return result;
        }
    }

    const qint64 imageCount = std::clamp<qint64>(
        options.imageCount.value_or(defaultImageCount(options.count)), 0, options.count);
    std::vector<QByteArray> pngs;
    for (int i = 0; i < imageVariants && imageCount > 0; ++i) {
        pngs.push_back(
            SampleImage::png(SampleImage::make(SampleImage::screenSize, options.seed + i)));
        if (pngs.back().isEmpty()) {
            result.error = QStringLiteral("cannot encode a PNG image");
            removeHistoryFiles(filePath);
            return result;
        }
    }

    const qint64 span = qint64(options.days) * 86400 * 1000;
    const qint64 start = options.now.toMSecsSinceEpoch() - span;
    const qint64 step = options.count > 0 ? std::max<qint64>(1, span / options.count) : 1;
    SampleContent content(options.seed);

    try {
        SQLite::Database db(QFile::encodeName(filePath).toStdString(), SQLite::OPEN_READWRITE);
        // One bulk transaction without a write-ahead log: a WAL would hold the whole file
        // once more before the checkpoint copies it. The file is deleted if anything fails.
        db.exec("PRAGMA journal_mode = MEMORY");
        db.exec("PRAGMA synchronous = OFF");
        db.exec("PRAGMA cache_size = -262144");
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement itemRow(db, "INSERT INTO clip_items (id, timestamp, type, search_string, "
                                      "source_app_bundle_id, is_sensitive, image_width, "
                                      "image_height) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        SQLite::Statement contentRow(db,
                                     "INSERT INTO clip_contents (id, content_data) VALUES (?, ?)");

        // Oldest first, as the program itself would have inserted them.
        for (qint64 index = 0; index < options.count; ++index) {
            Entry entry;
            std::optional<QSize> imageSize;
            if (isImageIndex(index, options.count, imageCount)) {
                entry.type = ClipType::Image;
                entry.contentData = pngs[static_cast<std::size_t>(index) % pngs.size()];
                imageSize = SampleImage::screenSize;
                ++result.images;
            } else {
                const quint64 roll = content.below(100);
                if (roll < 8) {
                    entry = rtfEntry(content);
                    ++result.rtfDocuments;
                } else if (roll < 16) {
                    entry = fileEntry(content);
                    ++result.fileLists;
                } else {
                    entry = textEntry(content);
                    ++result.texts;
                }
                if (entry.type != ClipType::File)
                    entry.isSensitive = PrivacyEngine::isSensitiveText(entry.searchString);
            }
            if (entry.isSensitive)
                ++result.sensitive;
            const qint64 jitter = step > 1 ? static_cast<qint64>(content.below(step)) : 0;
            const qint64 timestamp = start + index * step + jitter;
            const QByteArray id = idText(content.uuid()).toLatin1();
            const auto source = content.sourceApplication();

            const QByteArray searchString = entry.searchString.toUtf8();
            const QByteArray sourceBytes = source ? source->toUtf8() : QByteArray();
            itemRow.bindNoCopy(1, id.constData());
            itemRow.bind(2, static_cast<int64_t>(timestamp));
            itemRow.bind(3, clipTypeRawValue(entry.type).toStdString());
            itemRow.bindNoCopy(4, searchString.constData());
            if (source)
                itemRow.bindNoCopy(5, sourceBytes.constData());
            else
                itemRow.bind(5);
            itemRow.bind(6, entry.isSensitive ? 1 : 0);
            if (imageSize) {
                itemRow.bind(7, imageSize->width());
                itemRow.bind(8, imageSize->height());
            } else {
                itemRow.bind(7);
                itemRow.bind(8);
            }
            itemRow.exec();
            itemRow.reset();

            contentRow.bindNoCopy(1, id.constData());
            // A blob even when empty, as the program stores it.
            contentRow.bindNoCopy(2,
                                  entry.contentData.isEmpty() ? "" : entry.contentData.constData(),
                                  static_cast<int>(entry.contentData.size()));
            contentRow.exec();
            contentRow.reset();
        }
        transaction.commit();
        db.exec("PRAGMA journal_mode = WAL");
    } catch (const std::exception& e) {
        result.error = QString::fromUtf8(e.what());
        removeHistoryFiles(filePath);
    }
    return result;
}

} // namespace nabrix::bench
