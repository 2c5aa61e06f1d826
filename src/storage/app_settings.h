// SPDX-License-Identifier: GPL-3.0-or-later
// The user's preferences: loaded once, written back on every assignment.
#pragma once

#include <QObject>
#include <QStringList>
#include <cstdint>
#include <memory>

class QSettings;

namespace nabrix {

// The global shortcut: a key code and its modifiers, both zero when none is set.
struct Shortcut {
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

class AppSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        int retentionDays READ retentionDays WRITE setRetentionDays NOTIFY retentionDaysChanged)
    Q_PROPERTY(bool sensitiveDetectionEnabled READ sensitiveDetectionEnabled WRITE
                   setSensitiveDetectionEnabled NOTIFY sensitiveDetectionEnabledChanged)
    Q_PROPERTY(bool hideSensitiveContent READ hideSensitiveContent WRITE setHideSensitiveContent
                   NOTIFY hideSensitiveContentChanged)
    Q_PROPERTY(QStringList blacklistedBundleIDs READ blacklistedBundleIDs WRITE
                   setBlacklistedBundleIDs NOTIFY blacklistedBundleIDsChanged)
    Q_PROPERTY(bool hideMenuBarIcon READ hideMenuBarIcon WRITE setHideMenuBarIcon NOTIFY
                   hideMenuBarIconChanged)
    Q_PROPERTY(
        bool pasteOnSelect READ pasteOnSelect WRITE setPasteOnSelect NOTIFY pasteOnSelectChanged)
    Q_PROPERTY(
        quint32 hotkeyKeyCode READ hotkeyKeyCode WRITE setHotkeyKeyCode NOTIFY hotkeyKeyCodeChanged)
    Q_PROPERTY(quint32 hotkeyModifiers READ hotkeyModifiers WRITE setHotkeyModifiers NOTIFY
                   hotkeyModifiersChanged)

public:
    // Loads every field from the INI file at `filePath` (missing or mistyped values load
    // their defaults); the file is created on the first assignment.
    explicit AppSettings(const QString& filePath, QObject* parent = nullptr);
    ~AppSettings() override;

    // Identifiers of password and keyring managers whose copies are never recorded: the
    // blacklist until the user changes it.
    static QStringList defaultBlacklist();

    int retentionDays() const { return m_retentionDays; }
    bool sensitiveDetectionEnabled() const { return m_sensitiveDetectionEnabled; }
    bool hideSensitiveContent() const { return m_hideSensitiveContent; }
    QStringList blacklistedBundleIDs() const { return m_blacklistedBundleIDs; }
    bool hideMenuBarIcon() const { return m_hideMenuBarIcon; }
    bool pasteOnSelect() const { return m_pasteOnSelect; }
    std::uint32_t hotkeyKeyCode() const { return m_hotkeyKeyCode; }
    std::uint32_t hotkeyModifiers() const { return m_hotkeyModifiers; }
    Shortcut hotkey() const { return {m_hotkeyKeyCode, m_hotkeyModifiers}; }

    void setRetentionDays(int days);
    void setSensitiveDetectionEnabled(bool enabled);
    void setHideSensitiveContent(bool hide);
    void setBlacklistedBundleIDs(const QStringList& ids);
    void setHideMenuBarIcon(bool hide);
    void setPasteOnSelect(bool paste);
    void setHotkeyKeyCode(std::uint32_t keyCode);
    void setHotkeyModifiers(std::uint32_t modifiers);
    void setHotkey(Shortcut shortcut);

    QString filePath() const;

Q_SIGNALS:
    void retentionDaysChanged();
    void sensitiveDetectionEnabledChanged();
    void hideSensitiveContentChanged();
    void blacklistedBundleIDsChanged();
    void hideMenuBarIconChanged();
    void pasteOnSelectChanged();
    void hotkeyKeyCodeChanged();
    void hotkeyModifiersChanged();
    // Either half of the shortcut changed; once for a shortcut set whole.
    void hotkeyChanged();

private:
    void write(const QString& key, const QVariant& value);
    template <typename T, typename Signal>
    void assign(T& field, const T& value, const QString& key, const QVariant& stored,
                Signal changed);
    void announceHotkeyChange(Shortcut before);

    std::unique_ptr<QSettings> m_store;
    int m_retentionDays;
    bool m_sensitiveDetectionEnabled;
    bool m_hideSensitiveContent;
    QStringList m_blacklistedBundleIDs;
    bool m_hideMenuBarIcon;
    bool m_pasteOnSelect;
    std::uint32_t m_hotkeyKeyCode;
    std::uint32_t m_hotkeyModifiers;
};

} // namespace nabrix
