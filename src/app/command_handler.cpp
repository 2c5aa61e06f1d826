// SPDX-License-Identifier: GPL-3.0-or-later
// Carries out the command line's requests in the running instance, through its model.
#include "app/command_handler.h"

#include "app/app_model.h"
#include "app/command_protocol.h"
#include "storage/storage_manager.h"

namespace nabrix {

namespace {

RemoteReply failure(RemoteStatus status, const QUuid& id = {})
{
    return {status, id.isNull() ? QString() : idText(id), {}, {}};
}

RemoteReply carryOut(AppModel& model, const RemoteRequest& request)
{
    StorageManager& storage = model.storage();
    // Every named entry must exist before anything happens: a delete of several either
    // takes them all or none.
    QList<ClipItem> items;
    for (const QUuid& id : request.ids) {
        std::optional<ClipItem> item = storage.item(id);
        if (!item)
            return failure(RemoteStatus::UnknownEntry, id);
        items.append(std::move(*item));
    }
    RemoteReply reply;
    switch (request.command) {
    case RemoteCommand::Show:
        model.showHistory();
        break;
    case RemoteCommand::Hide:
        model.hideHistory();
        break;
    case RemoteCommand::Toggle:
        model.toggleFromHotkey();
        break;
    case RemoteCommand::List:
        reply.items = storage.allItems();
        break;
    case RemoteCommand::Get: {
        std::optional<QByteArray> content = storage.contentData(items.first().id);
        if (!content)
            return failure(RemoteStatus::UnusableEntry, items.first().id);
        reply.items = items;
        reply.content = std::move(*content);
        break;
    }
    case RemoteCommand::Copy:
        if (!model.copyToClipboard(items.first()))
            return failure(RemoteStatus::UnusableEntry, items.first().id);
        break;
    case RemoteCommand::Paste:
        if (!model.pasteIntoFocusedWindow(items.first()))
            return failure(RemoteStatus::UnusableEntry, items.first().id);
        break;
    case RemoteCommand::Delete:
        model.deleteEntries(items);
        break;
    }
    return reply;
}

} // namespace

CommandHandler::CommandHandler(AppModel& model)
    : m_model(model)
{
}

QByteArray CommandHandler::handle(QByteArrayView request)
{
    const std::optional<RemoteRequest> decoded = protocol::decodeRequest(request);
    return protocol::encodeReply(decoded ? carryOut(m_model, *decoded)
                                         : failure(RemoteStatus::Malformed));
}

} // namespace nabrix
