// SPDX-License-Identifier: GPL-3.0-or-later
// The history list reads its rows' texts off the main thread: these ask and wait for them.
#pragma once

#include "history/history_list_model.h"

#include <QStringList>
#include <QTest>

namespace nabrix::testing {

// The entry on `row` once its text is in (an entry without text waits the full 5 s).
inline ClipItem itemWithText(const HistoryListModel& list, int row)
{
    static_cast<void>(
        QTest::qWaitFor([&] { return !list.item(row).searchString.isEmpty(); }, 5000));
    return list.item(row);
}

inline QStringList rowTexts(const HistoryListModel& list)
{
    auto read = [&list] {
        QStringList texts;
        for (int row = 0; row < list.rowCount(); ++row)
            texts.append(list.item(row).searchString);
        return texts;
    };
    static_cast<void>(QTest::qWaitFor([&] { return !read().contains(QString()); }, 5000));
    return read();
}

} // namespace nabrix::testing
