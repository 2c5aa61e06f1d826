// SPDX-License-Identifier: GPL-3.0-or-later
// Reads each clipboard change into a snapshot, as the platform announces it or by polling.
#pragma once

#include "capture/pasteboard_content.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>

namespace nabrix {

class ClipboardSource;
class Pasteboard;
class Workspace;

// Where the pasteboard announces every change, a change is read once the coalescing window
// that its announcement opened has passed; elsewhere the change counter is polled.
// Where the pasteboard offers a reader for a worker, each change is read there, one at a
// time: the owner of the clipboard is another program, and it may answer slowly or never.
// A read whose change has been replaced by a newer one is stopped and its result dropped;
// the newer change is read after it (announced) or at the next tick (polled).
class ClipboardObserver : public QObject {
    Q_OBJECT
public:
    using ChangeHandler = std::function<void(const PasteboardContent&)>;

    ClipboardObserver(Pasteboard& pasteboard, Workspace& workspace, QObject* parent = nullptr);
    ~ClipboardObserver() override;

    void setOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }
    qint64 lastChangeCount() const { return m_lastChangeCount; }
    // The owner records its own writes here so they are never captured.
    void setLastChangeCount(qint64 count) { m_lastChangeCount = count; }

    // A burst of announced changes within this window, counted from the first, is read once.
    static constexpr std::chrono::milliseconds coalescingWindow{10};

    // Content already on the clipboard at start is never captured. `pollInterval` is used
    // only where the pasteboard does not announce every change.
    void start(std::chrono::milliseconds pollInterval);
    void stop();
    bool isRunning() const { return m_running; }
    bool isPolling() const { return m_pollTimer.isActive(); }
    // Reads the current change unless it has been seen or a read is in flight.
    void poll();
    // A change is being read on the worker.
    bool isReading() const { return m_read.has_value(); }
    // An announced change waits for its window to pass, or a read is in flight.
    bool hasPendingChange() const { return m_coalescing.isActive() || isReading(); }

    // The first readable representation in the fixed order files, TIFF, PNG, RTF, text.
    static std::optional<PasteboardContent> capture(const ClipboardSource& clipboard);
    // Any image Qt can decode, as a PNG file.
    static std::optional<QByteArray> pngData(const QByteArray& bytes);

private:
    struct SourceSample {
        qint64 changeCount;
        std::optional<QString> applicationId;
    };

    struct Read {
        qint64 changeCount;
        std::optional<QString> source;
        std::stop_source stop;
    };

    bool readsOnAnnouncement() const;
    void changeAnnounced();
    void sampleSource();
    std::optional<QString> sourceForCurrentChange() const;
    void deliver(std::optional<PasteboardContent> content, std::optional<QString> source);
    void stopStaleRead();
    void readFinished();

    Pasteboard& m_pasteboard;
    Workspace& m_workspace;
    ChangeHandler m_onChange;
    bool m_running = false;
    QTimer m_pollTimer;
    QTimer m_coalescing;
    qint64 m_lastChangeCount;
    std::optional<SourceSample> m_sourceSample;
    std::optional<Read> m_read;
    // One worker of its own: a stalled owner must not hold up thumbnails or loading.
    QThreadPool m_readers;
    QFutureWatcher<std::optional<PasteboardContent>> m_readWatcher;
};

} // namespace nabrix
