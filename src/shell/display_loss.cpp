// SPDX-License-Identifier: GPL-3.0-or-later
// Ends the program once its display server is gone: the history saved, one line, status 1.
#include "shell/display_loss.h"

#include "platform/x11/x11_display_probe.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace nabrix {

namespace {

struct State {
    QtMessageHandler previousHandler = nullptr;
    std::function<void()> save;
    bool reported = false;
    bool endingHere = false;
};

State& state()
{
    static State instance;
    return instance;
}

void report()
{
    if (std::exchange(state().reported, true))
        return;
    std::fprintf(stderr, "nabrix: the display server went away\n");
    std::fflush(stderr);
}

bool onMainThread()
{
    return QCoreApplication::instance() != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // Qt's xcb platform warns that its connection broke, then calls exit(1) on the main
    // thread: the program ends here instead, the same way as when we noticed first.
    if (!state().endingHere && onMainThread() && x11ApplicationConnectionBroken()) {
        state().endingHere = true;
        report();
        if (auto save = std::exchange(state().save, nullptr))
            save();
        std::exit(1);
    }
    state().previousHandler(type, context, message);
}

} // namespace

DisplayLoss::DisplayLoss(std::function<void()> save)
{
    state().save = std::move(save);
    // Kept for the rest of the process: Qt may notice while the application is torn down.
    if (state().previousHandler == nullptr)
        state().previousHandler = qInstallMessageHandler(handleMessage);
}

DisplayLoss::~DisplayLoss()
{
    state().save = nullptr;
}

void DisplayLoss::connectionLost()
{
    report();
    QCoreApplication::exit(1);
}

} // namespace nabrix
