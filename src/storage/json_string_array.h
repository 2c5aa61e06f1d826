// SPDX-License-Identifier: GPL-3.0-or-later
// Compact JSON arrays of strings, written byte for byte like the reference encoder.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace nabrix {

// Compact, "/" written as "\/", control characters as short escapes or \u00XX,
// everything else as UTF-8.
QByteArray encodeJsonStringArray(const QStringList& strings);
// None unless the bytes are a JSON array whose every element is a string.
std::optional<QStringList> decodeJsonStringArray(const QByteArray& json);

} // namespace nabrix
