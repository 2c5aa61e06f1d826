// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of loading the history list (without painting) and of filtering it on each
// keystroke, in the search index alone and through the list model, over generated
// histories of 10 000, 100 000 and 1 000 000 entries.
#include "bench_statistics.h"
#include "fake_platform.h"
#include "history_fixtures.h"

#include "app/app_model.h"
#include "history/history_list_model.h"
#include "history/history_loader.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

using nabrix::AppModel;
using nabrix::AppSettings;
using nabrix::HistoryListModel;
using nabrix::HistoryLoader;
using nabrix::HistorySearchIndex;
using nabrix::LoadedHistory;
using nabrix::SearchFolding;
using nabrix::StorageManager;
using nabrix::bench::HistoryFixtures;
using nabrix::bench::overHistorySizes;
using nabrix::bench::withRangeStatistics;
using nabrix::testing::FakePlatform;

// The generated history itself: nothing here writes to it (the settings keep every entry).
std::optional<QString> workingHistory(qint64 entries)
{
    return HistoryFixtures::pristine(entries);
}

// An application model over the generated history.
class ListRig {
public:
    explicit ListRig(qint64 entries)
    {
        const auto path = workingHistory(entries);
        if (!path)
            return;
        auto opened = StorageManager::open(*path);
        if (!opened.storage)
            return;
        m_model =
            std::make_unique<AppModel>(std::move(opened.storage),
                                       std::make_unique<AppSettings>(HistoryFixtures::scratchPath(
                                           QStringLiteral("history-list.conf"))),
                                       m_platform.services);
    }
    bool isValid() const { return m_model != nullptr; }
    AppModel& model() { return *m_model; }

private:
    FakePlatform m_platform;
    std::unique_ptr<AppModel> m_model;
};

// The index of one size at a time: a million entries' index is a few hundred megabytes.
const LoadedHistory* loadedHistory(qint64 entries)
{
    static qint64 loadedEntries = -1;
    static std::optional<LoadedHistory> loaded;
    if (loadedEntries != entries) {
        loaded.reset();
        const auto path = workingHistory(entries);
        if (path)
            loaded = HistoryLoader::readFile(*path, SearchFolding(QLocale(QLocale::English)));
        loadedEntries = entries;
    }
    return loaded ? &*loaded : nullptr;
}

// For comparison: the store's own listing of every entry, which builds full ClipItems.
void storeAllItems(benchmark::State& state)
{
    ListRig rig(state.range(0));
    if (!rig.isValid()) {
        state.SkipWithError("cannot open the generated history");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(rig.model().storage().allItems());
}
BENCHMARK(storeAllItems)
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

// Opening the list: every entry's metadata read and its search text folded, no painting.
void openHistoryList(benchmark::State& state)
{
    ListRig rig(state.range(0));
    if (!rig.isValid()) {
        state.SkipWithError("cannot open the generated history");
        return;
    }
    qsizetype rows = 0;
    for (auto _ : state) {
        auto list =
            std::make_unique<HistoryListModel>(rig.model().storage(), QLocale(QLocale::English));
        rows = list->rowCount();
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    if (rows != state.range(0))
        state.SkipWithError("the list does not hold the whole history");
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(openHistoryList)
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

// One keystroke in the search index: from `before` to `after`, already typed.
void filterKeystroke(benchmark::State& state, const char* before, const char* after)
{
    const LoadedHistory* loaded = loadedHistory(state.range(0));
    if (!loaded) {
        state.SkipWithError("cannot read the generated history");
        return;
    }
    HistorySearchIndex index = loaded->index;
    const QString from = QString::fromUtf8(before);
    const QString to = QString::fromUtf8(after);
    for (auto _ : state) {
        state.PauseTiming();
        index.setQuery(from);
        state.ResumeTiming();
        index.setQuery(to);
    }
    state.counters["matches"] = static_cast<double>(index.matchCount());
    state.counters["examined"] = static_cast<double>(index.lastExaminedCount());
}
BENCHMARK_CAPTURE(filterKeystroke, a, "", "a")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(filterKeystroke, ab, "a", "ab")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(filterKeystroke, abc, "ab", "abc")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(filterKeystroke, no_match, "", "qzxj")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(filterKeystroke, strasse, "", "straße")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

// The same keystroke through the application model's history: the index and the model reset.
void listKeystroke(benchmark::State& state, const char* before, const char* after)
{
    ListRig rig(state.range(0));
    if (!rig.isValid()) {
        state.SkipWithError("cannot open the generated history");
        return;
    }
    const HistoryListModel& list = rig.model().history();
    const QString from = QString::fromUtf8(before);
    const QString to = QString::fromUtf8(after);
    for (auto _ : state) {
        state.PauseTiming();
        rig.model().setSearchText(from);
        state.ResumeTiming();
        rig.model().setSearchText(to);
    }
    state.counters["rows"] = static_cast<double>(list.rowCount());
}
BENCHMARK_CAPTURE(listKeystroke, a, "", "a")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listKeystroke, ab, "a", "ab")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listKeystroke, no_match, "", "qzxj")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(listKeystroke, strasse, "", "straße")
    ->Apply(overHistorySizes)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return nabrix::bench::runBenchmarks<QCoreApplication>(argc, argv);
}
