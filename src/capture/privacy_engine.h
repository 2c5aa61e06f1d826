// SPDX-License-Identifier: GPL-3.0-or-later
// The privacy rules' fixed part: card-number patterns.
#pragma once

#include <QStringList>
#include <QStringView>

namespace nabrix::PrivacyEngine {

// True when the text holds something shaped like a payment-card number (any Unicode
// decimal digits; no checksum).
bool isSensitiveText(QStringView text);

} // namespace nabrix::PrivacyEngine
