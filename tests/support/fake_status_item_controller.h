// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the tray icon and history windows that records what the model asks.
#pragma once

#include "app/app_model.h"
#include "app/status_item_controller.h"

#include <QPointer>
#include <QWindow>

namespace nabrix::testing {

class FakeStatusItemController final : public StatusItemController {
public:
    explicit FakeStatusItemController(AppModel& model)
        : m_model(&model)
    {
        model.setStatusItemController(this);
    }

    bool hasStatusItem = false;
    int shows = 0;
    int closes = 0;
    // The window standing for the shown history, when a test needs one.
    QWindow* window = nullptr;

    void installStatusItem() override { hasStatusItem = true; }
    void removeStatusItem() override { hasStatusItem = false; }
    void showHistory() override
    {
        ++shows;
        m_shown = true;
        m_model->setPopoverOpen(true);
        m_model->installKeyMonitor();
    }
    void close() override
    {
        ++closes;
        const bool wasShown = m_shown;
        m_shown = false;
        if (wasShown && m_model)
            m_model->handlePopoverClosed();
    }
    QWindow* presentedWindow() const override { return m_shown ? window : nullptr; }
    bool isShown() const { return m_shown; }

private:
    QPointer<AppModel> m_model;
    bool m_shown = false;
};

} // namespace nabrix::testing
