// SPDX-License-Identifier: GPL-3.0-or-later
// The stored form of a copied file list: JSON of URL strings, and its display names.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace nabrix {

QByteArray encodeFileList(const QList<QUrl>& urls);
// File names (last non-empty path components, decoded) joined with " · ".
QString fileListSearchString(const QList<QUrl>& urls);
// The URLs of a stored payload that parse, in order; none when the payload is not a
// JSON array of strings.
std::optional<QList<QUrl>> decodeFileList(const QByteArray& payload);

} // namespace nabrix
