// SPDX-License-Identifier: GPL-3.0-or-later
// AppModel: construction, start and stop, and the observable view state.
#include "app/app_model.h"

#include "app/key_monitor.h"
#include "app/status_item_controller.h"
#include "capture/clipboard_observer.h"
#include "hotkey/global_hot_key_manager.h"
#include "platform/platform_services.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QGuiApplication>
#include <QWindow>

namespace nabrix {

AppModel::AppModel(std::unique_ptr<StorageManager> storage, std::unique_ptr<AppSettings> settings,
                   PlatformServices& services, Clock clock,
                   HistoryListModel::Loading historyLoading, QObject* parent)
    : QObject(parent)
    , m_storage(std::move(storage))
    , m_settings(std::move(settings))
    , m_history(std::make_unique<HistoryListModel>(*m_storage, QLocale(), historyLoading))
    , m_rowContent(std::make_unique<RowContentCache>(
          [storage = m_storage.get()](const QUuid& id) { return storage->contentLoad(id); }))
    , m_services(services)
    , m_clock(std::move(clock))
    , m_observer(std::make_unique<ClipboardObserver>(*services.pasteboard, *services.workspace))
    , m_accessibilityGranted(services.keySynthesizer->isTrusted())
{
    // The observer is owned by the model, so its callback never outlives it.
    m_observer->setOnChange([this](const PasteboardContent& content) { handleCapture(content); });
    connect(m_history.get(), &HistoryListModel::rowsChanged, this, &AppModel::followHistory);
    forwardSettingsChanges();
    connect(m_rowContent.get(), &RowContentCache::ready, this, &AppModel::rowContentReady);
    m_cleanupTimer.setInterval(cleanupInterval);
    connect(&m_cleanupTimer, &QTimer::timeout, this, &AppModel::runRetentionCleanup);
    m_flashTimer.setSingleShot(true);
    m_flashTimer.setInterval(flashDuration);
    connect(&m_flashTimer, &QTimer::timeout, this, &AppModel::endFlash);
    m_saveRetryTimer.setSingleShot(true);
    m_saveRetryTimer.setInterval(saveRetryInterval);
    connect(&m_saveRetryTimer, &QTimer::timeout, this, &AppModel::answerSaveRequest);
    ClipboardKeeper* keeper = services.clipboardKeeper.get();
    connect(keeper, &ClipboardKeeper::recordedOwnerVanished, this, &AppModel::offerRecordedAgain);
    connect(keeper, &ClipboardKeeper::saveRequested, this, &AppModel::answerSaveRequest);
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        m_keyWindowConnection = connect(app, &QGuiApplication::focusWindowChanged, this,
                                        &AppModel::handleWindowDidBecomeKey);
    }
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
    m_services.clipboardKeeper->claim();
    if (m_statusItemController != nullptr)
        m_statusItemController->installStatusItem();
    registerHotkey();
    applyStatusItemVisibility();
    m_storage->purgeExpired(m_settings->retentionDays());
    m_cleanupTimer.start();
}

void AppModel::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_observer->stop();
    // Before Qt's clipboard goes: as the manager, our own clipboard would wait for itself.
    m_saveRetryTimer.stop();
    m_services.clipboardKeeper->release();
    if (m_hotkeyManager)
        m_hotkeyManager->unregister();
    m_cleanupTimer.stop();
    disconnect(m_keyWindowConnection);
    removeKeyMonitor();
    // Changes held back by a failed save (a full disk) get one last try; those that still
    // fail die with the process, which the user must hear about.
    if (!m_storage->save())
        qWarning("nabrix: %lld changes to the history could not be saved: %s",
                 static_cast<long long>(m_storage->pendingChangeCount()),
                 qUtf8Printable(m_storage->lastSaveError()));
}

void AppModel::runRetentionCleanup()
{
    m_storage->purgeExpired(m_settings->retentionDays());
}

// Observable state: each setter announces only a real change.

void AppModel::setSearchText(const QString& text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    m_history->setSearchText(text);
    Q_EMIT searchTextChanged();
    // A highlight past the end of the new list moves to its first row, or goes.
    const int rows = m_history->rowCount();
    if (m_selectedIndex && *m_selectedIndex >= rows)
        setSelectedIndex(rows > 0 ? std::optional<qsizetype>(0) : std::nullopt);
}

void AppModel::setSelectedIndex(std::optional<qsizetype> index)
{
    if (m_selectedIndex == index)
        return;
    m_selectedIndex = index;
    Q_EMIT selectedIndexChanged();
}

void AppModel::setRevealedIDs(const QSet<QUuid>& ids)
{
    if (m_revealedIDs == ids)
        return;
    m_revealedIDs = ids;
    Q_EMIT revealedIDsChanged();
}

void AppModel::setSelecting(bool selecting)
{
    if (m_isSelecting == selecting)
        return;
    m_isSelecting = selecting;
    Q_EMIT isSelectingChanged();
}

void AppModel::setSelectedItemIDs(const QSet<QUuid>& ids)
{
    if (m_selectedItemIDs == ids)
        return;
    m_selectedItemIDs = ids;
    Q_EMIT selectedItemIDsChanged();
}

void AppModel::setPopoverOpen(bool open)
{
    if (m_isPopoverOpen == open)
        return;
    m_isPopoverOpen = open;
    Q_EMIT isPopoverOpenChanged();
}

void AppModel::setHotkeyActive(bool active)
{
    if (m_hotkeyActive == active)
        return;
    m_hotkeyActive = active;
    Q_EMIT hotkeyActiveChanged();
}

void AppModel::setAccessibilityGranted(bool granted)
{
    if (m_accessibilityGranted == granted)
        return;
    m_accessibilityGranted = granted;
    Q_EMIT accessibilityGrantedChanged();
}

void AppModel::setDetailItem(const std::optional<ClipItem>& item)
{
    const bool same =
        m_detailItem.has_value() == item.has_value() &&
        (!item || (m_detailItem->id == item->id && m_detailItem->isSensitive == item->isSensitive));
    m_detailItem = item;
    if (!same)
        Q_EMIT detailItemChanged();
}

void AppModel::setFlashCopyID(std::optional<QUuid> id)
{
    if (m_flashCopyID == id)
        return;
    m_flashCopyID = id;
    Q_EMIT flashCopyIDChanged();
}

void AppModel::setModalPresented(bool presented)
{
    if (m_isModalPresented == presented)
        return;
    m_isModalPresented = presented;
    Q_EMIT isModalPresentedChanged();
}

} // namespace nabrix
