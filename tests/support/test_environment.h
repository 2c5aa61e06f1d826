// SPDX-License-Identifier: GPL-3.0-or-later
// A private home for one test: its own history file and settings file.
#pragma once

#include "storage/clip_item.h"
#include "storage/clock.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace nabrix {
class StorageManager;
class AppSettings;
} // namespace nabrix

namespace nabrix::testing {

// A clock the test moves by hand.
class ManualClock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 3, 15), QTime(12, 0)))
        : m_now(std::make_shared<QDateTime>(std::move(start)))
    {
    }
    Clock clock() const
    {
        return [now = m_now] { return *now; };
    }
    QDateTime now() const { return *m_now; }
    void set(const QDateTime& time) { *m_now = time; }
    void advance(qint64 seconds) { *m_now = m_now->addSecs(seconds); }

private:
    std::shared_ptr<QDateTime> m_now;
};

// An entry with a fresh id, as a capture would make it.
inline ClipItem makeClipItem(const QDateTime& when, const QString& text = QStringLiteral("x"),
                             ClipType type = ClipType::Text)
{
    ClipItem item;
    item.id = QUuid::createUuid();
    item.timestamp = when;
    item.type = type;
    item.searchString = text;
    return item;
}

class TestHome {
public:
    TestHome();
    QString path() const { return m_dir.path(); }
    QString historyPath() const
    {
        return m_dir.path() + QStringLiteral("/data/nabrix/history.sqlite3");
    }
    QString settingsPath() const
    {
        return m_dir.path() + QStringLiteral("/config/nabrix/nabrix.conf");
    }

    // Fails the running test when the store cannot be opened.
    std::unique_ptr<StorageManager> openStorage(Clock clock = systemClock()) const;
    std::unique_ptr<AppSettings> loadSettings() const;

private:
    QTemporaryDir m_dir;
};

} // namespace nabrix::testing
