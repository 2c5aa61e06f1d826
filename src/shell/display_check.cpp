// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the program can reach a display server, decided before Qt would abort without one.
#include "shell/display_check.h"

#include "platform/x11/x11_display_probe.h"

#include <QStringList>

namespace nabrix {

namespace {

// The platforms Qt will try, in order: a list separated by ';', each with options after ':'.
QStringList requestedPlatforms(int argc, const char* const* argv)
{
    QString requested = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        const QLatin1String argument(argv[i]);
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform"))
            requested = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (requested.isEmpty())
        requested = QStringLiteral("xcb");
    QStringList platforms;
    for (const QString& entry : requested.split(u';', Qt::SkipEmptyParts))
        platforms.append(entry.section(u':', 0, 0).trimmed());
    return platforms;
}

bool displayReachable(const QString& platform)
{
    // A DISPLAY left over from a session that has ended aborts Qt just the same.
    if (platform == QLatin1String("xcb"))
        return !qEnvironmentVariableIsEmpty("DISPLAY") && x11DisplayAnswers(qgetenv("DISPLAY"));
    if (platform.startsWith(QLatin1String("wayland")))
        return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    return true;
}

} // namespace

std::optional<QString> missingDisplay(int argc, const char* const* argv)
{
    const QStringList platforms = requestedPlatforms(argc, argv);
    for (const QString& platform : platforms) {
        if (displayReachable(platform))
            return std::nullopt;
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return QStringLiteral("no X11 display answers at %1").arg(qEnvironmentVariable("DISPLAY"));
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("no X11 display was found (DISPLAY is not set); on Wayland "
                              "Nabrix runs through XWayland");
    return QStringLiteral("no X11 or Wayland display was found (DISPLAY and WAYLAND_DISPLAY "
                          "are not set)");
}

} // namespace nabrix
