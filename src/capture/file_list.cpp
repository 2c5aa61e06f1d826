// SPDX-License-Identifier: GPL-3.0-or-later
// The stored form of a copied file list: JSON of URL strings, and its display names.
#include "capture/file_list.h"

#include "storage/json_string_array.h"

#include <QStringList>

namespace nabrix {

QByteArray encodeFileList(const QList<QUrl>& urls)
{
    QStringList strings;
    strings.reserve(urls.size());
    for (const QUrl& url : urls)
        strings.append(QString::fromLatin1(url.toEncoded()));
    return encodeJsonStringArray(strings);
}

QString fileListSearchString(const QList<QUrl>& urls)
{
    QStringList names;
    names.reserve(urls.size());
    for (const QUrl& url : urls) {
        // File managers copy a folder with a trailing slash ("file:///x/dir/"), for which
        // QUrl::fileName() is empty; the root has no named component at all.
        const QString path = url.path(QUrl::FullyDecoded);
        const QString name = path.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
        names.append(name.isEmpty() ? path : name);
    }
    return names.join(QStringLiteral(" \u00B7 "));
}

std::optional<QList<QUrl>> decodeFileList(const QByteArray& payload)
{
    const auto strings = decodeJsonStringArray(payload);
    if (!strings)
        return std::nullopt;
    QList<QUrl> urls;
    for (const QString& string : *strings) {
        const QUrl url(string, QUrl::StrictMode);
        if (url.isValid() && !url.isEmpty())
            urls.append(url);
    }
    return urls;
}

} // namespace nabrix
