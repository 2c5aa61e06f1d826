// SPDX-License-Identifier: GPL-3.0-or-later
// Types, text and file URLs of a clipboard that is read one target at a time.
#include "platform/target_reader.h"

#include "platform/clipboard_text_targets.h"
#include "platform/pasteboard.h"

#include <QMimeData>

namespace nabrix {

QStringList TargetReader::types() const
{
    return clipboardTypes(offeredTargets());
}

std::optional<QByteArray> TargetReader::dataForType(const QString& type) const
{
    return readTarget(type.toUtf8());
}

std::optional<QString> TargetReader::stringForType(const QString& type) const
{
    if (type != PasteboardType::string)
        return std::nullopt;
    return readText([this](const QByteArray& target) { return readTarget(target); });
}

std::optional<QList<QUrl>> TargetReader::readFileUrls() const
{
    const auto bytes = readTarget(PasteboardType::fileUrl.toUtf8());
    if (!bytes)
        return std::nullopt;
    // Parsed by QMimeData, as for every other clipboard Qt reads.
    QMimeData data;
    data.setData(PasteboardType::fileUrl, *bytes);
    return data.urls();
}

} // namespace nabrix
