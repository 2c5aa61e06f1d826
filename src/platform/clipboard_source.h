// SPDX-License-Identifier: GPL-3.0-or-later
// Read access to what is on the clipboard: its declared types and the bytes behind them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace nabrix {

class ClipboardSource {
public:
    ClipboardSource() = default;
    virtual ~ClipboardSource() = default;
    ClipboardSource(const ClipboardSource&) = delete;
    ClipboardSource& operator=(const ClipboardSource&) = delete;

    virtual QStringList types() const = 0;
    virtual std::optional<QByteArray> dataForType(const QString& type) const = 0;
    virtual std::optional<QString> stringForType(const QString& type) const = 0;
    // The file URLs on the clipboard in clipboard order; none when they cannot be read.
    virtual std::optional<QList<QUrl>> readFileUrls() const = 0;
};

// How far a reader on a worker thread goes: it gives up on a representation larger than
// `maxBytes`, and on everything once `stop` is requested.
struct ClipboardReadBounds {
    qsizetype maxBytes = 0;
    std::stop_token stop;
};

// A reader on a worker gives up on an owner that stays silent this long between two answers.
// A live owner sends its next chunk well within it; a whole transfer may take as long as it
// keeps answering.
inline constexpr std::chrono::milliseconds clipboardStallTimeout{5000};
// How soon a requested stop ends a reader's wait.
inline constexpr std::chrono::milliseconds clipboardStopLatency{50};

using ClipboardReaderFactory =
    std::function<std::unique_ptr<ClipboardSource>(ClipboardReadBounds bounds)>;

} // namespace nabrix
