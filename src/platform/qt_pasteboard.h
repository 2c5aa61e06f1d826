// SPDX-License-Identifier: GPL-3.0-or-later
// The CLIPBOARD selection through QClipboard, with a change counter.
#pragma once

#include "platform/pasteboard.h"

class QClipboard;
class QMimeData;

namespace nabrix {

class QtPasteboard final : public Pasteboard {
    Q_OBJECT
public:
    // `workerReaders` makes the readers for worker threads; without it, the clipboard is
    // read through Qt on the main thread only.
    explicit QtPasteboard(ClipboardReaderFactory workerReaders = {}, QObject* parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    // The counter moves only where Qt reports a change (XFixes owner events on xcb, our own
    // writes everywhere), and each move is announced.
    bool notifiesEveryChange() const override { return true; }
    std::unique_ptr<ClipboardSource> readerForWorker(ClipboardReadBounds bounds) const override;
    QStringList types() const override;
    std::optional<QByteArray> dataForType(const QString& type) const override;
    std::optional<QString> stringForType(const QString& type) const override;
    std::optional<QList<QUrl>> readFileUrls() const override;

    void clearContents() override;
    void writeString(const QString& text) override;
    void writeData(const QString& type, const QByteArray& data,
                   const std::optional<QString>& text) override;
    void writeFileUrls(const QList<QUrl>& urls) override;

private:
    const QMimeData* currentMimeData() const;
    void setMimeData(QMimeData* data);

    QClipboard* m_clipboard;
    ClipboardReaderFactory m_workerReaders;
    qint64 m_changeCount = 0;
};

} // namespace nabrix
