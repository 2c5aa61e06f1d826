// SPDX-License-Identifier: GPL-3.0-or-later
// A private home for one test: its own history file and settings file.
#include "test_environment.h"

#include "storage/app_settings.h"
#include "storage/storage_manager.h"

#include <QTest>

namespace nabrix::testing {

TestHome::TestHome()
{
    QVERIFY2(m_dir.isValid(), "cannot create a temporary directory");
}

std::unique_ptr<StorageManager> TestHome::openStorage(Clock clock) const
{
    auto opened = StorageManager::open(historyPath(), std::move(clock));
    if (!opened.storage)
        qFatal("cannot open the test history: %s", qUtf8Printable(opened.error));
    return std::move(opened.storage);
}

std::unique_ptr<AppSettings> TestHome::loadSettings() const
{
    return std::make_unique<AppSettings>(settingsPath());
}

} // namespace nabrix::testing
