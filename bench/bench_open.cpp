// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the history window on a real X server (run it under scripts/with-x11): from the
// tray icon's click to the first frame of the list painted, with the program's own
// delegate, tray controller and platform services, over generated histories.
#include "bench_statistics.h"
#include "history_fixtures.h"

#include "app/app_model.h"
#include "history/history_list_model.h"
#include "i18n/text_catalogue.h"
#include "platform/platform_services.h"
#include "shell/app_delegate.h"
#include "shell/history_window.h"
#include "shell/tray_status_item_controller.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QListView>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

using nabrix::AppDelegate;
using nabrix::AppSettings;
using nabrix::HistoryListModel;
using nabrix::StorageManager;
using nabrix::bench::HistoryFixtures;

void withRangeStatistics(benchmark::internal::Benchmark* benchmark)
{
    nabrix::bench::addRangeStatistics(benchmark);
    benchmark->UseManualTime();
}

// Notes when a widget has been painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget& widget)
    {
        widget.installEventFilter(this);
        clock.start();
    }
    bool painted = false;
    qint64 at = 0;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            at = clock.nsecsElapsed();
        }
        return QObject::eventFilter(watched, event);
    }
};

// Sleeps between events rather than spinning, which would take the CPU from the X server
// and the window manager that the opening waits for.
bool processEventsUntil(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(20);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The program as main() builds it over a generated history, started and with its history
// read. It writes nothing: the history is unlimited (no purge) and nothing is copied, so
// the generated file itself is used.
class ProgramRig {
public:
    explicit ProgramRig(qint64 entries)
        : m_services(nabrix::createPlatformServices())
    {
        const auto path = HistoryFixtures::pristine(entries);
        if (!path)
            return;
        auto opened = StorageManager::open(*path);
        if (!opened.storage)
            return;
        auto settings = std::make_unique<AppSettings>(
            HistoryFixtures::scratchPath(QStringLiteral("open.conf")));
        settings->setRetentionDays(0);
        m_delegate = std::make_unique<AppDelegate>(std::move(opened.storage), std::move(settings),
                                                   m_services);
        m_delegate->applicationDidFinishLaunching();
        m_ready =
            processEventsUntil([this] { return m_delegate->model().history().isLoaded(); }, 120000);
        // The tray embeds its icon a moment after it is shown.
        QElapsedTimer settle;
        settle.start();
        processEventsUntil([&settle] { return settle.elapsed() > 1500; });
    }
    ~ProgramRig()
    {
        if (m_delegate)
            m_delegate->applicationWillTerminate();
    }
    bool isReady() const { return m_ready; }
    nabrix::TrayStatusItemController& controller() { return m_delegate->statusItemController(); }
    qsizetype entries() const { return m_delegate->model().history().totalCount(); }

    // Clicks the tray icon and waits for the list's first frame; the time taken, in seconds.
    std::optional<double> open()
    {
        nabrix::TrayStatusItemController& tray = controller();
        QListView* list = tray.historyWindow()->findChild<QListView*>();
        if (list == nullptr) {
            std::fprintf(stderr, "no list in the history window\n");
            return std::nullopt;
        }
        PaintWatch watch(*list->viewport());
        QElapsedTimer timer;
        timer.start();
        tray.statusItemClicked();
        const qint64 shown = timer.nsecsElapsed();
        if (!processEventsUntil([&watch] { return watch.painted; })) {
            std::fprintf(stderr, "not painted; window visible %d, list visible %d\n",
                         tray.historyWindow()->isVisible(), list->isVisible());
            return std::nullopt;
        }
        if (qEnvironmentVariableIsSet("BENCH_OPEN_TRACE"))
            std::fprintf(stderr, "click handled %.2f ms, painted %.2f ms (paint began %.2f ms)\n",
                         shown / 1e6, timer.nsecsElapsed() / 1e6, watch.at / 1e6);
        return static_cast<double>(timer.nsecsElapsed()) / 1e9;
    }
    void close()
    {
        controller().close();
        processEventsUntil([this] { return !controller().historyWindow()->isVisible(); });
        // The window manager takes the focus back: let it, as a user's next click comes
        // long after.
        processEventsUntil(
            [] { return QGuiApplication::applicationState() != Qt::ApplicationActive; });
        QElapsedTimer settle;
        settle.start();
        processEventsUntil([&settle] { return settle.elapsed() > 300; });
    }

private:
    nabrix::PlatformServices m_services;
    std::unique_ptr<AppDelegate> m_delegate;
    bool m_ready = false;
};

// Opening and closing again and again, as the user does through a session.
void openHistory(benchmark::State& state)
{
    ProgramRig rig(state.range(0));
    if (!rig.isReady()) {
        state.SkipWithError("the program did not start over the generated history");
        return;
    }
    std::vector<double> opens;
    for (auto _ : state) {
        const std::optional<double> seconds = rig.open();
        if (!seconds) {
            state.SkipWithError("the history window was not painted");
            return;
        }
        state.SetIterationTime(*seconds);
        opens.push_back(*seconds * 1000);
        rig.close();
    }
    // The mean hides how a single opening feels: the median and the extremes of this run.
    std::sort(opens.begin(), opens.end());
    state.counters["median_ms"] = opens[opens.size() / 2];
    state.counters["min_ms"] = opens.front();
    state.counters["max_ms"] = opens.back();
    state.counters["entries"] = static_cast<double>(rig.entries());
}
BENCHMARK(openHistory)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(20)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

// The first opening after start: rows, fonts and icons are drawn for the first time.
void openHistoryFirstTime(benchmark::State& state)
{
    for (auto _ : state) {
        ProgramRig rig(state.range(0));
        if (!rig.isReady()) {
            state.SkipWithError("the program did not start over the generated history");
            return;
        }
        const std::optional<double> seconds = rig.open();
        if (!seconds) {
            state.SkipWithError("the history window was not painted");
            return;
        }
        state.SetIterationTime(*seconds);
    }
}
BENCHMARK(openHistoryFirstTime)
    ->Apply(nabrix::bench::overHistorySizes)
    ->Iterations(1)
    ->Apply(withRangeStatistics)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("xcb") ||
        qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_open needs an X server: run it under scripts/with-x11 "
                             "with QT_QPA_PLATFORM=xcb\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    nabrix::installTranslations(app, QLocale(QLocale::English));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
