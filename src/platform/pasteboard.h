// SPDX-License-Identifier: GPL-3.0-or-later
// The system clipboard as the capture and copy-back code sees it.
#pragma once

#include "platform/clipboard_source.h"

#include <QObject>
#include <memory>

namespace nabrix {

// Clipboard type identifiers (MIME types on Linux).
namespace PasteboardType {
inline const QString fileUrl = QStringLiteral("text/uri-list");
inline const QString tiff = QStringLiteral("image/tiff");
inline const QString png = QStringLiteral("image/png");
inline const QString rtf = QStringLiteral("text/rtf");
inline const QString rtfAlternative = QStringLiteral("application/rtf");
inline const QString string = QStringLiteral("text/plain");
// Set to "secret" by password managers (KeePassXC and others) on what they copy.
inline const QString passwordManagerHint = QStringLiteral("x-kde-passwordManagerHint");
} // namespace PasteboardType

// Reads through this object happen on its thread; readerForWorker() gives one that may run
// elsewhere, so that an owner that answers slowly or never stalls only that worker.
class Pasteboard : public QObject, public ClipboardSource {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Pasteboard() override = default;

    // Increases with every change of the clipboard, our own writes included.
    virtual qint64 changeCount() const = 0;
    // Whether changeNotified() comes with every move of changeCount(), other programs'
    // changes included; where it does not, the count has to be polled.
    virtual bool notifiesEveryChange() const = 0;
    // A reader of whatever owns the clipboard when it is used, for one worker thread; none
    // when this clipboard can only be read on its own thread.
    virtual std::unique_ptr<ClipboardSource> readerForWorker(ClipboardReadBounds bounds) const = 0;

    virtual void clearContents() = 0;
    virtual void writeString(const QString& text) = 0;
    // One item holding `data` under `type`, and `text` as the plain string when given.
    virtual void writeData(const QString& type, const QByteArray& data,
                           const std::optional<QString>& text) = 0;
    virtual void writeFileUrls(const QList<QUrl>& urls) = 0;

Q_SIGNALS:
    // Emitted as soon as the platform reports a change, after changeCount() has moved.
    void changeNotified();
    // The display server went away: the clipboard can neither be read nor written any more.
    void connectionLost();
};

} // namespace nabrix
