// SPDX-License-Identifier: GPL-3.0-or-later
// What the screenshot tools share: their command line, the look of the program and an
// empty history in a temporary home.
#pragma once

#include "storage/storage_manager.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>
#include <optional>

class QApplication;
class QPixmap;

namespace nabrix::bench {

struct ScreenshotTool {
    // For the usage line.
    QString name;
    QString description;
    QStringList states;
    QString scaleHelp;
};

class ScreenshotSession {
public:
    // Reads --state, --output and --scale, applies the dark style and the translations and
    // opens a history. On failure, failed() holds the exit code and the reason is on stderr.
    ScreenshotSession(QApplication& app, const ScreenshotTool& tool);

    std::optional<int> failed() const { return m_failed; }
    const QString& state() const { return m_state; }
    qreal scale() const { return m_scale; }
    QTextStream& err() { return m_err; }

    // The opened history; taken once.
    std::unique_ptr<StorageManager> takeStorage() { return std::move(m_storage); }
    QString settingsPath() const;

    // Writes the picture to --output; the exit code for main().
    int save(const QPixmap& picture);

private:
    QTextStream m_err;
    std::optional<int> m_failed;
    QString m_state;
    QString m_output;
    qreal m_scale = 1;
    QTemporaryDir m_home;
    std::unique_ptr<StorageManager> m_storage;
};

} // namespace nabrix::bench
