// SPDX-License-Identifier: GPL-3.0-or-later
// The requests the command line sends the running instance and its replies, as bytes.
#include "app/command_protocol.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <algorithm>
#include <array>
#include <utility>

namespace nabrix::protocol {

namespace {

// Long enough for any kind and a ten-digit length.
constexpr qsizetype maxHeaderSize = 32;

constexpr std::array<std::pair<RemoteCommand, QLatin1StringView>, 8> commandNames{{
    {RemoteCommand::Show, QLatin1StringView("show")},
    {RemoteCommand::Hide, QLatin1StringView("hide")},
    {RemoteCommand::Toggle, QLatin1StringView("toggle")},
    {RemoteCommand::List, QLatin1StringView("list")},
    {RemoteCommand::Get, QLatin1StringView("get")},
    {RemoteCommand::Copy, QLatin1StringView("copy")},
    {RemoteCommand::Paste, QLatin1StringView("paste")},
    {RemoteCommand::Delete, QLatin1StringView("delete")},
}};

constexpr std::array<std::pair<RemoteStatus, QLatin1StringView>, 4> statusNames{{
    {RemoteStatus::Ok, QLatin1StringView("ok")},
    {RemoteStatus::UnknownEntry, QLatin1StringView("unknown-entry")},
    {RemoteStatus::UnusableEntry, QLatin1StringView("unusable-entry")},
    {RemoteStatus::Malformed, QLatin1StringView("malformed")},
}};

template <typename Enum, std::size_t N>
QLatin1StringView nameOf(const std::array<std::pair<Enum, QLatin1StringView>, N>& names, Enum value)
{
    for (const auto& [known, name] : names) {
        if (known == value)
            return name;
    }
    return {};
}

template <typename Enum, std::size_t N>
std::optional<Enum> valueOf(const std::array<std::pair<Enum, QLatin1StringView>, N>& names,
                            const QCborValue& name)
{
    if (!name.isString())
        return std::nullopt;
    for (const auto& [value, known] : names) {
        if (name.toString() == known)
            return value;
    }
    return std::nullopt;
}

// How many entries a command names: get, copy and paste one, delete at least one.
bool takes(RemoteCommand command, qsizetype ids)
{
    switch (command) {
    case RemoteCommand::Get:
    case RemoteCommand::Copy:
    case RemoteCommand::Paste:
        return ids == 1;
    case RemoteCommand::Delete:
        return ids >= 1;
    case RemoteCommand::Show:
    case RemoteCommand::Hide:
    case RemoteCommand::Toggle:
    case RemoteCommand::List:
        return ids == 0;
    }
    return false;
}

std::optional<QUuid> uuidOf(const QCborValue& value)
{
    if (!value.isString())
        return std::nullopt;
    const QUuid id = QUuid::fromString(value.toString());
    if (id.isNull())
        return std::nullopt;
    return id;
}

QCborMap encodeItem(const ClipItem& item)
{
    QCborMap map;
    map.insert(QLatin1StringView("id"), idText(item.id));
    map.insert(QLatin1StringView("timestamp"), item.timestamp.toMSecsSinceEpoch());
    map.insert(QLatin1StringView("type"), clipTypeRawValue(item.type));
    map.insert(QLatin1StringView("text"), item.searchString);
    if (item.sourceAppBundleID)
        map.insert(QLatin1StringView("source"), *item.sourceAppBundleID);
    map.insert(QLatin1StringView("sensitive"), item.isSensitive);
    if (item.imageSize) {
        map.insert(QLatin1StringView("width"), item.imageSize->width());
        map.insert(QLatin1StringView("height"), item.imageSize->height());
    }
    return map;
}

std::optional<ClipItem> decodeItem(const QCborValue& value)
{
    if (!value.isMap())
        return std::nullopt;
    const QCborMap map = value.toMap();
    const auto id = uuidOf(map.value(QLatin1StringView("id")));
    const QCborValue timestamp = map.value(QLatin1StringView("timestamp"));
    const QCborValue type = map.value(QLatin1StringView("type"));
    const auto clipType = type.isString() ? clipTypeFromRawValue(type.toString()) : std::nullopt;
    const QCborValue text = map.value(QLatin1StringView("text"));
    const QCborValue source = map.value(QLatin1StringView("source"));
    const QCborValue sensitive = map.value(QLatin1StringView("sensitive"));
    const QCborValue width = map.value(QLatin1StringView("width"));
    const QCborValue height = map.value(QLatin1StringView("height"));
    if (!id || !timestamp.isInteger() || !clipType || !text.isString() || !sensitive.isBool() ||
        !(source.isUndefined() || source.isString()) || width.isInteger() != height.isInteger())
        return std::nullopt;
    ClipItem item;
    item.id = *id;
    item.timestamp = QDateTime::fromMSecsSinceEpoch(timestamp.toInteger(), Qt::UTC);
    item.type = *clipType;
    item.searchString = text.toString();
    if (source.isString())
        item.sourceAppBundleID = source.toString();
    item.isSensitive = sensitive.toBool();
    if (width.isInteger())
        item.imageSize = QSize(int(width.toInteger()), int(height.toInteger()));
    return item;
}

std::optional<QCborMap> decodeMap(QByteArrayView body)
{
    QCborParserError error;
    const QCborValue value = QCborValue::fromCbor(body.toByteArray(), &error);
    if (error.error != QCborError::NoError || !value.isMap())
        return std::nullopt;
    return value.toMap();
}

} // namespace

Frame readFrame(QByteArrayView buffer, QByteArrayView kind, qsizetype maxBody)
{
    const qsizetype end = buffer.first(std::min(buffer.size(), maxHeaderSize)).indexOf('\n');
    if (end < 0)
        return {buffer.size() < maxHeaderSize ? Frame::State::Incomplete : Frame::State::Invalid,
                {}};
    const QByteArrayView header = buffer.first(end);
    const qsizetype space = header.indexOf(' ');
    if (space < 0 || header.first(space) != kind)
        return {Frame::State::Invalid, {}};
    // Digits only: no sign, no blanks.
    const QByteArrayView digits = header.sliced(space + 1);
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {Frame::State::Invalid, {}};
    bool isNumber = false;
    const qlonglong length = digits.toByteArray().toLongLong(&isNumber);
    if (!isNumber || length > maxBody)
        return {Frame::State::Invalid, {}};
    if (buffer.size() - end - 1 < length)
        return {Frame::State::Incomplete, {}};
    return {Frame::State::Complete, buffer.sliced(end + 1, qsizetype(length)).toByteArray()};
}

QByteArray frame(QByteArrayView kind, const QByteArray& body)
{
    return kind.toByteArray() + ' ' + QByteArray::number(body.size()) + '\n' + body;
}

QByteArray encodeRequest(const RemoteRequest& request)
{
    QCborMap map;
    map.insert(QLatin1StringView("command"), nameOf(commandNames, request.command));
    QCborArray ids;
    for (const QUuid& id : request.ids)
        ids.append(idText(id));
    map.insert(QLatin1StringView("ids"), ids);
    return map.toCborValue().toCbor();
}

std::optional<RemoteRequest> decodeRequest(QByteArrayView body)
{
    const auto map = decodeMap(body);
    if (!map)
        return std::nullopt;
    const auto command = valueOf(commandNames, map->value(QLatin1StringView("command")));
    const QCborValue ids = map->value(QLatin1StringView("ids"));
    if (!command || !ids.isArray())
        return std::nullopt;
    RemoteRequest request{*command, {}};
    for (const auto& value : ids.toArray()) {
        const auto id = uuidOf(value);
        if (!id)
            return std::nullopt;
        request.ids.append(*id);
    }
    if (!takes(request.command, request.ids.size()))
        return std::nullopt;
    return request;
}

QByteArray encodeReply(const RemoteReply& reply)
{
    QCborMap map;
    map.insert(QLatin1StringView("status"), nameOf(statusNames, reply.status));
    if (!reply.handle.isEmpty())
        map.insert(QLatin1StringView("handle"), reply.handle);
    QCborArray items;
    for (const ClipItem& item : reply.items)
        items.append(encodeItem(item));
    map.insert(QLatin1StringView("items"), items);
    map.insert(QLatin1StringView("content"), reply.content);
    return map.toCborValue().toCbor();
}

std::optional<RemoteReply> decodeReply(QByteArrayView body)
{
    const auto map = decodeMap(body);
    if (!map)
        return std::nullopt;
    const auto status = valueOf(statusNames, map->value(QLatin1StringView("status")));
    const QCborValue handle = map->value(QLatin1StringView("handle"));
    const QCborValue items = map->value(QLatin1StringView("items"));
    const QCborValue content = map->value(QLatin1StringView("content"));
    if (!status || !(handle.isUndefined() || handle.isString()) || !items.isArray() ||
        !content.isByteArray())
        return std::nullopt;
    RemoteReply reply{*status, handle.toString(), {}, content.toByteArray()};
    for (const auto& value : items.toArray()) {
        auto item = decodeItem(value);
        if (!item)
            return std::nullopt;
        reply.items.append(std::move(*item));
    }
    return reply;
}

} // namespace nabrix::protocol
