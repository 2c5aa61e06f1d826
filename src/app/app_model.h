// The one application state object: history, capture handling and shared view state.
#pragma once

#include "capture/pasteboard_content.h"
#include "storage/clip_item.h"
#include "storage/clock.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace nabrix {

class AppSettings;
class ClipboardObserver;
class StorageManager;
struct PlatformServices;

class AppModel : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds pollInterval{700};
    static constexpr std::chrono::seconds cleanupInterval{86400};

    // Takes the opened store and the loaded settings; the services outlive the model.
    AppModel(std::unique_ptr<StorageManager> storage, std::unique_ptr<AppSettings> settings,
             PlatformServices& services, Clock clock = systemClock(), QObject* parent = nullptr);
    ~AppModel() override;

    StorageManager& storage() const { return *m_storage; }
    AppSettings& settings() const { return *m_settings; }
    ClipboardObserver& observer() const { return *m_observer; }
    PlatformServices& services() const { return m_services; }

    void start();
    void stop();
    bool isRunning() const { return m_running; }

    void handleCapture(const PasteboardContent& content);
    void runRetentionCleanup();
    void checkImageSensitivity(const ClipItem& item, const QByteArray& png);

private:
    bool isFromBlacklistedSource(const PasteboardContent& content) const;
    bool isDuplicateOfLatest(const PasteboardContent& content) const;

    std::unique_ptr<StorageManager> m_storage;
    std::unique_ptr<AppSettings> m_settings;
    PlatformServices& m_services;
    Clock m_clock;
    std::unique_ptr<ClipboardObserver> m_observer;
    QTimer m_cleanupTimer;
    bool m_running = false;
};

} // namespace nabrix
