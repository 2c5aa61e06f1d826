// The system clipboard as the capture and copy-back code sees it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

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

class Pasteboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Pasteboard() override = default;

    // Increases with every change of the clipboard, our own writes included.
    virtual qint64 changeCount() const = 0;
    virtual QStringList types() const = 0;
    virtual std::optional<QByteArray> dataForType(const QString& type) const = 0;
    virtual std::optional<QString> stringForType(const QString& type) const = 0;
    // The file URLs on the clipboard in clipboard order; none when they cannot be read.
    virtual std::optional<QList<QUrl>> readFileUrls() const = 0;

    virtual void clearContents() = 0;
    virtual void writeString(const QString& text) = 0;
    // One item holding `data` under `type`, and `text` as the plain string when given.
    virtual void writeData(const QString& type, const QByteArray& data,
                           const std::optional<QString>& text) = 0;
    virtual void writeFileUrls(const QList<QUrl>& urls) = 0;

Q_SIGNALS:
    // Emitted as soon as the platform reports a change (before the next poll sees it).
    void changeNotified();
};

} // namespace nabrix
