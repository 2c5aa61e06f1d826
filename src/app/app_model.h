// SPDX-License-Identifier: GPL-3.0-or-later
// The one application state object: history, capture handling and shared view state.
#pragma once

#include "app/row_content_cache.h"
#include "capture/pasteboard_content.h"
#include "history/history_list_model.h"
#include "storage/app_settings.h"
#include "storage/clip_item.h"
#include "storage/clock.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QKeyEvent;
class QWindow;

namespace nabrix {

class ClipboardObserver;
class GlobalHotKeyManager;
class KeyMonitor;
class StatusItemController;
class StorageManager;
struct PlatformServices;

class AppModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool isSelecting READ isSelecting NOTIFY isSelectingChanged)
    Q_PROPERTY(
        bool isPopoverOpen READ isPopoverOpen WRITE setPopoverOpen NOTIFY isPopoverOpenChanged)
    Q_PROPERTY(bool hotkeyActive READ hotkeyActive NOTIFY hotkeyActiveChanged)
    Q_PROPERTY(
        bool accessibilityGranted READ accessibilityGranted NOTIFY accessibilityGrantedChanged)
    Q_PROPERTY(bool isModalPresented READ isModalPresented WRITE setModalPresented NOTIFY
                   isModalPresentedChanged)
    Q_PROPERTY(
        int retentionDays READ retentionDays WRITE setRetentionDays NOTIFY retentionDaysChanged)
    Q_PROPERTY(bool sensitiveDetectionEnabled READ sensitiveDetectionEnabled WRITE
                   setSensitiveDetectionEnabled NOTIFY sensitiveDetectionEnabledChanged)
    Q_PROPERTY(bool hideSensitiveContent READ hideSensitiveContent WRITE setHideSensitiveContent
                   NOTIFY hideSensitiveContentChanged)
    Q_PROPERTY(QStringList ignoredApplications READ ignoredApplications WRITE setIgnoredApplications
                   NOTIFY ignoredApplicationsChanged)
    Q_PROPERTY(
        bool pasteOnSelect READ pasteOnSelect WRITE setPasteOnSelect NOTIFY pasteOnSelectChanged)
    Q_PROPERTY(bool hideTrayIcon READ hideTrayIcon WRITE setHideTrayIcon NOTIFY hideTrayIconChanged)

public:
    // Only where the clipboard does not announce its changes.
    static constexpr std::chrono::milliseconds pollInterval{700};
    static constexpr std::chrono::seconds cleanupInterval{86400};
    static constexpr std::chrono::milliseconds flashDuration{900};
    static constexpr std::chrono::milliseconds pasteDelay{150};
    // How often a waiting save request checks whether its change has been read.
    static constexpr std::chrono::milliseconds saveRetryInterval{5};

    // Takes the opened store and the loaded settings; the services outlive the model. The
    // in-memory history is read from the store as `historyLoading` says.
    AppModel(std::unique_ptr<StorageManager> storage, std::unique_ptr<AppSettings> settings,
             PlatformServices& services, Clock clock = systemClock(),
             HistoryListModel::Loading historyLoading = HistoryListModel::Loading::Immediately,
             QObject* parent = nullptr);
    ~AppModel() override;

    // The collaborators, for the command handler, the composition root and tools; views
    // ask the model's own calls instead (the layering test holds them to it).
    StorageManager& storage() const { return *m_storage; }
    AppSettings& settings() const { return *m_settings; }
    ClipboardObserver& observer() const { return *m_observer; }
    PlatformServices& services() const { return m_services; }
    // The tray icon and history windows; the model works without one (tests, early start).
    void setStatusItemController(StatusItemController* controller)
    {
        m_statusItemController = controller;
    }
    StatusItemController* statusItemController() const { return m_statusItemController; }

    // Lifecycle and capture.
    void start();
    void stop();
    bool isRunning() const { return m_running; }
    void handleCapture(const PasteboardContent& content);
    void runRetentionCleanup();
    void checkImageSensitivity(const ClipItem& item, const QByteArray& png);

    // The history as listed: every entry, filtered by the search text. Views show it.
    HistoryListModel& history() const { return *m_history; }

    // Shared view state.
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    // A copy of the listed entries, without their search texts.
    QList<ClipItem> visibleItems() const { return m_history->filteredItems(); }
    std::optional<qsizetype> selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(std::optional<qsizetype> index);
    const QSet<QUuid>& revealedIDs() const { return m_revealedIDs; }
    bool isRevealed(const QUuid& id) const { return m_revealedIDs.contains(id); }
    bool isSelecting() const { return m_isSelecting; }
    const QSet<QUuid>& selectedItemIDs() const { return m_selectedItemIDs; }
    bool isPopoverOpen() const { return m_isPopoverOpen; }
    void setPopoverOpen(bool open);
    bool hotkeyActive() const { return m_hotkeyActive; }
    bool accessibilityGranted() const { return m_accessibilityGranted; }
    const std::optional<ClipItem>& detailItem() const { return m_detailItem; }
    void setDetailItem(const std::optional<ClipItem>& item);
    std::optional<QUuid> flashCopyID() const { return m_flashCopyID; }
    bool isModalPresented() const { return m_isModalPresented; }
    void setModalPresented(bool presented);

    // The history list and the keyboard.
    // The history came on screen: the highlight starts on the first row.
    void historyShown();
    void moveSelection(int step);
    void installKeyMonitor();
    void removeKeyMonitor();
    bool hasKeyMonitor() const { return m_keyMonitor != nullptr; }
    // True when the key was handled and must not reach the focused widget.
    bool handleKeyEvent(const QKeyEvent& event);
    void activateHighlighted();
    void toggleSelectionMode();
    void toggleChecked(const ClipItem& item);
    bool isChecked(const ClipItem& item) const { return m_selectedItemIDs.contains(item.id); }
    // Every visible entry is checked (and there is one).
    bool allChecked() const;
    void toggleAllChecked();
    // The visible checked entries: what deleteChecked removes and the toolbar counts.
    QList<ClipItem> checkedVisibleItems() const;

    // What the store holds of an entry: its content bytes, or the entry with its search
    // text; none when it is gone or cannot be read.
    std::optional<QByteArray> contentOf(const QUuid& id) const;
    std::optional<ClipItem> storedItem(const QUuid& id) const;
    // Reads an entry's content when called, on any thread: for work done off the main one.
    std::function<std::optional<QByteArray>()> contentLoad(const QUuid& id) const;
    // The file names of a listed file entry, as far as they are read: a miss is read off
    // the main thread and rowContentReady() announces it.
    RowContentCache::Files listedFiles(const QUuid& id) const;

    // Actions on entries.
    void deleteEntry(const ClipItem& item);
    void select(const ClipItem& item);
    void paste(const ClipItem& item);
    void simulatePaste();
    void refreshAccessibility();
    void openAccessibilitySettings();
    void toggleReveal(const ClipItem& item);
    void deleteHighlighted();
    void deleteChecked();
    void clearAll();
    void deleteOlderThan(double seconds);
    // What scripts ask for by entry: the clipboard changes without a flash or a window
    // closing, and is not recorded again. False when the content cannot go back on it.
    bool copyToClipboard(const ClipItem& item);
    // copyToClipboard(), then the paste keystroke into the focused window.
    bool pasteIntoFocusedWindow(const ClipItem& item);
    void deleteEntries(const QList<ClipItem>& items);

    // The user's settings, each stored as soon as it is set.
    int retentionDays() const;
    void setRetentionDays(int days);
    bool sensitiveDetectionEnabled() const;
    void setSensitiveDetectionEnabled(bool enabled);
    bool hideSensitiveContent() const;
    void setHideSensitiveContent(bool hide);
    // The applications whose copies are never recorded.
    QStringList ignoredApplications() const;
    void setIgnoredApplications(const QStringList& ids);
    static QStringList defaultIgnoredApplications();
    bool pasteOnSelect() const;
    void setPasteOnSelect(bool paste);
    bool hideTrayIcon() const;
    void setHideTrayIcon(bool hide);

    // The desktop's applications, as entries name their source.
    // The name of the installed application `id`; none when it is not installed or unnamed.
    std::optional<QString> applicationName(const QString& id) const;
    // The icon of an installed application; none when it has none or is not installed.
    std::optional<QIcon> applicationIcon(const QString& id) const;
    // The shortcut as the user's keyboard layout writes it.
    QString shortcutText(Shortcut shortcut) const;

    // Presentation.
    void registerHotkey();
    Shortcut shortcut() const;
    // Stores the shortcut and registers it, once; while suspended it only stores it.
    void setShortcut(Shortcut shortcut);
    // Releases the global shortcut while the user records a new one, so that the combination
    // reaches the recorder; resumeHotkey() registers the stored one again. hotkeyActive keeps
    // its value: the shortcut is still configured.
    void suspendHotkey();
    void resumeHotkey();
    void toggleFromHotkey();
    void showHistory();
    void hideHistory();
    void applyStatusItemVisibility();
    void handleWindowDidBecomeKey(QWindow* window);
    void handlePopoverClosed();
    void openSettings();

Q_SIGNALS:
    void searchTextChanged();
    void visibleItemsChanged();
    void selectedIndexChanged();
    void revealedIDsChanged();
    void isSelectingChanged();
    void selectedItemIDsChanged();
    void isPopoverOpenChanged();
    void hotkeyActiveChanged();
    void accessibilityGrantedChanged();
    void detailItemChanged();
    void flashCopyIDChanged();
    void isModalPresentedChanged();
    void shortcutChanged();
    // The settings window should be shown, or brought to the front.
    void settingsWindowRequested();
    // More of what the entry's row shows has been read.
    void rowContentReady(const QUuid& id);
    void retentionDaysChanged();
    void sensitiveDetectionEnabledChanged();
    void hideSensitiveContentChanged();
    void ignoredApplicationsChanged();
    void pasteOnSelectChanged();
    void hideTrayIconChanged();

private:
    bool isFromBlacklistedSource(const PasteboardContent& content) const;
    bool isDuplicateOfLatest(const PasteboardContent& content) const;
    bool writeToPasteboard(const ClipItem& item);
    void noteRecorded(const QUuid& id);
    void offerRecordedAgain();
    void answerSaveRequest();
    void dismissAfterSelect();
    void schedulePaste();
    void endFlash();
    void closeHistory();
    void setSelecting(bool selecting);
    void setSelectedItemIDs(const QSet<QUuid>& ids);
    void setRevealedIDs(const QSet<QUuid>& ids);
    void setFlashCopyID(std::optional<QUuid> id);
    void setHotkeyActive(bool active);
    void setAccessibilityGranted(bool granted);
    void followHistory();
    void forwardSettingsChanges();

    std::unique_ptr<StorageManager> m_storage;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<HistoryListModel> m_history;
    std::unique_ptr<RowContentCache> m_rowContent;
    PlatformServices& m_services;
    Clock m_clock;
    std::unique_ptr<ClipboardObserver> m_observer;
    StatusItemController* m_statusItemController = nullptr;
    std::unique_ptr<GlobalHotKeyManager> m_hotkeyManager;
    std::unique_ptr<KeyMonitor> m_keyMonitor;
    QMetaObject::Connection m_keyWindowConnection;
    QTimer m_cleanupTimer;
    QTimer m_flashTimer;
    bool m_running = false;
    // The clipboard change whose content is the newest entry, while it is still current:
    // the one the clipboard keeper may offer again once its owner is gone.
    struct RecordedChange {
        qint64 changeCount;
        QUuid id;
    };
    std::optional<RecordedChange> m_recordedChange;
    // A quitting owner's save request waits until the observer has read its change.
    QTimer m_saveRetryTimer;

    QString m_searchText;
    std::optional<qsizetype> m_selectedIndex;
    QSet<QUuid> m_revealedIDs;
    bool m_isSelecting = false;
    QSet<QUuid> m_selectedItemIDs;
    bool m_isPopoverOpen = false;
    bool m_hotkeyActive = false;
    bool m_hotkeySuspended = false;
    bool m_accessibilityGranted = false;
    std::optional<ClipItem> m_detailItem;
    std::optional<QUuid> m_flashCopyID;
    bool m_isModalPresented = false;
};

} // namespace nabrix
