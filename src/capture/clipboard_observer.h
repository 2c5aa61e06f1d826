// Polls the clipboard's change counter and reads each change into a snapshot.
#pragma once

#include "capture/pasteboard_content.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

namespace nabrix {

class Pasteboard;
class Workspace;

class ClipboardObserver : public QObject {
    Q_OBJECT
public:
    using ChangeHandler = std::function<void(const PasteboardContent&)>;

    ClipboardObserver(Pasteboard& pasteboard, Workspace& workspace, QObject* parent = nullptr);

    void setOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }
    qint64 lastChangeCount() const { return m_lastChangeCount; }
    // The owner records its own writes here so they are never captured.
    void setLastChangeCount(qint64 count) { m_lastChangeCount = count; }

    // Content already on the clipboard when polling starts is never captured.
    void start(std::chrono::milliseconds interval);
    void stop();
    bool isRunning() const { return m_timer.isActive(); }
    void poll();

    // The first readable representation in the fixed order files, TIFF, PNG, RTF, text.
    static std::optional<PasteboardContent> capture(const Pasteboard& pasteboard);
    // Any image Qt can decode, as a PNG file.
    static std::optional<QByteArray> pngData(const QByteArray& bytes);

private:
    struct SourceSample {
        qint64 changeCount;
        std::optional<QString> applicationId;
    };

    void sampleSource();
    std::optional<QString> sourceForCurrentChange() const;

    Pasteboard& m_pasteboard;
    Workspace& m_workspace;
    ChangeHandler m_onChange;
    QTimer m_timer;
    qint64 m_lastChangeCount;
    std::optional<SourceSample> m_sourceSample;
};

} // namespace nabrix
