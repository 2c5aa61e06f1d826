// SPDX-License-Identifier: GPL-3.0-or-later
// An AppModel over a private store, fake platform services and a fake tray controller.
#pragma once

#include "app/app_model.h"
#include "fake_platform.h"
#include "fake_status_item_controller.h"
#include "storage/app_settings.h"
#include "storage/storage_manager.h"
#include "test_environment.h"

#include <QKeyEvent>

namespace nabrix::testing {

struct ModelFixture {
    ModelFixture()
        : model(home.openStorage(clock.clock()), home.loadSettings(), platform.services,
                clock.clock())
        , controller(model)
    {
    }

    // Stores an entry of the given type and bytes, one second newer than the previous one.
    ClipItem add(const QString& searchText, ClipType type = ClipType::Text,
                 std::optional<QByteArray> bytes = std::nullopt)
    {
        clock.advance(1);
        const ClipItem item = makeClipItem(clock.now(), searchText, type);
        model.storage().insert(item, bytes.value_or(searchText.toUtf8()));
        return item;
    }
    // What the history view does when it comes on screen.
    void showAll() { model.historyShown(); }
    bool press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QKeyEvent event(QEvent::KeyPress, key, modifiers);
        return model.handleKeyEvent(event);
    }
    QStringList storedTexts() const
    {
        QStringList texts;
        for (const ClipItem& item : model.storage().allItems())
            texts.append(item.searchString);
        return texts;
    }

    ManualClock clock{QDateTime::currentDateTime()};
    TestHome home;
    FakePlatform platform;
    AppModel model;
    FakeStatusItemController controller;
};

} // namespace nabrix::testing
