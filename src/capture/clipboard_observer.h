// Polls the clipboard's change counter and reads each change into a snapshot.
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

// Where the pasteboard offers a reader for a worker, each change is read there, one at a
// time: the owner of the clipboard is another program, and it may answer slowly or never.
// A read whose change has been replaced by a newer one is stopped and its result dropped;
// the next tick reads the newer change.
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

    // Content already on the clipboard when polling starts is never captured.
    void start(std::chrono::milliseconds interval);
    void stop();
    bool isRunning() const { return m_timer.isActive(); }
    void poll();
    // A change is being read on the worker.
    bool isReading() const { return m_read.has_value(); }

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

    void sampleSource();
    std::optional<QString> sourceForCurrentChange() const;
    void deliver(std::optional<PasteboardContent> content, std::optional<QString> source);
    void stopStaleRead();
    void readFinished();

    Pasteboard& m_pasteboard;
    Workspace& m_workspace;
    ChangeHandler m_onChange;
    QTimer m_timer;
    qint64 m_lastChangeCount;
    std::optional<SourceSample> m_sourceSample;
    std::optional<Read> m_read;
    // One worker of its own: a stalled owner must not hold up thumbnails or loading.
    QThreadPool m_readers;
    QFutureWatcher<std::optional<PasteboardContent>> m_readWatcher;
};

} // namespace nabrix
