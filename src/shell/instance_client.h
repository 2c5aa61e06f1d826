// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's side of the channel to the running instance: one request, one reply.
#pragma once

#include "app/command_protocol.h"

#include <QString>
#include <optional>

namespace nabrix {

class InstanceClient {
public:
    enum class Failure {
        // Nothing listens: no instance runs for this history.
        NotRunning,
        // Something listens but did not answer in time, or hung up.
        NoAnswer,
        // The answer was not a reply of ours.
        GarbledReply,
    };
    struct Result {
        std::optional<RemoteReply> reply;
        Failure failure = Failure::NotRunning; // when there is no reply
    };

    // `socketPath` as SingleInstance::socketPathFor() gives it.
    explicit InstanceClient(QString socketPath);

    Result send(const RemoteRequest& request) const;

private:
    QString m_socketPath;
};

} // namespace nabrix
