// SPDX-License-Identifier: GPL-3.0-or-later
// The clipboard-manager role: keeping the clipboard's content when its owner goes away.
#pragma once

#include <QObject>

namespace nabrix {

// Where the clipboard dies with the program that owns it, the keeper reports the owner's
// end so that the recorded content can be offered again, and takes save requests from
// owners that are about to quit.
class ClipboardKeeper : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~ClipboardKeeper() override = default;

    // Takes the role unless another program holds it; false when it is not taken.
    virtual bool claim() = 0;
    // Gives the role up, answering any save request still waiting.
    virtual void release() = 0;
    // Answers the save request last announced: whether its content has been kept.
    virtual void finishSave(bool saved) = 0;
    // The clipboard's current content has been recorded: its owner's end is to be reported.
    virtual void contentRecorded() = 0;

Q_SIGNALS:
    // The owner of recorded content exited or lost its window without clearing the
    // clipboard, and nothing else was copied since; emitted once the change that leaves the
    // clipboard empty has been announced.
    void recordedOwnerVanished();
    // The owner is about to quit and waits until finishSave() for its content to be kept.
    void saveRequested();
};

} // namespace nabrix
