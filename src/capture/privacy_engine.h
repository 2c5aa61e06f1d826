// SPDX-License-Identifier: GPL-3.0-or-later
// The privacy rules' fixed parts: card-number patterns and the default blacklist.
#pragma once

#include <QStringList>
#include <QStringView>

namespace nabrix::PrivacyEngine {

// True when the text holds something shaped like a payment-card number (any Unicode
// decimal digits; no checksum).
bool isSensitiveText(QStringView text);

// Identifiers of password and keyring managers whose copies are never recorded.
QStringList defaultBlacklist();

} // namespace nabrix::PrivacyEngine
