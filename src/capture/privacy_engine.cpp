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

QStringList defaultBlacklist()
{
    return {
        QStringLiteral("com.1password.1password"),
        QStringLiteral("com.1password.1password8"),
        QStringLiteral("com.1password.1password7"),
        QStringLiteral("com.agilebits.onepassword7"),
        QStringLiteral("com.agilebits.onepassword6"),
        QStringLiteral("com.bitwarden.desktop"),
        QStringLiteral("com.bitwarden"),
        QStringLiteral("com.lastpass.LastPass"),
        QStringLiteral("com.dashlane.dashlanepc"),
        QStringLiteral("com.keeweb.desktop"),
        QStringLiteral("org.keepassxc.keepassxc"),
        QStringLiteral("com.nordpass"),
        QStringLiteral("com.protonpass"),
        QStringLiteral("com.enpass.enpass"),
        QStringLiteral("com.apple.keychainaccess"),
        // The same managers and the keyring managers as this desktop names them: the
        // desktop-entry id and, where it differs, the WM_CLASS class of their windows.
        QStringLiteral("org.keepassxc.KeePassXC"),
        QStringLiteral("KeePassXC"),
        QStringLiteral("keepass2"),
        QStringLiteral("KeePass2"),
        QStringLiteral("bitwarden"),
        QStringLiteral("Bitwarden"),
        QStringLiteral("1password"),
        QStringLiteral("1Password"),
        QStringLiteral("proton-pass"),
        QStringLiteral("Proton Pass"),
        QStringLiteral("me.proton.Pass"),
        QStringLiteral("enpass"),
        QStringLiteral("Enpass"),
        QStringLiteral("org.gnome.seahorse.Application"),
        QStringLiteral("Seahorse"),
        QStringLiteral("org.kde.kwalletmanager5"),
        QStringLiteral("kwalletmanager5"),
        QStringLiteral("org.kde.kwalletmanager"),
        QStringLiteral("kwalletmanager"),
    };
}

} // namespace nabrix::PrivacyEngine
