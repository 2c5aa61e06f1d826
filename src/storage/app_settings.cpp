// SPDX-License-Identifier: GPL-3.0-or-later
// The user's preferences: loaded once, written back on every assignment.
#include "storage/app_settings.h"

#include "storage/data_paths.h"
#include "storage/json_string_array.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <limits>

namespace nabrix {

namespace {

const QString retentionDaysKey = QStringLiteral("retentionDays");
const QString sensitiveDetectionEnabledKey = QStringLiteral("sensitiveDetectionEnabled");
const QString hideSensitiveContentKey = QStringLiteral("hideSensitiveContent");
const QString blacklistedBundleIDsKey = QStringLiteral("blacklistedBundleIDs");
const QString hideMenuBarIconKey = QStringLiteral("hideMenuBarIcon");
const QString pasteOnSelectKey = QStringLiteral("pasteOnSelect");
const QString hotkeyKeyCodeKey = QStringLiteral("hotkeyKeyCode");
const QString hotkeyModifiersKey = QStringLiteral("hotkeyModifiers");

// INI files hold text: a value read back in a later run is a string even when an integer
// or a boolean was written, so both forms are accepted, and nothing else.
std::optional<qint64> storedInteger(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::QString: {
        bool ok = false;
        const qint64 parsed = value.toString().toLongLong(&ok);
        return ok ? std::optional<qint64>(parsed) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<bool> storedBoolean(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return std::nullopt;
}

bool loadBoolean(const QSettings& store, const QString& key, bool fallback)
{
    return storedBoolean(store.value(key)).value_or(fallback);
}

int loadRetentionDays(const QSettings& store)
{
    const auto days = storedInteger(store.value(retentionDaysKey));
    if (!days || *days < std::numeric_limits<int>::min() || *days > std::numeric_limits<int>::max())
        return 30;
    return static_cast<int>(*days);
}

std::uint32_t loadUnsigned(const QSettings& store, const QString& key)
{
    // Only this program writes these, from key events; anything out of range means "none".
    const auto value = storedInteger(store.value(key));
    if (!value || *value < 0 || *value > std::numeric_limits<std::uint32_t>::max())
        return 0;
    return static_cast<std::uint32_t>(*value);
}

QStringList loadBlacklist(const QSettings& store)
{
    const QVariant value = store.value(blacklistedBundleIDsKey);
    if (value.typeId() == QMetaType::QByteArray) {
        if (auto ids = decodeJsonStringArray(value.toByteArray()))
            return *ids;
    }
    return AppSettings::defaultBlacklist();
}

} // namespace

QStringList AppSettings::defaultBlacklist()
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

AppSettings::AppSettings(const QString& filePath, QObject* parent)
    : QObject(parent)
    , m_store(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
    , m_retentionDays(loadRetentionDays(*m_store))
    , m_sensitiveDetectionEnabled(loadBoolean(*m_store, sensitiveDetectionEnabledKey, true))
    , m_hideSensitiveContent(loadBoolean(*m_store, hideSensitiveContentKey, true))
    , m_blacklistedBundleIDs(loadBlacklist(*m_store))
    , m_hideMenuBarIcon(loadBoolean(*m_store, hideMenuBarIconKey, false))
    , m_pasteOnSelect(loadBoolean(*m_store, pasteOnSelectKey, false))
    , m_hotkeyKeyCode(loadUnsigned(*m_store, hotkeyKeyCodeKey))
    , m_hotkeyModifiers(loadUnsigned(*m_store, hotkeyModifiersKey))
{
}

AppSettings::~AppSettings() = default;

QString AppSettings::filePath() const
{
    return m_store->fileName();
}

void AppSettings::write(const QString& key, const QVariant& value)
{
    const QString directory = QFileInfo(m_store->fileName()).absolutePath();
    if (!QFileInfo::exists(directory))
        ensurePrivateDirectory(directory);
    m_store->setValue(key, value);
    m_store->sync();
    QFile::setPermissions(m_store->fileName(), QFile::ReadOwner | QFile::WriteOwner);
}

template <typename T, typename Signal>
void AppSettings::assign(T& field, const T& value, const QString& key, const QVariant& stored,
                         Signal changed)
{
    // Every assignment is written; only a real change is announced.
    write(key, stored);
    if (field == value)
        return;
    field = value;
    Q_EMIT(this->*changed)();
}

void AppSettings::setRetentionDays(int days)
{
    assign(m_retentionDays, days, retentionDaysKey, days, &AppSettings::retentionDaysChanged);
}

void AppSettings::setSensitiveDetectionEnabled(bool enabled)
{
    assign(m_sensitiveDetectionEnabled, enabled, sensitiveDetectionEnabledKey, enabled,
           &AppSettings::sensitiveDetectionEnabledChanged);
}

void AppSettings::setHideSensitiveContent(bool hide)
{
    assign(m_hideSensitiveContent, hide, hideSensitiveContentKey, hide,
           &AppSettings::hideSensitiveContentChanged);
}

void AppSettings::setBlacklistedBundleIDs(const QStringList& ids)
{
    assign(m_blacklistedBundleIDs, ids, blacklistedBundleIDsKey, encodeJsonStringArray(ids),
           &AppSettings::blacklistedBundleIDsChanged);
}

void AppSettings::setHideMenuBarIcon(bool hide)
{
    assign(m_hideMenuBarIcon, hide, hideMenuBarIconKey, hide, &AppSettings::hideMenuBarIconChanged);
}

void AppSettings::setPasteOnSelect(bool paste)
{
    assign(m_pasteOnSelect, paste, pasteOnSelectKey, paste, &AppSettings::pasteOnSelectChanged);
}

void AppSettings::setHotkeyKeyCode(std::uint32_t keyCode)
{
    const Shortcut before = hotkey();
    assign(m_hotkeyKeyCode, keyCode, hotkeyKeyCodeKey, QVariant::fromValue<qint64>(keyCode),
           &AppSettings::hotkeyKeyCodeChanged);
    announceHotkeyChange(before);
}

void AppSettings::setHotkeyModifiers(std::uint32_t modifiers)
{
    const Shortcut before = hotkey();
    assign(m_hotkeyModifiers, modifiers, hotkeyModifiersKey, QVariant::fromValue<qint64>(modifiers),
           &AppSettings::hotkeyModifiersChanged);
    announceHotkeyChange(before);
}

void AppSettings::setHotkey(Shortcut shortcut)
{
    const Shortcut before = hotkey();
    assign(m_hotkeyKeyCode, shortcut.keyCode, hotkeyKeyCodeKey,
           QVariant::fromValue<qint64>(shortcut.keyCode), &AppSettings::hotkeyKeyCodeChanged);
    assign(m_hotkeyModifiers, shortcut.modifiers, hotkeyModifiersKey,
           QVariant::fromValue<qint64>(shortcut.modifiers), &AppSettings::hotkeyModifiersChanged);
    announceHotkeyChange(before);
}

void AppSettings::announceHotkeyChange(Shortcut before)
{
    if (hotkey() != before)
        Q_EMIT hotkeyChanged();
}

} // namespace nabrix
