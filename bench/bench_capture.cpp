// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of capturing one clipboard change, of finding the newest entry and of the
// retention purge, against histories of 0, 10 000 and 100 000 entries.
#include "bench_statistics.h"
#include "fake_platform.h"
#include "history_fixtures.h"
#include "sample_content.h"
#include "sample_image.h"

#include "app/app_model.h"
#include "capture/clipboard_observer.h"
#include "platform/fallback/fallback_services.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using nabrix::AppModel;
using nabrix::AppSettings;
using nabrix::ClipboardObserver;
using nabrix::ClipItem;
using nabrix::StorageManager;
using nabrix::bench::HistoryFixtures;
using nabrix::bench::SampleContent;
using nabrix::bench::SampleImage;
using nabrix::bench::withRangeStatistics;
using nabrix::testing::FakePasteboard;
using nabrix::testing::FakePlatform;

// An empty store, then the sizes every figure is taken at.
const std::vector<std::int64_t> captureSizes = [] {
    std::vector<std::int64_t> sizes{0};
    sizes.insert(sizes.end(), nabrix::bench::historySizes.cbegin(),
                 nabrix::bench::historySizes.cend());
    return sizes;
}();

void overCaptureSizes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgName("entries");
    for (const std::int64_t size : captureSizes)
        benchmark->Arg(size);
    withRangeStatistics(benchmark);
}

// Two different full-HD images, so that consecutive captures are never duplicates.
struct Images {
    QByteArray pngs[2];
    QByteArray tiffs[2];
    QByteArray smoothTiff;
};

const Images& images()
{
    static const Images made = [] {
        Images images;
        for (int i = 0; i < 2; ++i) {
            const QImage image = SampleImage::make(SampleImage::screenSize, 101 + i);
            images.pngs[i] = SampleImage::png(image);
            images.tiffs[i] = SampleImage::tiff(image);
        }
        images.smoothTiff = SampleImage::tiff(
            SampleImage::make(SampleImage::screenSize, 103, SampleImage::Texture::Smooth));
        return images;
    }();
    return made;
}

// One working copy of each generated history for the capture benchmarks; each benchmark
// removes the entries it added, so every run sees the generated entries only.
std::optional<QString> workingHistory(qint64 entries)
{
    static QHash<qint64, QString> copies;
    if (const auto it = copies.constFind(entries); it != copies.cend())
        return *it;
    const auto path =
        HistoryFixtures::copy(entries, QStringLiteral("capture-%1.sqlite3").arg(entries));
    if (path)
        copies.insert(entries, *path);
    return path;
}

// An application model over a working history, fed through a fake clipboard the way the
// observer feeds it: each copy() is one clipboard change read and handled.
class CaptureRig {
public:
    explicit CaptureRig(qint64 entries)
    {
        const auto path = workingHistory(entries);
        if (!path)
            return;
        // Newer than every generated entry, one millisecond apart, so "newest" is never a tie.
        auto clock = [] {
            static qint64 tick = 0;
            return HistoryFixtures::now().addSecs(60).addMSecs(++tick);
        };
        auto opened = StorageManager::open(*path, clock);
        if (!opened.storage)
            return;
        m_storage = opened.storage.get();
        QObject::connect(m_storage, &StorageManager::itemInserted,
                         [this](const ClipItem& item) { m_inserted.append(item); });
        // Linux has no image analyser: every image check answers "no verdict" later.
        m_platform.services.sensitivityAnalyzer =
            std::make_unique<nabrix::NoVerdictSensitivityAnalyzer>();
        m_model =
            std::make_unique<AppModel>(std::move(opened.storage),
                                       std::make_unique<AppSettings>(HistoryFixtures::scratchPath(
                                           QStringLiteral("nabrix.conf"))),
                                       m_platform.services, clock);
    }

    ~CaptureRig()
    {
        if (!m_model)
            return;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        m_storage->deleteItems(m_inserted);
    }

    bool isValid() const { return m_model != nullptr; }
    StorageManager& storage() { return *m_storage; }
    qsizetype insertedCount() const { return m_inserted.size(); }

    void copy(const FakePasteboard::Content& content)
    {
        m_platform.pasteboard->setContent(content);
        auto snapshot = ClipboardObserver::capture(*m_platform.pasteboard);
        if (!snapshot)
            return;
        snapshot->sourceAppBundleID = QStringLiteral("org.mozilla.firefox");
        m_model->handleCapture(*snapshot);
    }

private:
    FakePlatform m_platform;
    StorageManager* m_storage = nullptr;
    std::unique_ptr<AppModel> m_model;
    QList<ClipItem> m_inserted;
};

FakePasteboard::Content dataContent(const QString& type, const QByteArray& data)
{
    FakePasteboard::Content content;
    content.data.insert(type, data);
    return content;
}

// Runs `contents` in turn through the capture path and checks that each was stored.
void runCaptures(benchmark::State& state, const std::vector<FakePasteboard::Content>& contents,
                 bool expectStored = true)
{
    CaptureRig rig(state.range(0));
    if (!rig.isValid()) {
        state.SkipWithError("cannot open the working history");
        return;
    }
    std::size_t next = 0;
    for (auto _ : state) {
        rig.copy(contents[next]);
        next = (next + 1) % contents.size();
    }
    const auto expected = expectStored ? static_cast<qsizetype>(state.iterations()) : 0;
    if (rig.insertedCount() != expected)
        state.SkipWithError("captures were not stored as expected");
}

void captureText(benchmark::State& state)
{
    // Distinct texts, each a new entry after the previous one; sixteen is plenty.
    SampleContent sample(state.range(1));
    std::vector<FakePasteboard::Content> contents;
    for (int i = 0; i < 16; ++i) {
        FakePasteboard::Content content;
        content.string = sample.text(state.range(1) - 20, state.range(1));
        contents.push_back(content);
    }
    runCaptures(state, contents);
}
BENCHMARK(captureText)
    ->ArgNames({"entries", "chars"})
    ->ArgsProduct({captureSizes, {100, 10000}})
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMicrosecond);

void capturePngImage(benchmark::State& state)
{
    const Images& made = images();
    runCaptures(state, {dataContent(nabrix::PasteboardType::png, made.pngs[0]),
                        dataContent(nabrix::PasteboardType::png, made.pngs[1])});
}
BENCHMARK(capturePngImage)->Apply(overCaptureSizes)->Unit(benchmark::kMillisecond);

void captureTiffImage(benchmark::State& state)
{
    const Images& made = images();
    runCaptures(state, {dataContent(nabrix::PasteboardType::tiff, made.tiffs[0]),
                        dataContent(nabrix::PasteboardType::tiff, made.tiffs[1])});
}
BENCHMARK(captureTiffImage)->Apply(overCaptureSizes)->Unit(benchmark::kMillisecond);

// The same image copied again: found equal to the newest entry and dropped.
void captureDuplicatePngImage(benchmark::State& state)
{
    const Images& made = images();
    CaptureRig rig(state.range(0));
    if (!rig.isValid()) {
        state.SkipWithError("cannot open the working history");
        return;
    }
    const auto content = dataContent(nabrix::PasteboardType::png, made.pngs[0]);
    rig.copy(content);
    for (auto _ : state)
        rig.copy(content);
    if (rig.insertedCount() != 1)
        state.SkipWithError("the duplicate image was stored");
}
BENCHMARK(captureDuplicatePngImage)->Apply(overCaptureSizes)->Unit(benchmark::kMillisecond);

// The conversion alone, for a detailed and for a flat image of the same size.
void convertTiffToPng(benchmark::State& state)
{
    const Images& made = images();
    const QByteArray& tiff = state.range(0) == 0 ? made.tiffs[0] : made.smoothTiff;
    for (auto _ : state)
        benchmark::DoNotOptimize(ClipboardObserver::pngData(tiff));
    state.SetLabel(state.range(0) == 0 ? "noisy" : "smooth");
}
BENCHMARK(convertTiffToPng)
    ->ArgName("smooth")
    ->Arg(0)
    ->Arg(1)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

void latestItem(benchmark::State& state)
{
    CaptureRig rig(state.range(0));
    if (!rig.isValid()) {
        state.SkipWithError("cannot open the working history");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.storage().latestItem());
    if (state.range(0) > 0 && !rig.storage().latestItem())
        state.SkipWithError("no newest entry found");
}
BENCHMARK(latestItem)->Apply(overCaptureSizes)->Unit(benchmark::kMicrosecond);

// The retention purge against a history whose entries span the 90 days before the
// fixtures' "now", run 200 days later. Each iteration works on a fresh copy of the
// generated history, made outside the timing.
void purgeExpired(benchmark::State& state)
{
    const qint64 entries = state.range(0);
    const int retentionDays = static_cast<int>(state.range(1));
    const auto later = [] { return HistoryFixtures::now().addDays(200); };
    qint64 deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto path = HistoryFixtures::copy(entries, QStringLiteral("purge.sqlite3"));
        auto opened = path ? StorageManager::open(*path, later) : StorageManager::OpenResult{};
        if (!opened.storage) {
            state.SkipWithError("cannot open a copy of the generated history");
            break;
        }
        state.ResumeTiming();
        opened.storage->purgeExpired(retentionDays);
        state.PauseTiming();
        deleted = entries - opened.storage->allItems().size();
        opened.storage.reset();
        state.ResumeTiming();
    }
    state.counters["deleted"] = static_cast<double>(deleted);
    // Everything is due at 30 days, one day's entries at 289, nothing at 365.
    const bool expected = retentionDays == 30    ? deleted == entries
                          : retentionDays == 365 ? deleted == 0
                                                 : deleted > 0 && deleted < entries / 30;
    if (!expected)
        state.SkipWithError("the purge did not remove what it should have");
}
// After a long absence (all 100 000 entries due), the daily run (one day's entries due)
// and a run with nothing due.
BENCHMARK(purgeExpired)
    ->ArgNames({"entries", "retentionDays"})
    ->Args({100000, 30})
    ->Args({100000, 289})
    ->Args({100000, 365})
    ->Iterations(1)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

// What the user's deletions cost: "older than a day" (all but the newest of the 90
// days) and clearing everything, each on a fresh copy of the generated history made
// outside the timing. Both free most of the file, so the store rewrites it rather than
// zeroing every freed page.
void deleteFromHistory(benchmark::State& state, bool everything)
{
    const qint64 entries = state.range(0);
    qint64 deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto path = HistoryFixtures::copy(entries, QStringLiteral("delete.sqlite3"));
        auto opened = path ? StorageManager::open(*path, [] { return HistoryFixtures::now(); })
                           : StorageManager::OpenResult{};
        if (!opened.storage) {
            state.SkipWithError("cannot open a copy of the generated history");
            break;
        }
        state.ResumeTiming();
        if (everything)
            opened.storage->deleteAll();
        else
            opened.storage->deleteItemsBefore(HistoryFixtures::now().addDays(-1));
        state.PauseTiming();
        deleted = entries - opened.storage->allItems().size();
        opened.storage.reset();
        state.ResumeTiming();
    }
    state.counters["deleted"] = static_cast<double>(deleted);
    if (deleted == 0 || (everything && deleted != entries))
        state.SkipWithError("the deletion did not remove what it should have");
}
BENCHMARK_CAPTURE(deleteFromHistory, olderThanADay, false)
    ->ArgName("entries")
    ->Apply(nabrix::bench::overHistorySizes)
    ->Iterations(1)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(deleteFromHistory, clearAll, true)
    ->ArgName("entries")
    ->Apply(nabrix::bench::overHistorySizes)
    ->Iterations(1)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return nabrix::bench::runBenchmarks<QCoreApplication>(argc, argv);
}
