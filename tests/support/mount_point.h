// SPDX-License-Identifier: GPL-3.0-or-later
// File systems mounted for one test: a small tmpfs to fill up, a read-only view of a folder.
// Mounting needs root (as the tests run in CI); a test that cannot mount fails, it never skips.
#pragma once

#include <QString>
#include <memory>

namespace nabrix::testing {

class MountPoint {
public:
    // A tmpfs of `sizeKiB` kibibytes on the existing directory `path`.
    static std::unique_ptr<MountPoint> tmpfs(const QString& path, int sizeKiB, QString& error);
    // `path` (an existing directory) again on itself, read-only.
    static std::unique_ptr<MountPoint> readOnlyBind(const QString& path, QString& error);
    ~MountPoint();
    MountPoint(const MountPoint&) = delete;
    MountPoint& operator=(const MountPoint&) = delete;

    QString path() const { return m_path; }

private:
    explicit MountPoint(QString path)
        : m_path(std::move(path))
    {
    }

    QString m_path;
};

// Fails the running test with the reason when the mount did not work.
#define NABRIX_REQUIRE_MOUNT(mount, error)                                                         \
    QVERIFY2((mount) != nullptr,                                                                   \
             qPrintable(QStringLiteral("cannot mount for this test (it needs root): ") + (error)))

} // namespace nabrix::testing
