// The one application state object: construction, start and stop.
#include "app/app_model.h"

#include "capture/clipboard_observer.h"
#include "platform/platform_services.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

namespace nabrix {

AppModel::AppModel(std::unique_ptr<StorageManager> storage, std::unique_ptr<AppSettings> settings,
                   PlatformServices& services, Clock clock, QObject* parent)
    : QObject(parent)
    , m_storage(std::move(storage))
    , m_settings(std::move(settings))
    , m_services(services)
    , m_clock(std::move(clock))
    , m_observer(std::make_unique<ClipboardObserver>(*services.pasteboard, *services.workspace))
{
    // The observer is owned by the model, so its callback never outlives it.
    m_observer->setOnChange([this](const PasteboardContent& content) { handleCapture(content); });
    m_cleanupTimer.setInterval(cleanupInterval);
    connect(&m_cleanupTimer, &QTimer::timeout, this, &AppModel::runRetentionCleanup);
}

AppModel::~AppModel()
{
    stop();
}

void AppModel::start()
{
    if (m_running)
        return;
    m_running = true;
    m_observer->start(pollInterval);
    m_storage->purgeExpired(m_settings->retentionDays());
    m_cleanupTimer.start();
}

void AppModel::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_observer->stop();
    m_cleanupTimer.stop();
}

void AppModel::runRetentionCleanup()
{
    m_storage->purgeExpired(m_settings->retentionDays());
}

} // namespace nabrix
