// SPDX-License-Identifier: GPL-3.0-or-later
// The requests the command line sends the running instance and its replies, as bytes.
#pragma once

#include "storage/clip_item.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

namespace nabrix {

enum class RemoteCommand { Show, Hide, Toggle, List, Get, Copy, Paste, Delete };

struct RemoteRequest {
    RemoteCommand command = RemoteCommand::Toggle;
    // The entries the command acts on (get, copy and paste take one, delete several).
    QList<QUuid> ids;
};

enum class RemoteStatus {
    Ok,
    // `handle` names an entry the history does not hold.
    UnknownEntry,
    // The entry's stored content cannot be turned back into clipboard content.
    UnusableEntry,
    // The request was not one this instance understands (garbled, too large, unknown).
    Malformed,
};

struct RemoteReply {
    RemoteStatus status = RemoteStatus::Ok;
    QString handle;
    // Newest first: every entry for list, the entry itself for get.
    QList<ClipItem> items;
    // The entry's stored bytes, for get.
    QByteArray content;
};

// A message is one header line, "<kind> <length>\n", and `length` bytes of CBOR. A bare
// "toggle\n" line, what earlier versions send, is not a message and stays understood.
namespace protocol {

// Anything longer from a client is refused before it is read to the end.
inline constexpr qsizetype maxRequestSize = qsizetype(64) * 1024;
// Replies carry images, which may be large; a bound still keeps a garbled length from
// making the client allocate without end.
inline constexpr qsizetype maxReplySize = qsizetype(1024) * 1024 * 1024;

inline constexpr QByteArrayView requestKind = "request";
inline constexpr QByteArrayView replyKind = "reply";

struct Frame {
    enum class State { Incomplete, Complete, Invalid };
    State state = State::Incomplete;
    QByteArray body;
};
// The message of `kind` at the start of `buffer`: Incomplete while more bytes may make it
// whole, Invalid for another kind, a garbled header or a body longer than `maxBody`.
Frame readFrame(QByteArrayView buffer, QByteArrayView kind, qsizetype maxBody);
QByteArray frame(QByteArrayView kind, const QByteArray& body);

QByteArray encodeRequest(const RemoteRequest& request);
// None for anything but a well-formed request of a known command.
std::optional<RemoteRequest> decodeRequest(QByteArrayView body);
QByteArray encodeReply(const RemoteReply& reply);
std::optional<RemoteReply> decodeReply(QByteArrayView body);

} // namespace protocol

} // namespace nabrix
