// Generated histories shared by the benchmarks of one run, each size made once.
#include "history_fixtures.h"

#include "history_generator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace nabrix::bench {

namespace {

QTemporaryDir& scratchDirectory()
{
    static QTemporaryDir directory(QDir::tempPath() + QStringLiteral("/nabrix-bench-XXXXXX"));
    return directory;
}

bool flushToDisk(const QString& filePath)
{
    const int fd = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    return flushed;
}

void removeHistoryFiles(const QString& filePath)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(filePath + QLatin1String(suffix));
}

} // namespace

QDateTime HistoryFixtures::now()
{
    static const QDateTime reference = QDateTime::currentDateTime();
    return reference;
}

QString HistoryFixtures::scratchPath(const QString& name)
{
    return scratchDirectory().filePath(name);
}

std::optional<QString> HistoryFixtures::pristine(qint64 count)
{
    static QHash<qint64, QString> made;
    if (const auto it = made.constFind(count); it != made.cend())
        return *it;
    if (!scratchDirectory().isValid()) {
        std::fprintf(stderr, "cannot create a scratch directory in %s\n",
                     qPrintable(QDir::tempPath()));
        return std::nullopt;
    }
    const QString path = scratchPath(QStringLiteral("pristine-%1.sqlite3").arg(count));
    std::fprintf(stderr, "generating a history of %lld entries ...", static_cast<long long>(count));
    std::fflush(stderr);
    QElapsedTimer timer;
    timer.start();
    HistoryGenerator::Options options;
    options.count = count;
    options.now = now();
    const auto result = HistoryGenerator::generate(path, options);
    if (!result.succeeded()) {
        std::fprintf(stderr, " failed: %s\n", qPrintable(result.error));
        return std::nullopt;
    }
    if (!flushToDisk(path)) {
        std::fprintf(stderr, " cannot flush %s\n", qPrintable(path));
        return std::nullopt;
    }
    std::fprintf(stderr, " %.1f s\n", timer.elapsed() / 1000.0);
    made.insert(count, path);
    return path;
}

std::optional<QString> HistoryFixtures::copy(qint64 count, const QString& name)
{
    const auto source = pristine(count);
    if (!source)
        return std::nullopt;
    const QString target = scratchPath(name);
    removeHistoryFiles(target);
    std::error_code error;
    std::filesystem::copy_file(QFile::encodeName(*source).toStdString(),
                               QFile::encodeName(target).toStdString(), error);
    if (error || !flushToDisk(target)) {
        std::fprintf(stderr, "cannot copy %s to %s: %s\n", qPrintable(*source), qPrintable(target),
                     error.message().c_str());
        return std::nullopt;
    }
    return target;
}

} // namespace nabrix::bench
