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
    for (const QUrl& url : urls)
        names.append(url.fileName(QUrl::FullyDecoded));
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
