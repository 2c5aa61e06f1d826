// SPDX-License-Identifier: GPL-3.0-or-later
// File systems mounted for one test.
#include "mount_point.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace nabrix::testing {

namespace {

QString lastError(const QString& what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

std::unique_ptr<MountPoint> MountPoint::tmpfs(const QString& path, int sizeKiB, QString& error)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray options = "size=" + QByteArray::number(sizeKiB) + "k,mode=0700";
    if (::mount("tmpfs", target.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) !=
        0) {
        error = lastError(QStringLiteral("mount -t tmpfs %1").arg(path));
        return nullptr;
    }
    return std::unique_ptr<MountPoint>(new MountPoint(path));
}

std::unique_ptr<MountPoint> MountPoint::readOnlyBind(const QString& path, QString& error)
{
    const QByteArray target = QFile::encodeName(path);
    if (::mount(target.constData(), target.constData(), nullptr, MS_BIND, nullptr) != 0) {
        error = lastError(QStringLiteral("mount --bind %1").arg(path));
        return nullptr;
    }
    // A bind mount takes its read-only flag only from a remount.
    std::unique_ptr<MountPoint> mounted(new MountPoint(path));
    if (::mount(nullptr, target.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
        0) {
        error = lastError(QStringLiteral("mount -o remount,bind,ro %1").arg(path));
        return nullptr;
    }
    return mounted;
}

MountPoint::~MountPoint()
{
    // Detached, so that a file still open somewhere cannot keep the mount alive.
    ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
}

} // namespace nabrix::testing
