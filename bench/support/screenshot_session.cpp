// SPDX-License-Identifier: GPL-3.0-or-later
#include "screenshot_session.h"

#include "i18n/text_catalogue.h"
#include "views/theme.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>

namespace nabrix::bench {

ScreenshotSession::ScreenshotSession(QApplication& app, const ScreenshotTool& tool)
    : m_err(stderr)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tool.description);
    parser.addHelpOption();
    parser.addOptions(
        {{QStringLiteral("state"), tool.states.join(QStringLiteral(", ")), QStringLiteral("NAME")},
         {QStringLiteral("output"), QStringLiteral("PNG file to write."), QStringLiteral("PATH")},
         {QStringLiteral("scale"), tool.scaleHelp, QStringLiteral("R"), QStringLiteral("1")}});
    parser.process(app);
    m_state = parser.value(QStringLiteral("state"));
    m_output = parser.value(QStringLiteral("output"));
    m_scale = parser.value(QStringLiteral("scale")).toDouble();
    if (!tool.states.contains(m_state) || m_output.isEmpty() || m_scale <= 0) {
        m_err << "usage: " << tool.name << " --state {" << tool.states.join(QLatin1Char('|'))
              << "} --output PATH [--scale R]\n";
        m_failed = 2;
        return;
    }

    Theme::applyDarkStyle(app);
    // A steady text cursor: a blinking one is caught in either phase.
    QApplication::setCursorFlashTime(0);
    installTranslations(app, QLocale());
    auto opened = StorageManager::open(m_home.filePath(QStringLiteral("history.sqlite3")));
    if (!opened.storage) {
        m_err << "cannot open a history: " << opened.error << "\n";
        m_failed = 1;
        return;
    }
    m_storage = std::move(opened.storage);
}

QString ScreenshotSession::settingsPath() const
{
    return m_home.filePath(QStringLiteral("nabrix.conf"));
}

int ScreenshotSession::save(const QPixmap& picture)
{
    if (!picture.save(m_output, "PNG")) {
        m_err << "cannot write " << m_output << "\n";
        return 1;
    }
    return 0;
}

} // namespace nabrix::bench
