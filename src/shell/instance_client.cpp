// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's side of the channel to the running instance: one request, one reply.
#include "shell/instance_client.h"

#include <QLocalSocket>

namespace nabrix {

namespace {

// The instance answers from its event loop; a long pause means it is wedged. A large reply
// keeps arriving, and each piece restarts the wait.
constexpr int answerTimeoutMs = 10000;

} // namespace

InstanceClient::InstanceClient(QString socketPath)
    : m_socketPath(std::move(socketPath))
{
}

InstanceClient::Result InstanceClient::send(const RemoteRequest& request) const
{
    if (m_socketPath.isEmpty())
        return {std::nullopt, Failure::NotRunning};
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(answerTimeoutMs)) {
        const bool nobody = socket.error() == QLocalSocket::ServerNotFoundError ||
                            socket.error() == QLocalSocket::ConnectionRefusedError;
        return {std::nullopt, nobody ? Failure::NotRunning : Failure::NoAnswer};
    }
    socket.write(protocol::frame(protocol::requestKind, protocol::encodeRequest(request)));
    QByteArray received;
    for (;;) {
        received += socket.readAll();
        const protocol::Frame reply =
            protocol::readFrame(received, protocol::replyKind, protocol::maxReplySize);
        if (reply.state == protocol::Frame::State::Invalid)
            return {std::nullopt, Failure::GarbledReply};
        if (reply.state == protocol::Frame::State::Complete) {
            auto decoded = protocol::decodeReply(reply.body);
            if (!decoded)
                return {std::nullopt, Failure::GarbledReply};
            return {std::move(decoded), Failure::NotRunning};
        }
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0)
            return {std::nullopt, Failure::NoAnswer};
        if (!socket.waitForReadyRead(answerTimeoutMs) && socket.bytesAvailable() == 0)
            return {std::nullopt, Failure::NoAnswer};
    }
}

} // namespace nabrix
