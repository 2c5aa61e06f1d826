// SPDX-License-Identifier: GPL-3.0-or-later
// The privacy rules' fixed parts: card-number patterns and the default blacklist.
#include "capture/privacy_engine.h"

#include <QRegularExpression>
#include <array>

namespace nabrix::PrivacyEngine {

namespace {

// Compiled once for the life of the process (function-local statics are thread-safe).
// Unicode properties make \d match every decimal digit, Arabic-Indic ones included.
// American Express (4-6-5) and Diners Club (4-6-4) numbers are printed in a grouping of
// their own, which the four-by-four pattern misses. Their separators are required: a bare
// 14-digit run is not flagged.
const std::array<QRegularExpression, 5>& cardPatterns()
{
    static const std::array<QRegularExpression, 5> patterns = [] {
        const auto options = QRegularExpression::UseUnicodePropertiesOption;
        std::array<QRegularExpression, 5> compiled{
            QRegularExpression(QStringLiteral(R"((?<!\d)\d{16}(?!\d))"), options),
            QRegularExpression(QStringLiteral(R"((?<!\d)(?:\d{4}[ -]?){3}\d{4}(?!\d))"), options),
            QRegularExpression(QStringLiteral(R"((?<!\d)\d{15,19}(?!\d))"), options),
            QRegularExpression(QStringLiteral(R"((?<!\d)\d{4}[ -]\d{6}[ -]\d{5}(?!\d))"), options),
            QRegularExpression(QStringLiteral(R"((?<!\d)\d{4}[ -]\d{6}[ -]\d{4}(?!\d))"), options),
        };
        for (auto& pattern : compiled) {
            Q_ASSERT(pattern.isValid());
            pattern.optimize();
        }
        return compiled;
    }();
    return patterns;
}

} // namespace

bool isSensitiveText(QStringView text)
{
    for (const QRegularExpression& pattern : cardPatterns()) {
        if (pattern.match(text).hasMatch())
            return true;
    }
    return false;
}

} // namespace nabrix::PrivacyEngine
