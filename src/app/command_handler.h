// SPDX-License-Identifier: GPL-3.0-or-later
// Carries out the command line's requests in the running instance, through its model.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace nabrix {

class AppModel;

class CommandHandler {
public:
    // `model` outlives the handler.
    explicit CommandHandler(AppModel& model);

    // The encoded reply to an encoded request; a request it cannot read is answered as
    // malformed and changes nothing.
    QByteArray handle(QByteArrayView request);

private:
    AppModel& m_model;
};

} // namespace nabrix
