// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for desktops where a platform service is not available.
#include "platform/fallback/fallback_services.h"

#include <QTimer>

namespace nabrix {

QString hexKeyName(std::uint32_t keyCode)
{
    return QStringLiteral("0x") + QString::number(keyCode, 16).toUpper();
}

QString HexKeyboardLayout::keyName(std::uint32_t keyCode) const
{
    return hexKeyName(keyCode);
}

void NoVerdictSensitivityAnalyzer::analyze(const QByteArray&, QObject* context,
                                           std::function<void(Verdict)> done)
{
    // Asynchronous like a real analyser, so callers never rely on an immediate answer.
    QTimer::singleShot(0, context, [done = std::move(done)] { done(std::nullopt); });
}

} // namespace nabrix
