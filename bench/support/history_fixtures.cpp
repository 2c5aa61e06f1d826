// SPDX-License-Identifier: GPL-3.0-or-later
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

// NABRIX_BENCH_CACHE names a folder that keeps generated histories between runs: a
// million entries take minutes to generate.
QString cacheDirectory()
{
    return qEnvironmentVariable("NABRIX_BENCH_CACHE");
}

} // namespace

QDateTime HistoryFixtures::now()
{
    static const QDateTime reference = [] {
        const QString cache = cacheDirectory();
        if (cache.isEmpty())
            return QDateTime::currentDateTime();
        // Every history in the cache was generated against the same time.
        QFile stamp(QDir(cache).filePath(QStringLiteral("now")));
        if (stamp.open(QIODevice::ReadOnly)) {
            bool ok = false;
            const qint64 msecs = stamp.readAll().trimmed().toLongLong(&ok);
            if (ok)
                return QDateTime::fromMSecsSinceEpoch(msecs);
        }
        const QDateTime current = QDateTime::currentDateTime();
        QDir().mkpath(cache);
        if (stamp.open(QIODevice::WriteOnly | QIODevice::Truncate))
            stamp.write(QByteArray::number(current.toMSecsSinceEpoch()));
        return current;
    }();
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
    const QString name = QStringLiteral("pristine-%1.sqlite3").arg(count);
    const QString cache = cacheDirectory();
    const QString path = cache.isEmpty() ? scratchPath(name) : QDir(cache).filePath(name);
    if (!cache.isEmpty() && QFile::exists(path)) {
        made.insert(count, path);
        return path;
    }
    std::fprintf(stderr, "generating a history of %lld entries ...", static_cast<long long>(count));
    std::fflush(stderr);
    QElapsedTimer timer;
    timer.start();
    HistoryGenerator::Options options;
    options.count = count;
    options.now = now();
    // Under another name until complete, so that an interrupted run leaves no cached half.
    const QString partial = path + QStringLiteral(".partial");
    removeHistoryFiles(partial);
    const auto result = HistoryGenerator::generate(partial, options);
    if (!result.succeeded()) {
        std::fprintf(stderr, " failed: %s\n", qPrintable(result.error));
        return std::nullopt;
    }
    // The generator has closed its connection: the file stands alone, without a WAL.
    if (!flushToDisk(partial) || !QFile::rename(partial, path)) {
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
